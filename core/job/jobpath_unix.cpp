#include "jobpath.h"

namespace jobpath {

Style hostStyle() { return Style::Unix; }

} // namespace jobpath
