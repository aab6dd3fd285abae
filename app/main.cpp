#include "app/errorguard.h"
#include "app/startup.h"
#include "app/terminationwatcher.h"
#include "app/tform1.h"
#include "core/toolkittranslation.h"
#include "platform/qtplatformservices.h"
#include "ui/appicon.h"
#include "ui/fonts.h"

#include <QApplication>
#include <QGuiApplication>
#include <QSessionManager>

#include <cstdio>

namespace {
// Without a display Qt would abort; say what is missing instead.
bool haveDisplay(int argc, char **argv)
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    for (int i = 1; i < argc; ++i) {
        if (qstrcmp(argv[i], "-platform") == 0)
            return true;
    }
    if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        return true;
    return qEnvironmentVariableIsSet("DISPLAY") || qEnvironmentVariableIsSet("WAYLAND_DISPLAY");
#else
    Q_UNUSED(argc);
    Q_UNUSED(argv);
    return true;
#endif
}
} // namespace

int main(int argc, char **argv)
{
    if (!haveDisplay(argc, argv)) {
        std::fputs("tessiva: no display found (DISPLAY is not set); start it on a desktop, "
                   "or headless with: xvfb-run ./dev run\n",
                   stderr);
        return 1;
    }
    QApplication app(argc, argv);
#ifdef Q_OS_WIN
    // The window is laid out to the pixel; the Windows style's wider button
    // margins would leave the small "..." buttons without their text.
    QApplication::setStyle(QStringLiteral("Fusion"));
#endif
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
