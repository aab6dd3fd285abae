#include "batchcomposer.h"

#include "batchwriter.h"
#include "core/files/filewrite.h"
#include "core/job/jobplan.h"
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
