#pragma once

#include "core/files/writeerror.h"

#include <QString>

// Why a file could not be written, in the words the window shows: in
// Japanese, as every text of the window. The program's own reasons and the
// common system errors have words of the program's own; any other system
// error is shown as the system words it.
QString japaneseReason(const WriteError &error);

// The program's words for a system error number, or an empty text where it
// has none: one table for each system (systemreason_unix.cpp,
// systemreason_win.cpp), as their numbers differ.
QString japaneseSystemWords(int systemError);
