// Must not compile as core code: the desktop services lie above the core.
#include "platform/platformservices.h"
