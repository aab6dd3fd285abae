#include "cli/batchtool.h"
#include "core/settingscodec.h"

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
    env.pathStyle = textrules::PathStyle::Windows;
    const QString window = QStringLiteral("tessiva.exe");
#else
    const QString window = QStringLiteral("tessiva");
#endif
    env.settingsReadOrder =
        settings::locations(QDir(QCoreApplication::applicationDirPath()).filePath(window),
                            QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation))
            .readOrder;

    QFile in, out, err;
    in.open(stdin, QIODevice::ReadOnly);
    out.open(stdout, QIODevice::WriteOnly);
    err.open(stderr, QIODevice::WriteOnly);
    return batchtool::run(QCoreApplication::arguments(), env, in, out, err);
}
