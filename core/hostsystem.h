#pragma once

#include <QString>

// Facts of the system the program was built for: one file for each
// (hostsystem_unix.cpp, hostsystem_win.cpp), chosen by the build. The path
// style lives with the path rule (jobpath::hostStyle).
namespace hostsystem {

// The file name of the window's executable.
QString windowExecutableName();

} // namespace hostsystem
