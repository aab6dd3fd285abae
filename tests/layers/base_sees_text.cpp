// Must not compile as base code: the shapes of an answer lie below every
// subject, text included.
#include "core/text/textrules.h"
