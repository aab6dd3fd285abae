// Must not compile as the tool's code: the desktop services are the window's.
#include "platform/platformservices.h"
