#pragma once

#include <QString>
#include <QStringList>

#include <optional>

class QWidget;

// The drawings below a folder: every file whose name ends in ".dxf", in any
// case, in the folder and in every folder below it (a link to a folder is
// not followed), in the order of their paths. The folder is searched on a
// thread of its own, so that the window stays responsive; a search that
// takes longer than a second shows its progress, with a cancel.
namespace folderscan {

// Native paths, or nothing when the user cancelled the search.
std::optional<QStringList> drawingsBelow(QWidget *window, const QString &nativeFolder);

} // namespace folderscan
