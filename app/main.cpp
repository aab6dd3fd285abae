#include "app/errorguard.h"
#include "app/startup.h"
#include "app/systemstart.h"
#include "app/terminationwatcher.h"
#include "app/tform1.h"
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
    QApplication app(argc, argv);
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
            TForm1 *form = windows.Form1.get();
            // A desktop session that ends stores the settings as a close does.
            QObject::connect(&app, &QGuiApplication::commitDataRequest, form,
                             [form] { form->guarded([form] { form->storeSettings(false); }); });
            // So does a logout or a kill that asks the program to end.
            QObject::connect(&termination, &TerminationWatcher::terminationRequested, form, [form] {
                form->guarded([form] { form->closeWithoutAsking(); });
                QCoreApplication::quit();
            });
        },
        [] { return QApplication::exec(); });
}
