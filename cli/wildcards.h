#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// Source arguments with wildcards, as a Windows program takes them: the
// shell of Windows (cmd.exe) hands "C:\DRAW\*.dxf" on as it is, and each
// program expands it itself. A "*" or "?" in the name, after the last "\"
// or "/", stands for the files of that folder whose names it matches, in
// any case, in the order of their names; a name without one is taken as it
// is. Elsewhere the shell has expanded them already.
namespace wildcards {

// The arguments with each pattern expanded; nothing, and the first pattern
// that matches no file in `unmatched`, when one matches none.
std::optional<QStringList> expanded(const QStringList &arguments, QString *unmatched);

} // namespace wildcards
