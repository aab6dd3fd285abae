#include "systemstart.h"

#include <QByteArray>
#include <QLocale>
#include <QtGlobal>

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
} // namespace

QString noDisplay(int argc, char **argv)
{
    // Only the X server's platform is looked at: the others (offscreen,
    // Wayland) are the caller's choice, and say their own words.
    if (platformTaken(argc, argv) != "xcb")
        return QString();
    const bool japanese = QLocale::system().language() == QLocale::Japanese;
    const auto said = [japanese](const QString &why) {
        return japanese ? QStringLiteral(u"tessiva: ウィンドウを表示するディスプレイがありません（%1）。"
                                         u"デスクトップのセッションで起動してください。")
                              .arg(why)
                        : QStringLiteral("tessiva: there is no display to show the window on (%1). "
                                         "Start Tessiva in a desktop session.")
                              .arg(why);
    };
    if (!qEnvironmentVariableIsSet("DISPLAY"))
        return said(japanese ? QStringLiteral(u"DISPLAY が設定されていません") : QStringLiteral("DISPLAY is not set"));
    // The toolkit aborts on a display it cannot open; a connection tried
    // here first says so instead.
    xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
    const bool reached = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);
    if (reached)
        return QString();
    const QString display = qEnvironmentVariable("DISPLAY");
    return said(japanese ? QStringLiteral(u"DISPLAY=%1 に接続できません").arg(display)
                         : QStringLiteral("DISPLAY=%1 cannot be reached").arg(display));
}

void chooseStyle()
{
    // The desktop's own style: Fusion where there is no other.
}

} // namespace systemstart
