// Must not compile as file code: the safe write knows nothing of a job.
#include "core/job/conversionjob.h"
