#include "appicon.h"

#include <QPixmap>

// The icons are compiled into this static library; a static library's
// resources must be registered by hand before first use.
static void registerIconResources()
{
    static const bool registered = [] {
        Q_INIT_RESOURCE(tessiva);
        return true;
    }();
    Q_UNUSED(registered);
}

QPixmap applicationIconPixmap(int size)
{
    registerIconResources();
    return QPixmap(size <= 16 ? QStringLiteral(":/icons/tessiva-16.xpm") : QStringLiteral(":/icons/tessiva-32.xpm"));
}

QIcon applicationIcon()
{
    QIcon icon;
    icon.addPixmap(applicationIconPixmap(32));
    icon.addPixmap(applicationIconPixmap(16));
    return icon;
}
