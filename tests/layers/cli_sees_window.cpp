// Must not compile as the tool's code: the window is not the tool's.
#include "app/mainwindow.h"
