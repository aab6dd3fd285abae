#include "appicon.h"

#include <QPixmap>

QPixmap applicationIconPixmap(int size)
{
    return QPixmap(size <= 16 ? QStringLiteral(":/icons/tessiva-16.xpm")
                              : QStringLiteral(":/icons/tessiva-32.xpm"));
}

QIcon applicationIcon()
{
    QIcon icon;
    icon.addPixmap(applicationIconPixmap(32));
    icon.addPixmap(applicationIconPixmap(16));
    return icon;
}
