// Must not compile as helpwindows code: the help windows know no input of the job.
#include "inputs/sourcelist.h"
