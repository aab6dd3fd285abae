#pragma once

// What the start of the window does differently on each system: one file
// for each (systemstart_unix.cpp, systemstart_win.cpp), chosen by the build.
namespace systemstart {

// Whether there is a display to show the window on; without one Qt would
// abort, so the program says what is missing instead.
bool haveDisplay(int argc, char **argv);

// The style the fixed layout needs, where the system's own would not do.
void chooseStyle();

} // namespace systemstart
