#pragma once

#include "batchwriter.h"

namespace batch {

// The form that runs several converters at once (--jobs N, N > 1): a
// report form whose drawings are converted by N workers, each the batch
// file itself started again, in the same console. Each drawing is claimed
// by one worker (making its claim folder, which only one can make) and
// converted in that worker's own folder of the work folder, which is the
// converter's working folder as well. The run waits for every worker, then
// writes one report, in drawing order, from what each drawing's worker
// recorded.
bool writeParallelForm(const JobPlan &plan, BatchWriter &w);

} // namespace batch
