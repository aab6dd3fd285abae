#include "systemstart.h"

#include <QApplication>

namespace systemstart {

bool haveDisplay(int, char **)
{
    return true;
}

void chooseStyle()
{
    // The window is laid out to the pixel; the Windows style's wider button
    // margins would leave the small "..." buttons without their text.
    QApplication::setStyle(QStringLiteral("Fusion"));
}

} // namespace systemstart
