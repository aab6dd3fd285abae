#pragma once

#include <QString>

// A reason a file could not be written, in the words the window shows: in
// Japanese, as every text of the window. The reasons the core gives of its
// own and those of the common system errors have words of the program's
// own; any other is shown as the system gives it.
QString japaneseReason(const QString &reason);
