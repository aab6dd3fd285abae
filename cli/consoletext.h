#pragma once

#include <QString>

class QIODevice;

// Text for a standard stream of the tool, as the system wants it there. On
// Windows a console gets the characters themselves, and a stream that is
// redirected (to a file, a pipe) gets bytes of the console's code page, or
// of the system's where there is no console, so that `type` and `findstr`
// read them. Elsewhere it is UTF-8.
void writeConsoleText(QIODevice &device, const QString &text);

// Standard input and output carry bytes as they are (the batch file's CR LF,
// a list's bytes), not through a C runtime's text mode.
void useBinaryStandardStreams();

// A standard stream that was closed when the program started is held by a
// placeholder that fails every read or write of it, so that no file the
// program opens later takes its place (and its bytes). Called first thing.
void holdClosedStandardStreams();

// The columns of the console standard output shows on: its width where it
// is one, else COLUMNS where that is set, else 80.
int consoleColumns();
