#include "systemstart.h"

#include <QApplication>

namespace systemstart {

QString noDisplay(int, char **) { return QString(); }

void toolkitOpening() { }

void toolkitOpened() { }

void chooseStyle()
{
    // The window is laid out to the pixel; the Windows style's wider button
    // margins would leave the small "..." buttons without their text.
    QApplication::setStyle(QStringLiteral("Fusion"));
}

} // namespace systemstart
