// Must not compile as savebar code: the main window lies above the save bar.
#include "app/mainwindow.h"
