#include "cli/batchtool.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>


int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    // The window's name, so that its per-user settings folder is found.
    QCoreApplication::setApplicationName(QStringLiteral("tessiva"));

    batchtool::Environment env;
#ifdef Q_OS_WIN
    const QString window = QStringLiteral("tessiva.exe");
#else
    const QString window = QStringLiteral("tessiva");
#endif
    // The window lies beside the tool, installed and in the build alike.
    env.windowExecutable = QDir(QCoreApplication::applicationDirPath()).filePath(window);
    env.userSettingsFolder = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    env.workingFolder = QDir::currentPath();

    // The descriptors themselves, unbuffered, so that a write that fails
    // (a full disk, a closed output) is known at once.
    QFile in, out, err;
    in.open(0, QIODevice::ReadOnly);
    out.open(1, QIODevice::WriteOnly | QIODevice::Unbuffered);
    err.open(2, QIODevice::WriteOnly | QIODevice::Unbuffered);
    return batchtool::run(QCoreApplication::arguments(), env, in, out, err);
}
