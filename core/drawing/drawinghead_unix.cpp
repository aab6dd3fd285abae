#include "drawinghead.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace drawing {
namespace {

// Reads into `buffer` from `have` up to `want` bytes, or to the file's end.
bool readUpTo(int fd, QByteArray &buffer, qsizetype want, bool &atEnd)
{
    qsizetype have = buffer.size();
    buffer.resize(want);
    while (have < want) {
        const ssize_t got = ::read(fd, buffer.data() + have, size_t(want - have));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return false;
        if (got == 0) {
            atEnd = true;
            break;
        }
        have += got;
    }
    buffer.resize(have);
    return true;
}

} // namespace

Head readHead(const QString &nativePath)
{
    // Not blocking: a FIFO opens at once, and is then refused by its kind.
    const int fd = ::open(QFile::encodeName(nativePath).constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return Head::missing();
        return Head::unreadable(WriteError::system(errno));
    }
    struct Closer
    {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    struct stat info;
    if (::fstat(fd, &info) != 0)
        return Head::unreadable(WriteError::system(errno));
    if (S_ISDIR(info.st_mode))
        return Head::unreadable({WriteFailure::IsFolder, 0});
    if (!S_ISREG(info.st_mode))
        return Head::unreadable({WriteFailure::NotRegular, 0});
    // Most drawings tell what they are in their first lines: a page is
    // read first, the rest of the head only where that did not tell.
    QByteArray buffer;
    bool atEnd = false;
    for (const qsizetype want : {qsizetype(4096), kHeadBytes}) {
        if (!readUpTo(fd, buffer, want, atEnd))
            return Head::unreadable(WriteError::system(errno));
        if (const std::optional<Head> head = headOf(buffer, atEnd || buffer.size() >= kHeadBytes))
            return *head;
    }
    return *headOf(buffer, true);
}

} // namespace drawing
