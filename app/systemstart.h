#pragma once

// What the start of the window does differently on each system: one file
// for each (systemstart_unix.cpp, systemstart_win.cpp), chosen by the build.
#include <QString>

namespace systemstart {

// What the program says when there is no display to show the window on, in
// the user's language (Japanese on a Japanese system), or an empty text
// when there is one: without one the toolkit would abort, so the program
// says what is missing instead.
QString noDisplay(int argc, char **argv);
// Around the toolkit's start: a platform it cannot open (a screen the X
// server does not have, Wayland without its plugin, any other) ends the
// program with the same words and status 1, not with the toolkit's abort.
void toolkitOpening();
void toolkitOpened();

// The style the fixed layout needs, where the system's own would not do.
void chooseStyle();

} // namespace systemstart
