#pragma once

#include "core/files/writeerror.h"

#include <QString>

// Why a file could not be written, in the tool's words: the program's own
// reasons in English, a system error as the system words it.
QString englishReason(const WriteError &error);
