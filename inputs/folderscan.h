#pragma once

#include "core/base/result.h"

#include <QString>
#include <QStringList>

#include <atomic>

class QWidget;

// The drawings below a folder: every file whose name ends in ".dxf", in any
// case, in the folder and in every folder below it (a link to a folder is
// not followed), in the order of their paths. The folder is searched on a
// thread of its own, so that the window stays responsive; a search that
// takes longer than a second shows its progress (the folders looked in and
// the drawings found), with a cancel.
namespace folderscan {

struct Found
{
    QStringList drawings; // native paths, in order
    QStringList unreadable; // native folders that could not be read, in order
};

// What a search of `nativeFolder` found, or nothing when the user cancelled
// it or its window closed meanwhile.
Cancellable<Found> drawingsBelow(QWidget *window, const QString &nativeFolder);

// The search itself, on the thread that calls it: it counts the folders
// it has looked in and the drawings it has found as it goes, and ends early
// once `stop` is set. Paths in the toolkit's form ("/").
struct Progress
{
    std::atomic<bool> stop = false;
    std::atomic<int> folders = 0;
    std::atomic<int> drawings = 0;
};
Found search(const QString &folder, Progress &progress);

// The search drawingsBelow runs: search(), or one a test puts in its place
// (nullptr puts search() back).
using Searcher = Found (*)(const QString &folder, Progress &progress);
void setSearcher(Searcher searcher);

} // namespace folderscan
