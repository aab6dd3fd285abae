// Compiles as core code: the probes below fail for their include alone.
#include "core/jobpath.h"
