#include "jobpath.h"

namespace jobpath {

Style hostStyle() { return Style::Windows; }

} // namespace jobpath
