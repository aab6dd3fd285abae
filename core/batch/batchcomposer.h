#pragma once

#include "core/job/conversionjob.h"

#include <QByteArray>

#include <functional>

class QIODevice;

namespace batch {

// Composes the batch file of `job` straight into code page 932 bytes and
// hands them to `sink` in pieces of about `chunk` bytes, each piece ending
// with a whole line. Returns false as soon as `sink` does.
bool composeBytes(const ConversionJob &job, const std::function<bool(const QByteArray &)> &sink,
                  qsizetype chunk = 256 * 1024);
} // namespace batch

namespace job {
class JobPlan;
}

namespace batch {

using job::JobPlan;
bool composeBytes(const JobPlan &plan, const std::function<bool(const QByteArray &)> &sink,
                  qsizetype chunk = 256 * 1024);
// The same pieces written onto `device`, each one whole. Returns false as
// soon as a write fails; the device's errorString() says why.
bool composeTo(const JobPlan &plan, QIODevice &device, qsizetype chunk = 256 * 1024);

} // namespace batch
