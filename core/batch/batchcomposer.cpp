#include "batchcomposer.h"

#include "batchwriter.h"
#include "core/files/filewrite.h"
#include "core/job/jobplan.h"
#include "parallelform.h"
#include "plainform.h"
#include "reportform.h"
#include "skipform.h"

namespace batch {

Composed composeBytes(const JobPlan &plan, const std::function<bool(const QByteArray &)> &sink, qsizetype chunk)
{
    BatchWriter w(sink, chunk);
    const ConversionJob &job = plan.job();
    bool whole = false;
    if (runsInParallel(job))
        whole = writeParallelForm(plan, w);
    else if (job.report)
        whole = writeReportForm(plan, w);
    else if (job.skipExisting)
        whole = writeSkipForm(plan, w);
    else
        whole = writePlainForm(plan, w);
    if (!whole)
        return SinkRefused();
    return {};
}

Composed composeBytes(const ConversionJob &job, const std::function<bool(const QByteArray &)> &sink, qsizetype chunk)
{
    return composeBytes(JobPlan(job), sink, chunk);
}

Composed composeTo(const JobPlan &plan, QIODevice &device, qsizetype chunk)
{
    return composeBytes(
        plan, [&device](const QByteArray &bytes) { return writeFully(device, bytes); }, chunk);
}

} // namespace batch
