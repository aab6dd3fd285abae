#include "filewrite.h"

#include <QBuffer>
#include <QFileInfo>
#include <QSaveFile>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

WriteResult failed(const QString &reason)
{
    return {false, reason};
}

// What the path names once its links are followed.
enum class Kind {
    Missing,     // nothing there yet: a new file
    Regular,     // replaced through a temporary file, or rewritten in place
    PassThrough, // a FIFO or character device: written through
    Folder,
    Other, // a block device, a socket: never written
};

struct Target
{
    QString path; // the file the links end at
    Kind kind = Kind::Missing;
    QString error; // set when the links cannot be followed
#ifdef Q_OS_UNIX
    struct stat st = {};
#endif
};

Target resolve(const QString &given)
{
    Target target;
    target.path = given;
    QFileInfo info(given);
    for (int depth = 0; info.isSymLink(); ++depth) {
        if (depth == 40) {
            target.error = QStringLiteral("Too many levels of symbolic links");
            return target;
        }
        target.path = info.symLinkTarget();
        info.setFile(target.path);
    }
#ifdef Q_OS_UNIX
    if (::lstat(QFile::encodeName(target.path).constData(), &target.st) != 0)
        return target; // missing, or unreachable: the write says why
    const mode_t type = target.st.st_mode & S_IFMT;
    target.kind = type == S_IFREG                    ? Kind::Regular
        : (type == S_IFIFO || type == S_IFCHR)       ? Kind::PassThrough
        : type == S_IFDIR                            ? Kind::Folder
                                                     : Kind::Other;
#else
    target.kind = info.isDir() ? Kind::Folder : info.isFile() ? Kind::Regular : info.exists() ? Kind::Other : Kind::Missing;
#endif
    return target;
}

WriteResult writeThrough(const QString &path, const std::function<bool(QIODevice &)> &write)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return failed(file.errorString());
    if (!write(file))
        return failed(file.errorString());
    file.close();
    if (file.error() != QFileDevice::NoError)
        return failed(file.errorString());
    return {true, QString()};
}

#ifdef Q_OS_UNIX
QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// Flushes what was written to the disk. A file system that cannot (some
// special ones) is taken as having it there.
int syncToDisk(int fd)
{
    if (::fdatasync(fd) == 0 || errno == EINVAL || errno == EROFS)
        return 0;
    return errno;
}

int writeAt(int fd, QByteArrayView bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::pwrite(fd, bytes.data() + done, size_t(bytes.size() - done), off_t(done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n < 0 ? errno : ENOSPC;
        done += n;
    }
    return 0;
}

int readAt(int fd, QByteArray &bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::pread(fd, bytes.data() + done, size_t(bytes.size() - done), off_t(done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return errno;
        if (n == 0)
            break;
        done += n;
    }
    bytes.truncate(done);
    return 0;
}

struct Descriptor
{
    int fd;
    ~Descriptor()
    {
        if (fd >= 0)
            ::close(fd); // also drops the lock
    }
};

// Rewrites an existing file in place, for a folder that takes no temporary
// file. Nothing is touched until the room is reserved, a second writer of
// the file waits, and a failure puts the old bytes back.
WriteResult rewriteInPlace(const QString &path, const QByteArray &bytes)
{
    const Descriptor file{::open(QFile::encodeName(path).constData(), O_RDWR | O_CLOEXEC)};
    if (file.fd < 0)
        return failed(systemReason(errno));
    if (::flock(file.fd, LOCK_EX) != 0)
        return failed(systemReason(errno));
    struct stat st = {};
    if (::fstat(file.fd, &st) != 0)
        return failed(systemReason(errno));
    QByteArray old(qsizetype(st.st_size), Qt::Uninitialized);
    if (const int error = readAt(file.fd, old))
        return failed(systemReason(error));
#ifdef __linux__
    // Reserve the blocks without changing the file, so that a full disk
    // refuses here. A file system that cannot reserve goes on unreserved.
    if (!bytes.isEmpty() && ::fallocate(file.fd, FALLOC_FL_KEEP_SIZE, 0, off_t(bytes.size())) != 0
        && errno != EOPNOTSUPP && errno != ENOSYS)
        return failed(systemReason(errno));
#endif
    int error = writeAt(file.fd, bytes);
    if (!error && ::ftruncate(file.fd, off_t(bytes.size())) != 0)
        error = errno;
    if (!error)
        error = syncToDisk(file.fd);
    if (error) {
        // The old bytes go back into room the file already had.
        writeAt(file.fd, old);
        if (::ftruncate(file.fd, off_t(old.size())) == 0)
            syncToDisk(file.fd);
        return failed(systemReason(error));
    }
    return {true, QString()};
}
#else
WriteResult rewriteInPlace(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite | QIODevice::Unbuffered))
        return failed(file.errorString());
    const QByteArray old = file.readAll();
    if (file.seek(0) && writeFully(file, bytes) && file.resize(bytes.size()) && file.flush())
        return {true, QString()};
    const QString error = file.errorString();
    file.seek(0);
    writeFully(file, old);
    file.resize(old.size());
    return failed(error);
}
#endif

// Keeps the replaced file's mode and owner on the temporary file that
// replaces it, and makes sure its bytes are on the disk.
QString finish(QSaveFile &file, const Target &target)
{
#ifdef Q_OS_UNIX
    const int fd = file.handle();
    if (target.kind == Kind::Regular) {
        if (::fchmod(fd, target.st.st_mode & 07777) != 0)
            return systemReason(errno);
        // Only root may give a file away; anyone else keeps it as theirs.
        if ((target.st.st_uid != ::geteuid() || target.st.st_gid != ::getegid())
            && ::fchown(fd, target.st.st_uid, target.st.st_gid) != 0 && errno != EPERM)
            return systemReason(errno);
    }
    if (const int error = syncToDisk(fd))
        return systemReason(error);
#else
    Q_UNUSED(target);
    if (!file.flush())
        return file.errorString();
#endif
    return QString();
}
} // namespace

WriteResult writeWholeFile(const QString &path, const std::function<bool(QIODevice &)> &write)
{
    const Target target = resolve(path);
    if (!target.error.isEmpty())
        return failed(target.error);
    switch (target.kind) {
    case Kind::PassThrough:
        return writeThrough(target.path, write);
    case Kind::Folder:
        return failed(QStringLiteral("Is a directory"));
    case Kind::Other:
        return failed(QStringLiteral("Not a regular file"));
    case Kind::Regular:
        if (!QFileInfo(target.path).permissions().testFlag(QFileDevice::WriteOwner))
            return failed(QStringLiteral("The file is read-only"));
        break;
    case Kind::Missing:
        break;
    }

    QSaveFile file(target.path);
    file.setDirectWriteFallback(false);
    // Unbuffered, so that every write's failure is seen where it happens and
    // none is left for the commit to lose.
    if (file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        if (!write(file)) {
            const QString error = file.errorString();
            file.cancelWriting();
            return failed(error);
        }
        if (const QString error = finish(file, target); !error.isEmpty()) {
            file.cancelWriting();
            return failed(error);
        }
        if (!file.commit())
            return failed(file.errorString());
        return {true, QString()};
    }
    if (target.kind != Kind::Regular)
        return failed(file.errorString());

    // No temporary file beside it: the whole content is made before the
    // file is touched.
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (!write(buffer))
        return failed(buffer.errorString());
    return rewriteInPlace(target.path, buffer.data());
}

WriteResult writeWholeFile(const QString &path, const QByteArray &bytes)
{
    return writeWholeFile(path, [&bytes](QIODevice &file) { return writeFully(file, bytes); });
}

bool writeFully(QIODevice &device, QByteArrayView bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const qint64 n = device.write(bytes.data() + done, bytes.size() - done);
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}
