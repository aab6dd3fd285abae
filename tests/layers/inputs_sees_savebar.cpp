// Must not compile as inputs code: the save bar lies above the inputs.
#include "savebar/saveaction.h"
