#include "app/errorguard.h"
#include "app/mainwindow.h"
#include "app/startup.h"
#include "app/systemstart.h"
#include "app/terminationwatcher.h"
#include "core/text/toolkittranslation.h"
#include "platform/qtplatformservices.h"
#include "ui/appicon.h"
#include "ui/fonts.h"

#include <QApplication>
#include <QGuiApplication>
#include <QSessionManager>

#include <cstdio>

int main(int argc, char **argv)
{
    if (const QString said = systemstart::noDisplay(argc, argv); !said.isEmpty()) {
        std::fprintf(stderr, "%s\n", said.toLocal8Bit().constData());
        return 1;
    }
    systemstart::toolkitOpening();
    QApplication app(argc, argv);
    systemstart::toolkitOpened();
    systemstart::chooseStyle();
    QCoreApplication::setApplicationName(QStringLiteral("tessiva"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TESSIVA_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral("tessiva"));
    QApplication::setWindowIcon(applicationIcon());
    fonts::installSubstitutions();
    toolkittranslation::install(app);

    QtPlatformServices services;
    TerminationWatcher termination;
    return runStartUp(
        services,
        [&app, &services, &termination](Windows &windows) {
            createWindows(services, windows);
            MainWindow *window = windows.main.get();
            // A desktop session that ends stores the settings as a close does.
            QObject::connect(&app, &QGuiApplication::commitDataRequest, window,
                             [window] { window->guarded([window] { window->storeSettings(false); }); });
            // So does a logout or a kill that asks the program to end.
            QObject::connect(&termination, &TerminationWatcher::terminationRequested, window, [window] {
                window->guarded([window] { window->closeWithoutAsking(); });
                QCoreApplication::quit();
            });
        },
        [] { return QApplication::exec(); });
}
