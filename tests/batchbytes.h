#pragma once

#include "core/batch/batchcomposer.h"
#include "core/text/cp932.h"

#include <QStringList>

// A job's batch file whole, as the tests, the fuzzer and the benchmarks
// look at it; the program hands it on in pieces (batch::composeTo).

// The whole content of the batch file of `job`.
inline QByteArray batchFileBytes(const ConversionJob &job)
{
    QByteArray bytes;
    batch::composeBytes(job, [&bytes](const QByteArray &piece) {
        bytes += piece;
        return true;
    });
    return bytes;
}

// Every line of the batch file for `job`, in order, without line ends.
inline QStringList composeBatchLines(const ConversionJob &job)
{
    QStringList lines;
    const QByteArray bytes = batchFileBytes(job);
    qsizetype begin = 0;
    while (begin < bytes.size()) {
        const qsizetype end = bytes.indexOf("\r\n", begin);
        lines << cp932::decode(QByteArrayView(bytes).sliced(begin, end - begin));
        begin = end + 2;
    }
    return lines;
}
