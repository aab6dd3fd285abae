// Must not compile as job code: the batch bytes lie above the job.
#include "core/batch/batchcomposer.h"
