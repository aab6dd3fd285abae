// Must not compile as settings code: the save lies above the settings.
#include "core/save/saveflow.h"
