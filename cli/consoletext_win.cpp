#include "consoletext.h"

#include <QFile>

#include <fcntl.h>
#include <io.h>
#include <windows.h>

void writeConsoleText(QIODevice &device, const QString &text)
{
    auto *file = qobject_cast<QFile *>(&device);
    const HANDLE handle = file ? reinterpret_cast<HANDLE>(_get_osfhandle(file->handle())) : INVALID_HANDLE_VALUE;
    DWORD mode = 0;
    if (handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode)) {
        DWORD written = 0;
        WriteConsoleW(handle, reinterpret_cast<const wchar_t *>(text.utf16()), DWORD(text.size()), &written, nullptr);
        return;
    }
    // Redirected, lines end as Windows ends them.
    QString lines = text;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\n', QStringLiteral("\r\n"));
    UINT codePage = GetConsoleOutputCP();
    if (codePage == 0)
        codePage = GetACP();
    const auto *wide = reinterpret_cast<const wchar_t *>(lines.utf16());
    const int size = WideCharToMultiByte(codePage, 0, wide, int(lines.size()), nullptr, 0, nullptr, nullptr);
    QByteArray bytes(size, Qt::Uninitialized);
    WideCharToMultiByte(codePage, 0, wide, int(lines.size()), bytes.data(), size, nullptr, nullptr);
    device.write(bytes);
}

void useBinaryStandardStreams()
{
    // Standard error too: its line ends are made above, as standard
    // output's are.
    _setmode(0, _O_BINARY);
    _setmode(1, _O_BINARY);
    _setmode(2, _O_BINARY);
}

int consoleColumns()
{
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (GetConsoleScreenBufferInfo(GetStdHandle(STD_OUTPUT_HANDLE), &info))
        return info.srWindow.Right - info.srWindow.Left + 1;
    return 80;
}

void holdClosedStandardStreams()
{
    // The C runtime gives a closed stream no descriptor: the tool's own
    // opens never take its place.
}
