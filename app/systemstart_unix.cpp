#include "systemstart.h"

#include <QByteArray>
#include <QLocale>
#include <QtGlobal>

#include <cstdio>
#include <cstdlib>

#include <xcb/xcb.h>

namespace systemstart {

namespace {
// The display platform the toolkit will take: the one given with
// -platform, else QT_QPA_PLATFORM, else the X server's where there is no
// Wayland session; only its name, without its options. A list of platforms
// to fall back on is the toolkit's to try.
QByteArray platformTaken(int argc, char **argv)
{
    QByteArray platform;
    for (int i = 1; i + 1 < argc; ++i) {
        if (qstrcmp(argv[i], "-platform") == 0)
            platform = argv[i + 1];
    }
    if (platform.isEmpty())
        platform = qgetenv("QT_QPA_PLATFORM");
    if (platform.isEmpty())
        return qEnvironmentVariableIsSet("WAYLAND_DISPLAY") ? QByteArray("wayland") : QByteArray("xcb");
    if (platform.contains(';'))
        return QByteArray();
    return platform.split(':').constFirst().trimmed();
}

bool inJapanese() { return QLocale::system().language() == QLocale::Japanese; }

QString said(const QString &why)
{
    return inJapanese() ? QStringLiteral(u"tessiva: ウィンドウを表示するディスプレイがありません（%1）。"
                                         u"デスクトップのセッションで起動してください。")
                              .arg(why)
                        : QStringLiteral("tessiva: there is no display to show the window on (%1). "
                                         "Start Tessiva in a desktop session.")
                              .arg(why);
}

// The platform the toolkit was to open, for the words of its failure.
QByteArray g_platform;
QtMessageHandler g_toolkitHandler = nullptr;

// The toolkit ends the program when it cannot open its platform (a screen
// the X server does not have, Wayland without its plugin, a platform of
// another name): it says so first, in words for developers, then aborts.
// The program says it in the user's words instead, and ends with 1.
void onToolkitMessage(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtFatalMsg && message.contains(QLatin1String("platform plugin"))) {
        const QString platform = QString::fromLocal8Bit(g_platform.isEmpty() ? qgetenv("QT_QPA_PLATFORM") : g_platform);
        QString why = inJapanese() ? QStringLiteral(u"%1 を開けません").arg(platform)
                                   : QStringLiteral("%1 cannot be opened").arg(platform);
        if (g_platform == "xcb")
            why = inJapanese() ? QStringLiteral(u"DISPLAY=%1 に接続できません").arg(qEnvironmentVariable("DISPLAY"))
                               : QStringLiteral("DISPLAY=%1 cannot be reached").arg(qEnvironmentVariable("DISPLAY"));
        else if (g_platform == "wayland")
            why = inJapanese()
                ? QStringLiteral(u"WAYLAND_DISPLAY=%1 に接続できません").arg(qEnvironmentVariable("WAYLAND_DISPLAY"))
                : QStringLiteral("WAYLAND_DISPLAY=%1 cannot be reached").arg(qEnvironmentVariable("WAYLAND_DISPLAY"));
        std::fprintf(stderr, "%s\n", said(why).toLocal8Bit().constData());
        std::fflush(stderr);
        std::_Exit(1);
    }
    // Everything else the toolkit says goes where it went, but its words
    // of the platform it could not load, which the program's own replace.
    if (type != QtFatalMsg && context.category && qstrncmp(context.category, "qt.qpa", 6) == 0)
        return;
    if (g_toolkitHandler)
        g_toolkitHandler(type, context, message);
}
} // namespace

QString noDisplay(int argc, char **argv)
{
    g_platform = platformTaken(argc, argv);
    // Only the X server's platform is looked at here: the others say
    // what fails as the toolkit opens them (toolkitOpening).
    if (g_platform != "xcb")
        return QString();
    if (!qEnvironmentVariableIsSet("DISPLAY"))
        return said(inJapanese() ? QStringLiteral(u"DISPLAY が設定されていません")
                                 : QStringLiteral("DISPLAY is not set"));
    // The toolkit aborts on a display it cannot open, a screen the server
    // does not have among them; a connection tried here first says so
    // instead.
    int screen = 0;
    xcb_connection_t *connection = xcb_connect(nullptr, &screen);
    const bool reached
        = xcb_connection_has_error(connection) == 0 && screen < xcb_setup_roots_length(xcb_get_setup(connection));
    xcb_disconnect(connection);
    if (reached)
        return QString();
    const QString display = qEnvironmentVariable("DISPLAY");
    return said(inJapanese() ? QStringLiteral(u"DISPLAY=%1 に接続できません").arg(display)
                             : QStringLiteral("DISPLAY=%1 cannot be reached").arg(display));
}

void toolkitOpening() { g_toolkitHandler = qInstallMessageHandler(onToolkitMessage); }

void toolkitOpened() { qInstallMessageHandler(g_toolkitHandler); }

void chooseStyle()
{
    // The desktop's own style: Fusion where there is no other.
}

} // namespace systemstart
