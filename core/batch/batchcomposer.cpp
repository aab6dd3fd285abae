#include "batchcomposer.h"

#include "batchwriter.h"
#include "core/files/filewrite.h"
#include "core/job/jobplan.h"
#include "core/text/cp932.h"
#include "parallelform.h"
#include "plainform.h"
#include "reportform.h"
#include "skipform.h"

namespace batch {

bool composeBytes(const JobPlan &plan, const std::function<bool(const QByteArray &)> &sink, qsizetype chunk)
{
    BatchWriter w(sink, chunk);
    const ConversionJob &job = plan.job();
    if (runsInParallel(job))
        return writeParallelForm(plan, w);
    if (job.report)
        return writeReportForm(plan, w);
    if (job.skipExisting)
        return writeSkipForm(plan, w);
    return writePlainForm(plan, w);
}

bool composeBytes(const ConversionJob &job, const std::function<bool(const QByteArray &)> &sink, qsizetype chunk)
{
    return composeBytes(JobPlan(job), sink, chunk);
}

bool composeTo(const JobPlan &plan, QIODevice &device, qsizetype chunk)
{
    return composeBytes(
        plan, [&device](const QByteArray &bytes) { return writeFully(device, bytes); }, chunk);
}

} // namespace batch

QByteArray batchFileBytes(const ConversionJob &job)
{
    QByteArray bytes;
    batch::composeBytes(job, [&bytes](const QByteArray &piece) {
        bytes += piece;
        return true;
    });
    return bytes;
}

QStringList composeBatchLines(const ConversionJob &job)
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
