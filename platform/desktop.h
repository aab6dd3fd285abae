#pragma once

class QWidget;

// What the desktop services do differently on each system: one file for
// each (desktop_unix.cpp, desktop_win.cpp), chosen by the build.
namespace desktop {

// Whether the file dialogs are the system's own.
bool nativeFileDialogs();
void beep();
// Takes the Size command off a window's system menu, where there is one.
void removeSizeCommand(QWidget *window);

} // namespace desktop
