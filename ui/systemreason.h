#pragma once

#include "core/files/writeerror.h"

#include <QString>

#include <span>

// Why a file could not be written, in the words the window shows: in
// Japanese, as every text of the window. The program's own reasons and the
// common system errors have words of the program's own; any other system
// error is shown as the system words it.
QString japaneseReason(const WriteError &error);

// The system errors a save meets, in the window's words: one table for each
// system (systemreason_unix.cpp, systemreason_win.cpp), as their numbers
// differ. Any other error is shown in the system's own words.
struct SystemErrorWords
{
    int error;
    const char16_t *words;
};
std::span<const SystemErrorWords> systemErrorWords();
