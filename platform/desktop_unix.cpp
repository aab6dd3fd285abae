#include "desktop.h"

#include <QApplication>

namespace desktop {

bool nativeFileDialogs()
{
    // Qt's own: the desktops' dialogs differ, and some match "*.DXF" only
    // in upper case.
    return false;
}

void beep() { QApplication::beep(); }

void removeSizeCommand(QWidget *)
{
    // Other desktops have no such menu entry; the fixed size keeps the
    // window from being resized all the same.
}

} // namespace desktop
