// Must not compile as ui code: the main window lies above what its parts share.
#include "app/mainwindow.h"
