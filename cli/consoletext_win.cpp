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
    UINT codePage = GetConsoleOutputCP();
    if (codePage == 0)
        codePage = GetACP();
    const auto *wide = reinterpret_cast<const wchar_t *>(text.utf16());
    const int size = WideCharToMultiByte(codePage, 0, wide, int(text.size()), nullptr, 0, nullptr, nullptr);
    QByteArray bytes(size, Qt::Uninitialized);
    WideCharToMultiByte(codePage, 0, wide, int(text.size()), bytes.data(), size, nullptr, nullptr);
    device.write(bytes);
}

void useBinaryStandardStreams()
{
    _setmode(0, _O_BINARY);
    _setmode(1, _O_BINARY);
}

void holdClosedStandardStreams()
{
    // The C runtime gives a closed stream no descriptor: the tool's own
    // opens never take its place.
}
