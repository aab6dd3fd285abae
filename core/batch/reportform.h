#pragma once

#include "batchwriter.h"

namespace batch {

// The form that reports its run (--report): each drawing's number and name
// on the console and in its title, its outcome in a report beside the
// batch file (NAME.LOG), the counts and the drawings to look at at the
// end, and exit status 1 when any drawing failed. Each drawing is made in
// the run's work folder and counts as converted only once it was moved onto
// its own name.
bool writeReportForm(const JobPlan &plan, BatchWriter &w);

} // namespace batch
