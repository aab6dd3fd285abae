#pragma once

#include "core/base/result.h"
#include "core/job/conversionjob.h"

#include <QByteArray>

#include <functional>

class QIODevice;

namespace batch {

// A piece the sink did not take: the composer stopped there. Why is the
// sink's to say (a device's errorString()).
struct SinkRefused
{ };
using Composed = Result<SinkRefused>;

// Composes the batch file of `job` straight into code page 932 bytes and
// hands them to `sink` in pieces of about `chunk` bytes, each piece ending
// with a whole line. Refused as soon as `sink` returns false.
Composed composeBytes(const ConversionJob &job, const std::function<bool(const QByteArray &)> &sink,
                      qsizetype chunk = 256 * 1024);
} // namespace batch

namespace job {
class JobPlan;
}

namespace batch {

using job::JobPlan;
Composed composeBytes(const JobPlan &plan, const std::function<bool(const QByteArray &)> &sink,
                      qsizetype chunk = 256 * 1024);
// The same pieces written onto `device`, each one whole. Refused as soon
// as a write fails; the device's errorString() says why.
Composed composeTo(const JobPlan &plan, QIODevice &device, qsizetype chunk = 256 * 1024);

} // namespace batch
