#include "filewrite_system.h"

#include "filelock.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QSaveFile>

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

namespace filewrite_system {
namespace {

// The folder part and the name of a path, as text: "a/b" gives "a" and "b".
// Nothing is folded: what ".." means depends on the links on the way.
std::pair<QByteArray, QByteArray> splitPath(const QByteArray &path)
{
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0)
        return {QByteArrayLiteral("."), path};
    return {slash == 0 ? QByteArrayLiteral("/") : path.left(slash), path.mid(slash + 1)};
}

} // namespace

// Follows the links as the system does: the folder a name lies in is the
// folder its path really reaches, links and ".." taken in order, and a
// link's relative target is taken from the folder the link really lies in.
namespace {
// Follows the links of `given` as the system does, into target.path. False
// when there is nothing more to say: target.error tells why, or the path
// cannot be reached and the write will say why.
bool followLinks(const QString &given, Target &target)
{
    struct stat st = {};
    QByteArray path = QFile::encodeName(given);
    for (int depth = 0;; ++depth) {
        const auto [folder, name] = splitPath(path);
        if (name.isEmpty() || name == "." || name == "..") {
            // A path that names a folder by its form.
            target.path = QFile::decodeName(path);
            return true;
        }
        char real[PATH_MAX];
        if (!::realpath(folder.constData(), real)) {
            target.path = QFile::decodeName(path);
            return false;
        }
        const QByteArray realFolder(real);
        path = (realFolder == "/" ? QByteArray() : realFolder) + '/' + name;
        target.path = QFile::decodeName(path);
        if (::lstat(path.constData(), &st) != 0 || !S_ISLNK(st.st_mode))
            return true;
        if (depth == kMaxLinks) {
            target.error = {WriteFailure::TooManyLinks, 0};
            return false;
        }
        char link[PATH_MAX];
        const ssize_t n = ::readlink(path.constData(), link, sizeof link);
        if (n < 0 || n == ssize_t(sizeof link)) {
            target.error = WriteError::system(n < 0 ? errno : ENAMETOOLONG);
            return false;
        }
        const QByteArray to(link, n);
        path = to.startsWith('/') ? to : realFolder + '/' + to;
    }
}

// What lies at target.path: its kind, mode, owner and identity. Nothing
// for a file that is missing or cannot be reached (the write says why).
void describe(Target &target)
{
    struct stat st = {};
    if (::stat(QFile::encodeName(target.path).constData(), &st) != 0)
        return;
    target.haveOwner = true;
    target.mode = st.st_mode & 07777;
    target.owner = st.st_uid;
    target.group = st.st_gid;
    target.device = st.st_dev;
    target.inode = st.st_ino;
    const mode_t type = st.st_mode & S_IFMT;
    target.kind = type == S_IFREG              ? Kind::Regular
        : (type == S_IFIFO || type == S_IFCHR) ? Kind::PassThrough
        : type == S_IFDIR                      ? Kind::Folder
                                               : Kind::Other;
}
} // namespace

Target resolve(const QString &given)
{
    Target target;
    if (followLinks(given, target))
        describe(target);
    return target;
}

struct WriteSignalsHeld::State
{
    sigset_t held;
    sigset_t before;
};

// The signals are held for the calling thread; those the write raised are
// taken back before they are let through again. A signal the caller
// already held stays the caller's.
WriteSignalsHeld::WriteSignalsHeld()
    : m_state(std::make_unique<State>())
{
    sigemptyset(&m_state->held);
    sigaddset(&m_state->held, SIGPIPE);
    sigaddset(&m_state->held, SIGXFSZ);
    pthread_sigmask(SIG_BLOCK, &m_state->held, &m_state->before);
    for (int signal : {SIGPIPE, SIGXFSZ}) {
        if (sigismember(&m_state->before, signal))
            sigdelset(&m_state->held, signal);
    }
}

WriteSignalsHeld::~WriteSignalsHeld()
{
    const timespec now = {0, 0};
    while (sigtimedwait(&m_state->held, nullptr, &now) > 0) { }
    pthread_sigmask(SIG_SETMASK, &m_state->before, nullptr);
}

// Opens a FIFO or a device for writing without waiting for a reader: a
// FIFO that nobody reads is refused, as the write would wait for ever.
WriteResult writeThrough(const QString &path, const std::function<bool(QIODevice &)> &write)
{
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        // ENXIO is a FIFO's missing reader, but a device's own word (a
        // terminal that is no process's).
        const int error = errno;
        struct stat st = {};
        const bool fifo = ::stat(name.constData(), &st) == 0 && S_ISFIFO(st.st_mode);
        return error == ENXIO && fifo ? failed(WriteFailure::NoReader) : failed(WriteError::system(error));
    }
    // Once a reader is there, each write waits for it as usual.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    QFile file;
    if (!file.open(fd, QIODevice::WriteOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle)) {
        const WriteResult opened = failedNow();
        ::close(fd);
        return opened;
    }
    return writeAndClose(file, write);
}

namespace {
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
WriteError reserveInPlace(int fd, qsizetype size)
{
    struct statfs fs = {};
    if (::fstatfs(fd, &fs) != 0)
        return WriteError::system(errno);
    switch (static_cast<unsigned long>(fs.f_type)) {
    case EXT4_SUPER_MAGIC: // ext2 and ext3 too
    case XFS_SUPER_MAGIC:
    case TMPFS_MAGIC:
    case MSDOS_SUPER_MAGIC: break;
    default: return {WriteFailure::NoRoomInPlace, 0};
    }
    if (size == 0)
        return {};
    // Blocks shared with another file (a reflinked copy) would be copied
    // on the first write.
    if (::fallocate(fd, FALLOC_FL_UNSHARE_RANGE | FALLOC_FL_KEEP_SIZE, 0, off_t(size)) != 0 && errno != EOPNOTSUPP
        && errno != EINVAL)
        return WriteError::system(errno);
    if (::fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, off_t(size)) != 0)
        return WriteError::system(errno);
    return {};
}
#endif

} // namespace

WriteError lockWithin(int fd, std::chrono::milliseconds wait)
{
    QDeadlineTimer deadline(wait);
    struct stat seen = {};
    ::fstat(fd, &seen);
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EINTR)
            continue;
        if (errno != EWOULDBLOCK)
            return WriteError::system(errno);
        struct stat now = {};
        if (::fstat(fd, &now) == 0
            && (now.st_mtim.tv_sec != seen.st_mtim.tv_sec || now.st_mtim.tv_nsec != seen.st_mtim.tv_nsec
                || now.st_size != seen.st_size)) {
            seen = now; // written meanwhile: another holder went on
            deadline = QDeadlineTimer(wait);
        } else if (deadline.hasExpired()) {
            return {WriteFailure::Locked, 0};
        }
        ::usleep(FileLock::kLockPollMs * 1000);
    }
    return {};
}

// Rewrites an existing file in place, for a folder that takes no temporary
// file. Nothing is touched until the room is reserved, a second writer of
// the file waits, and a failure puts the old bytes back.
WriteResult rewriteInPlace(const Target &target, const QByteArray &bytes)
{
    // Never through a link: the links were followed when the file was
    // looked at, and a link swapped in since would lead elsewhere.
    const Descriptor file{::open(QFile::encodeName(target.path).constData(), O_RDWR | O_NOFOLLOW | O_CLOEXEC)};
    if (file.fd < 0)
        return errno == ELOOP ? failed(WriteFailure::Replaced) : failed(WriteError::system(errno));
    struct stat st = {};
    if (::fstat(file.fd, &st) != 0)
        return failed(WriteError::system(errno));
    if (st.st_dev != target.device || st.st_ino != target.inode)
        return failed(WriteFailure::Replaced);
    if (!FileLock::heldHere(st.st_dev, st.st_ino)) {
        if (const WriteError refused = lockWithin(file.fd, FileLock::kWait); refused.failed())
            return failed(refused);
    }
    QByteArray old(qsizetype(st.st_size), Qt::Uninitialized);
    if (const int error = readAt(file.fd, old))
        return failed(WriteError::system(error));
#ifdef __linux__
    if (const WriteError refused = reserveInPlace(file.fd, bytes.size()); refused.failed())
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
        return failed(WriteError::system(error));
    }
    return {};
}

WriteError replaceWith(const QString &temporary, const QString &target)
{
    if (::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(target).constData()) != 0)
        return WriteError::system(errno);
    return {};
}

std::optional<WriteResult> writeUnnamed(const Target &target, const std::function<bool(QIODevice &)> &write,
                                        const QString &shortName)
{
#ifdef O_TMPFILE
    const auto [folder, name] = splitPath(QFile::encodeName(target.path));
    const int fd = ::open(folder.constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    if (fd < 0)
        return std::nullopt; // no unnamed files here
    QFile file;
    if (!file.open(fd, QIODevice::WriteOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle)) {
        const WriteResult opened = failedNow();
        ::close(fd);
        return opened;
    }
    if (!write(file))
        return failedNow();
    if (const WriteError error = finish(file, target); error.failed())
        return failed(error);
    // Whole now: a name beside the file (a short one, which fits however
    // long the file's own is), then the file's own.
    const QByteArray unnamed = "/proc/self/fd/" + QByteArray::number(fd);
    const QByteArray temporary = QFile::encodeName(shortName);
    for (int attempt = 0;; ++attempt) {
        const QByteArray named = temporary + QByteArray::number(quint64(::getpid()) * 100 + attempt);
        if (::linkat(AT_FDCWD, unnamed.constData(), AT_FDCWD, named.constData(), AT_SYMLINK_FOLLOW) == 0) {
            if (const WriteError error = replaceWith(QFile::decodeName(named), target.path); error.failed()) {
                ::unlink(named.constData());
                return failed(error);
            }
            return WriteResult();
        }
        if (errno != EEXIST || attempt == 99)
            return failed(WriteError::system(errno));
    }
#else
    Q_UNUSED(target);
    Q_UNUSED(write);
    Q_UNUSED(shortName);
    return std::nullopt;
#endif
}

WriteError finish(QFileDevice &file, const Target &target)
{
    const int fd = file.handle();
    if (target.kind == Kind::Regular && target.haveOwner) {
        // A file system that keeps no modes (FAT through FUSE) cannot set
        // one: that is no failure.
        if (::fchmod(fd, mode_t(target.mode)) != 0 && errno != ENOSYS && errno != EOPNOTSUPP)
            return WriteError::system(errno);
        // Only root may give a file away; anyone else keeps it as theirs.
        if ((target.owner != ::geteuid() || target.group != ::getegid())
            && ::fchown(fd, uid_t(target.owner), gid_t(target.group)) != 0 && errno != EPERM)
            return WriteError::system(errno);
    } else if (target.kind == Kind::Missing) {
        // A new file gets the mode any new file gets (a temporary file is
        // made for its owner alone).
        const mode_t mask = ::umask(0);
        ::umask(mask);
        if (::fchmod(fd, 0666 & ~mask) != 0 && errno != ENOSYS && errno != EOPNOTSUPP)
            return WriteError::system(errno);
    }
    if (const int error = syncToDisk(fd))
        return WriteError::system(error);
    return {};
}

} // namespace filewrite_system

int lastSystemError() { return errno != 0 ? errno : EIO; }
