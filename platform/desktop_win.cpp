#include "desktop.h"

#include <QWidget>

#include <windows.h>

namespace desktop {

bool nativeFileDialogs() { return true; }

void beep() { MessageBeep(0); }

void removeSizeCommand(QWidget *window)
{
    HMENU menu = GetSystemMenu(reinterpret_cast<HWND>(window->winId()), FALSE);
    if (menu)
        DeleteMenu(menu, 2, MF_BYPOSITION);
}

} // namespace desktop
