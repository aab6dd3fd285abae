// Must not compile as text code: the job lies above the text rules.
#include "core/job/jobpath.h"
