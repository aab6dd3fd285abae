#pragma once

#include <QStringList>

// The 70 lines of the how-to-use window, with their indentation in
// full-width blanks.
QStringList helpText();
