#include "folderscan.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QProgressDialog>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <thread>

namespace folderscan {
namespace {
// How long a search goes on before it shows its progress, and how often the
// window looks at it meanwhile.
constexpr int kQuietMs = 1000;
constexpr int kLookMs = 25;
Searcher g_searcher = &search;
} // namespace

void setSearcher(Searcher searcher) { g_searcher = searcher ? searcher : &search; }

Found search(const QString &folder, Progress &progress)
{
    Found found;
    QStringList waiting{folder};
    while (!waiting.isEmpty() && !progress.stop) {
        const QString current = waiting.takeLast();
        // A folder this user may not read or enter: said, not passed over.
        const QFileInfo info(current);
        if (!info.isReadable() || !info.isExecutable()) {
            found.unreadable << current;
            continue;
        }
        ++progress.folders;
        const QFileInfoList entries = QDir(current).entryInfoList(
            QDir::Files | QDir::Dirs | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::NoSort);
        for (const QFileInfo &entry : entries) {
            if (entry.isDir()) {
                if (!entry.isSymLink())
                    waiting << entry.filePath();
            } else if (entry.fileName().endsWith(QLatin1String(".dxf"), Qt::CaseInsensitive)) {
                found.drawings << entry.filePath();
                ++progress.drawings;
            }
        }
    }
    std::sort(found.drawings.begin(), found.drawings.end());
    std::sort(found.unreadable.begin(), found.unreadable.end());
    return found;
}

Cancellable<Found> drawingsBelow(QWidget *window, const QString &nativeFolder)
{
    Progress progress;
    Found found;
    std::atomic<bool> done = false;
    std::thread searching([&] {
        found = g_searcher(QDir::fromNativeSeparators(nativeFolder), progress);
        done = true;
    });
    QElapsedTimer started;
    started.start();
    std::unique_ptr<QProgressDialog> shown;
    bool cancelled = false;
    while (!done) {
        // Until the progress shows, the window repaints and answers its
        // window manager but takes no input: the list is the search's.
        if (!shown && started.elapsed() >= kQuietMs) {
            shown = std::make_unique<QProgressDialog>(QString(), QStringLiteral(u"中止"), 0, 0, window);
            shown->setWindowTitle(QStringLiteral(u"フォルダから追加"));
            shown->setWindowModality(Qt::WindowModal);
            shown->setMinimumDuration(0);
            shown->show();
        }
        if (shown) {
            shown->setLabelText(QStringLiteral(u"図面を探しています: %1 件（%2 個のフォルダを見ました）")
                                    .arg(progress.drawings.load())
                                    .arg(progress.folders.load()));
            cancelled = cancelled || shown->wasCanceled();
        }
        // A window closed meanwhile (the program asked to end) ends the
        // search too.
        cancelled = cancelled || !window->isVisible();
        if (cancelled)
            progress.stop = true;
        QEventLoop wait;
        QTimer::singleShot(kLookMs, &wait, &QEventLoop::quit);
        wait.exec(shown ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents);
    }
    searching.join();
    if (cancelled)
        return kCancelled;
    for (QStringList *paths : {&found.drawings, &found.unreadable}) {
        for (QString &path : *paths)
            path = QDir::toNativeSeparators(path);
    }
    return found;
}

} // namespace folderscan
