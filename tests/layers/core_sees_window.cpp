// Must not compile as core code: the window lies above the core.
#include "inputs/folderfield.h"
