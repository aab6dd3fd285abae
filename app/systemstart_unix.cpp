#include "systemstart.h"

#include <QByteArray>
#include <QtGlobal>

#include <xcb/xcb.h>

namespace systemstart {

QString noDisplay(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        if (qstrcmp(argv[i], "-platform") == 0)
            return QString();
    }
    if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM") || qEnvironmentVariableIsSet("WAYLAND_DISPLAY"))
        return QString();
    if (!qEnvironmentVariableIsSet("DISPLAY"))
        return QStringLiteral("DISPLAY is not set");
    // The toolkit aborts on a display it cannot open; a connection tried
    // here first says so instead.
    xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
    const bool reached = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);
    if (reached)
        return QString();
    return QStringLiteral("DISPLAY=%1 cannot be reached").arg(qEnvironmentVariable("DISPLAY"));
}

void chooseStyle()
{
    // The desktop's own style: Fusion where there is no other.
}

} // namespace systemstart
