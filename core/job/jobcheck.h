#pragma once

#include "conversionjob.h"
#include "jobplan.h"
#include "saveoutcome.h"

// The checks the save makes before it asks where to save, as one function
// of the job. The first failure wins: the precision, then the three
// emptiness checks, then each source in list order (extension, tree,
// folder), then the texts the batch file cannot carry, names Windows reads
// as others and names in the shape of its short names, then paths longer
// than the converter takes, then two
// sources converted onto one drawing, then names that Windows would take
// for one (folders of two cases under Z:, a folder the batch file makes
// under the name of a file it writes, deletes or moves).
Checked checkJob(const job::JobPlan &plan);
