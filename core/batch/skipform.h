#pragma once

#include "batchwriter.h"

namespace batch {

// The form that goes on where it stopped (--skip-existing): each drawing is
// converted only when its own name is not there yet, in the run's work
// folder, and moved onto its own name as its last step, so that its name
// exists only once its conversion ran to the end. A drawing that failed or
// was left out is said on the console, and the run ends with status 1.
bool writeSkipForm(const JobPlan &plan, BatchWriter &w);

} // namespace batch
