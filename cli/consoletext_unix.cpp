#include "consoletext.h"

#include <QIODevice>

void writeConsoleText(QIODevice &device, const QString &text)
{
    device.write(text.toUtf8());
}

void useBinaryStandardStreams()
{
    // Streams carry bytes as they are here.
}
