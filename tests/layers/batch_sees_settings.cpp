// Must not compile as batch code: the settings lie beside it, not below.
#include "core/settings/settingscodec.h"
