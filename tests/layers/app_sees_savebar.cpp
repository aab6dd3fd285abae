// Compiles as app code: the main window owns the save bar.
#include "savebar/saveaction.h"
