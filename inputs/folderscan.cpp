#include "folderscan.h"

#include <QApplication>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProgressDialog>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <thread>

namespace folderscan {
namespace {
// How long a search goes on before it shows its progress, and how often the
// window looks at it meanwhile.
constexpr int kQuietMs = 1000;
constexpr int kLookMs = 25;

struct Search
{
    std::atomic<bool> done = false;
    std::atomic<bool> cancelled = false;
    std::atomic<int> found = 0;
    QStringList drawings; // the search's own until it is done
};

void search(const QString &folder, Search &state)
{
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext() && !state.cancelled) {
        const QString path = it.next();
        if (path.endsWith(QLatin1String(".dxf"), Qt::CaseInsensitive)) {
            state.drawings << path;
            ++state.found;
        }
    }
    std::sort(state.drawings.begin(), state.drawings.end());
    state.done = true;
}
} // namespace

std::optional<QStringList> drawingsBelow(QWidget *window, const QString &nativeFolder)
{
    Search state;
    std::thread searching(search, QDir::fromNativeSeparators(nativeFolder), std::ref(state));
    QElapsedTimer started;
    started.start();
    std::unique_ptr<QProgressDialog> progress;
    while (!state.done) {
        // Until the progress shows, the window repaints and answers its
        // window manager but takes no input: the list is the search's.
        if (!progress && started.elapsed() >= kQuietMs) {
            progress = std::make_unique<QProgressDialog>(QString(), QStringLiteral(u"中止"), 0, 0, window);
            progress->setWindowTitle(QStringLiteral(u"フォルダから追加"));
            progress->setWindowModality(Qt::WindowModal);
            progress->setMinimumDuration(0);
            progress->show();
        }
        if (progress) {
            progress->setLabelText(QStringLiteral(u"図面を探しています: %1 件").arg(state.found.load()));
            if (progress->wasCanceled())
                state.cancelled = true;
        }
        QEventLoop wait;
        QTimer::singleShot(kLookMs, &wait, &QEventLoop::quit);
        wait.exec(progress ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents);
    }
    searching.join();
    if (state.cancelled)
        return std::nullopt;
    QStringList drawings = std::move(state.drawings);
    for (QString &path : drawings)
        path = QDir::toNativeSeparators(path);
    return drawings;
}

} // namespace folderscan
