#include "cli/batchtool.h"
#include "cli/consoletext.h"
#include "core/settings/settingsfile.h"
#include "core/text/toolkittranslation.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>

namespace {
// The working folder as the shell shows it: through the links it was
// reached by ($PWD), where that is the same folder, so that a relative
// source and a root typed as "$PWD" are taken the same way.
QString workingFolder()
{
    const QString physical = QDir::currentPath();
    const QString shown = qEnvironmentVariable("PWD");
    if (!shown.startsWith(u'/') || QFileInfo(shown).canonicalFilePath() != QFileInfo(physical).canonicalFilePath())
        return physical;
    return QDir::cleanPath(shown);
}
} // namespace

int main(int argc, char **argv)
{
    holdClosedStandardStreams();
    QCoreApplication app(argc, argv);
    // The window's name, so that its per-user settings folder is found.
    QCoreApplication::setApplicationName(QStringLiteral("tessiva"));
    // On a Japanese system the tool's own words are Japanese; the refusals
    // are the window's texts either way.
    if (QLocale::system().language() == QLocale::Japanese) {
        toolkittranslation::install(app);
        toolkittranslation::installBuiltIn(app, QStringLiteral("tessiva-batch_ja"));
    }

    batchtool::Environment env;
    env.windowExecutable = SettingsFile::windowIn(QCoreApplication::applicationDirPath());
    env.userSettingsFolder = SettingsFile::userFolder();
    env.workingFolder = workingFolder();
    env.writeText = writeConsoleText;
    env.columns = consoleColumns();

    // The descriptors themselves, unbuffered, so that a write that fails
    // (a full disk, a closed output) is known at once.
    useBinaryStandardStreams();
    QFile in, out, err;
    in.open(0, QIODevice::ReadOnly);
    out.open(1, QIODevice::WriteOnly | QIODevice::Unbuffered);
    err.open(2, QIODevice::WriteOnly | QIODevice::Unbuffered);
    return batchtool::run(QCoreApplication::arguments(), env, in, out, err);
}
