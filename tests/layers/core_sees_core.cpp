// Compiles as core code: the probes below fail for their include alone.
#include "core/job/jobpath.h"
#include "core/save/saveflow.h"
