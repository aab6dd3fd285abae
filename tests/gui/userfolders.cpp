// Linked into every window suite: what Qt and the program keep per user (a
// file dialog's history, the settings' per-user folder, caches) goes to a
// folder of the suite's own, made before main and removed at the exit,
// never to the home of whoever runs the tests.
#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

namespace {
struct OwnUserFolders
{
    QTemporaryDir dir;
    OwnUserFolders()
    {
        if (!dir.isValid())
            qFatal("no temporary folder for the suite's user folders");
        const QByteArray home = QFile::encodeName(dir.path());
        qputenv("HOME", home);
        qputenv("XDG_CONFIG_HOME", home + "/.config");
        qputenv("XDG_CACHE_HOME", home + "/.cache");
        qputenv("XDG_DATA_HOME", home + "/.local/share");
        qputenv("XDG_STATE_HOME", home + "/.local/state");
    }
};
const OwnUserFolders ownUserFolders;
} // namespace
