#include "filewrite.h"

#include <QBuffer>
#include <QDir>
#include <QTemporaryFile>
#include <QFileInfo>
#include <QSaveFile>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#ifdef __linux__
#include <linux/magic.h>
#include <sys/vfs.h>
#endif
#endif

namespace {

WriteResult failed(const QString &reason)
{
    return {false, reason};
}

#ifdef Q_OS_UNIX
QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}
#endif

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

#ifdef Q_OS_UNIX
// The folder part and the name of a path, as text: "a/b" gives "a" and "b".
// Nothing is folded: what ".." means depends on the links on the way.
std::pair<QByteArray, QByteArray> splitPath(const QByteArray &path)
{
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0)
        return {QByteArrayLiteral("."), path};
    return {slash == 0 ? QByteArrayLiteral("/") : path.left(slash), path.mid(slash + 1)};
}

// Follows the links as the system does: the folder a name lies in is the
// folder its path really reaches, links and ".." taken in order, and a
// link's relative target is taken from the folder the link really lies in.
Target resolve(const QString &given)
{
    Target target;
    QByteArray path = QFile::encodeName(given);
    for (int depth = 0;; ++depth) {
        const auto [folder, name] = splitPath(path);
        if (name.isEmpty() || name == "." || name == "..") {
            // A path that names a folder by its form.
            target.path = QFile::decodeName(path);
            break;
        }
        char real[PATH_MAX];
        if (!::realpath(folder.constData(), real)) {
            target.path = QFile::decodeName(path); // the write says why
            return target;
        }
        const QByteArray realFolder(real);
        path = (realFolder == "/" ? QByteArray() : realFolder) + '/' + name;
        target.path = QFile::decodeName(path);
        if (::lstat(path.constData(), &target.st) != 0 || !S_ISLNK(target.st.st_mode))
            break;
        if (depth == 40) {
            target.error = writereason::tooManyLinks();
            return target;
        }
        char link[PATH_MAX];
        const ssize_t n = ::readlink(path.constData(), link, sizeof link);
        if (n < 0 || n == ssize_t(sizeof link)) {
            target.error = systemReason(n < 0 ? errno : ENAMETOOLONG);
            return target;
        }
        const QByteArray to(link, n);
        path = to.startsWith('/') ? to : realFolder + '/' + to;
    }
    if (::stat(QFile::encodeName(target.path).constData(), &target.st) != 0)
        return target; // missing, or unreachable: the write says why
    const mode_t type = target.st.st_mode & S_IFMT;
    target.kind = type == S_IFREG                    ? Kind::Regular
        : (type == S_IFIFO || type == S_IFCHR)       ? Kind::PassThrough
        : type == S_IFDIR                            ? Kind::Folder
                                                     : Kind::Other;
    return target;
}

// Holds back the signals a write can raise, SIGPIPE (a reader that left)
// and SIGXFSZ (a file size limit), while a file is written, so that they
// end the write with its reason instead of ending the program. Those the
// write raised are taken back before the signals are let through again.
class WriteSignalsHeld
{
public:
    WriteSignalsHeld()
    {
        sigemptyset(&m_held);
        sigaddset(&m_held, SIGPIPE);
        sigaddset(&m_held, SIGXFSZ);
        pthread_sigmask(SIG_BLOCK, &m_held, &m_before);
        // A signal the caller already held stays the caller's.
        for (int signal : {SIGPIPE, SIGXFSZ}) {
            if (sigismember(&m_before, signal))
                sigdelset(&m_held, signal);
        }
    }
    ~WriteSignalsHeld()
    {
        const timespec now = {0, 0};
        while (sigtimedwait(&m_held, nullptr, &now) > 0) {
        }
        pthread_sigmask(SIG_SETMASK, &m_before, nullptr);
    }
    WriteSignalsHeld(const WriteSignalsHeld &) = delete;
    WriteSignalsHeld &operator=(const WriteSignalsHeld &) = delete;

private:
    sigset_t m_held;
    sigset_t m_before;
};

// Opens a FIFO or a device for writing without waiting for a reader: a
// FIFO that nobody reads is refused, as the write would wait for ever.
WriteResult writeThrough(const QString &path, const std::function<bool(QIODevice &)> &write)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return failed(errno == ENXIO ? writereason::noReader() : systemReason(errno));
    // Once a reader is there, each write waits for it as usual.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    QFile file;
    if (!file.open(fd, QIODevice::WriteOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return failed(file.errorString());
    }
    if (!write(file))
        return failed(file.errorString());
    file.close();
    if (file.error() != QFileDevice::NoError)
        return failed(file.errorString());
    return {true, QString()};
}
#else
Target resolve(const QString &given)
{
    Target target;
    target.path = given;
    QFileInfo info(given);
    for (int depth = 0; info.isSymLink(); ++depth) {
        if (depth == 40) {
            target.error = writereason::tooManyLinks();
            return target;
        }
        target.path = info.symLinkTarget();
        info.setFile(target.path);
    }
    target.kind = info.isDir() ? Kind::Folder : info.isFile() ? Kind::Regular : info.exists() ? Kind::Other : Kind::Missing;
    return target;
}

struct WriteSignalsHeld
{
};

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
#endif

#ifdef Q_OS_UNIX

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

#ifdef __linux__
// Makes sure that rewriting the file's first `size` bytes in place cannot
// run out of room half-way; empty when it cannot, or the reason. Only file
// systems that rewrite a file's own blocks where they lie can promise
// that: there the blocks are reserved (and unshared from other files)
// before the first byte is touched. A copy-on-write file system writes
// every block anew, which no reservation covers.
QString reserveInPlace(int fd, qsizetype size)
{
    struct statfs fs = {};
    if (::fstatfs(fd, &fs) != 0)
        return systemReason(errno);
    switch (static_cast<unsigned long>(fs.f_type)) {
    case EXT4_SUPER_MAGIC: // ext2 and ext3 too
    case XFS_SUPER_MAGIC:
    case TMPFS_MAGIC:
    case MSDOS_SUPER_MAGIC:
        break;
    default:
        return writereason::noRoomInPlace();
    }
    if (size == 0)
        return QString();
    // Blocks shared with another file (a reflinked copy) would be copied
    // on the first write.
    if (::fallocate(fd, FALLOC_FL_UNSHARE_RANGE | FALLOC_FL_KEEP_SIZE, 0, off_t(size)) != 0 && errno != EOPNOTSUPP
        && errno != EINVAL)
        return systemReason(errno);
    if (::fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, off_t(size)) != 0)
        return systemReason(errno);
    return QString();
}
#endif

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
    if (const QString refused = reserveInPlace(file.fd, bytes.size()); !refused.isEmpty())
        return failed(refused);
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

WriteResult writeWholeFile(const QString &path, const std::function<bool(QIODevice &)> &write,
                           SpecialFiles special)
{
    const WriteSignalsHeld held;
    const Target target = resolve(path);
    if (!target.error.isEmpty())
        return failed(target.error);
    switch (target.kind) {
    case Kind::PassThrough:
        if (special == SpecialFiles::Refuse)
            return failed(writereason::notRegular());
        return writeThrough(target.path, write);
    case Kind::Folder:
        return failed(writereason::isFolder());
    case Kind::Other:
        return failed(writereason::notRegular());
    case Kind::Regular:
        if (!QFileInfo(target.path).permissions().testFlag(QFileDevice::WriteOwner))
            return failed(writereason::readOnly());
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

WriteResult writeWholeFile(const QString &path, const QByteArray &bytes, SpecialFiles special)
{
    return writeWholeFile(path, [&bytes](QIODevice &file) { return writeFully(file, bytes); }, special);
}

bool canCreateFileIn(const QString &folder)
{
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".tessiva-XXXXXX")));
    return !folder.isEmpty() && probe.open();
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
