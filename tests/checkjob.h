#pragma once

#include "core/job/jobcheck.h"
#include "core/job/jobplan.h"

// The save's checks of a whole job, as the tests and the fuzzer ask for
// them; the program itself takes the paths apart once and checks the plan.
inline Checked checkJob(const ConversionJob &job) { return checkJob(job::JobPlan(job)); }

// The longest line cmd.exe runs: the tests hold every line of a batch file
// within it.
constexpr qsizetype kMaxCmdLineBytes = 8191;

// What a check's answer is, for tables: the refusal's result, or kPasses.
constexpr int kPasses = -1;
inline int resultOf(const Checked &checked) { return checked.refused() ? int(checked.why().result) : kPasses; }
