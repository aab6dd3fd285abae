#include "consoletext.h"

#include <QIODevice>

void writeConsoleText(QIODevice &device, const QString &text)
{
    device.write(text.toUtf8());
}
