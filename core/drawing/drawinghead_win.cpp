#include "drawinghead.h"

#include <QFile>
#include <QFileInfo>

#include <windows.h>

namespace drawing {
Head readHead(const QString &nativePath)
{
    const QFileInfo info(nativePath);
    if (info.isDir())
        return Head::unreadable({WriteFailure::IsFolder, 0});
    // A pipe or a device (\\.\, CON) is no drawing's file, and may wait.
    if (nativePath.startsWith(QLatin1String("\\\\.\\")) || nativePath.startsWith(QLatin1String("//./")))
        return Head::unreadable({WriteFailure::NotRegular, 0});
    HANDLE file = CreateFileW(reinterpret_cast<const wchar_t *>(nativePath.utf16()), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
            return Head::missing();
        return Head::unreadable(WriteError::system(int(error)));
    }
    struct Closer
    {
        HANDLE file;
        ~Closer() { CloseHandle(file); }
    } closer{file};
    if (GetFileType(file) != FILE_TYPE_DISK)
        return Head::unreadable({WriteFailure::NotRegular, 0});
    QByteArray buffer;
    bool atEnd = false;
    for (const qsizetype want : {qsizetype(4096), kHeadBytes}) {
        qsizetype have = buffer.size();
        buffer.resize(want);
        while (have < want) {
            DWORD got = 0;
            if (!ReadFile(file, buffer.data() + have, DWORD(want - have), &got, nullptr))
                return Head::unreadable(WriteError::system(int(GetLastError())));
            if (got == 0) {
                atEnd = true;
                break;
            }
            have += got;
        }
        buffer.resize(have);
        if (const std::optional<Head> head = headOf(buffer, atEnd || buffer.size() >= kHeadBytes))
            return *head;
    }
    return *headOf(buffer, true);
}

} // namespace drawing
