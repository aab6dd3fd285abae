#pragma once

#include "core/jobcheck.h"
#include "core/jobplan.h"

// The save's checks of a whole job, as the tests and the fuzzer ask for
// them; the program itself takes the paths apart once and checks the plan.
inline SaveOutcome checkJob(const ConversionJob &job)
{
    return checkJob(batch::JobPlan(job));
}
