// Must not compile as core code: core uses QtCore alone, although Qt's
// include root would reach the Widgets headers.
#include <QtWidgets/QWidget>
