#include "filelock.h"

#include "filewrite.h"
#include "filewrite_system.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QHash>
#include <QMutex>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
using FileId = std::pair<unsigned long long, unsigned long long>;

// The files this process holds locked, and how many times each.
QMutex heldMutex;
QHash<FileId, int> &heldFiles()
{
    static QHash<FileId, int> files;
    return files;
}
} // namespace

struct FileLock::State
{
    int beside = -1; // the lock file beside, locked
    QByteArray besideName;
    int fd = -1; // the file itself, locked
    FileId id;
};

FileLock::FileLock(const QString &path, std::chrono::milliseconds wait)
    : m_state(std::make_unique<State>())
{
    if (lockBeside(path, wait))
        lockTheFile(QFile::encodeName(path), wait);
}

namespace {
bool sameFile(const struct stat &a, const struct stat &b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

QByteArray hostName()
{
    char host[256] = {};
    ::gethostname(host, sizeof host - 1);
    return QByteArray(host);
}

// What a holder writes into the lock file it holds: its process and host.
QByteArray holderWords() { return QByteArray::number(qint64(::getpid())) + '\n' + hostName() + '\n'; }

// Whether the holder named in a held lock file is a process of this
// machine that is at work: running, or waiting on its disk (a long flush to
// a slow or busy disk). One that sleeps (hung on something else), is
// stopped (Ctrl+Z, a debugger) or is gone, or one of another host, is
// waited for no longer than any other.
bool holderAtWork(int fd)
{
    char words[300] = {};
    const ssize_t n = ::pread(fd, words, sizeof words - 1, 0);
    if (n <= 0)
        return false;
    const QList<QByteArray> lines = QByteArray(words, int(n)).split('\n');
    bool ok = false;
    const qint64 pid = lines.value(0).toLongLong(&ok);
    if (!ok || pid <= 0 || lines.value(1) != hostName())
        return false;
    // Linux says what the process does: R runs, D waits on its disk.
    // Elsewhere nothing tells, and the holder is waited for as any other.
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return false;
    const QByteArray line = stat.readLine();
    const qsizetype after = line.lastIndexOf(')');
    const char state = after >= 0 && after + 2 < line.size() ? line.at(after + 2) : '?';
    return state == 'R' || state == 'D';
}
} // namespace

// The lock file beside: the system's lock on it (flock), which ends with
// the process that holds it, whatever the file holds or whoever made it. A
// lock file left by a crash, empty, garbled or written on another host is
// an unlocked file like any other. Its holder takes it away before letting
// go, so that the next holder makes a new one; a waiter that locked a file
// taken away meanwhile tries again. The time given is how long one holder
// may keep the lock: it starts again whenever the lock changes hands, so
// a crowd of saves taking turns never times one out. False when another
// process holds it that long. A folder that takes no new file leaves the
// lock on the file alone.
bool FileLock::lockBeside(const QString &path, std::chrono::milliseconds wait)
{
    const QByteArray name = QFile::encodeName(path + QStringLiteral(".lock"));
    QDeadlineTimer deadline(wait);
    QDeadlineTimer patience(kPatience);
    struct stat holder = {};
    for (;;) {
        int fd = ::open(name.constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd < 0 && errno == EACCES) // another user's lock file: a lock needs no write
            fd = ::open(name.constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0) {
            if (errno == EACCES || errno == EROFS || errno == EPERM || errno == ENOENT)
                return true;
            m_error = WriteError::system(errno);
            return false;
        }
        struct stat locked = {};
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            struct stat now = {};
            if (::fstat(fd, &locked) == 0 && ::stat(name.constData(), &now) == 0 && sameFile(locked, now)) {
                m_state->beside = fd;
                m_state->besideName = name;
                // Who holds it, for those who wait: a lock file of another
                // user's, opened to read, says nothing.
                const QByteArray words = holderWords();
                if (::ftruncate(fd, 0) == 0)
                    (void)!::pwrite(fd, words.constData(), size_t(words.size()), 0);
                return true;
            }
            ::close(fd); // taken away as it was locked: the next one
            continue;
        }
        const int error = errno;
        const bool fstated = ::fstat(fd, &locked) == 0;
        const bool atWork = holderAtWork(fd);
        ::close(fd);
        if (error != EWOULDBLOCK && error != EINTR) {
            m_error = WriteError::system(error);
            return false;
        }
        if (fstated && !sameFile(locked, holder)) {
            holder = locked; // another holder now
            deadline = QDeadlineTimer(wait);
            patience = QDeadlineTimer(kPatience);
        } else if (atWork && !patience.hasExpired()) {
            deadline = QDeadlineTimer(wait); // at work: its flush to the disk takes its time
        } else if (deadline.hasExpired()) {
            m_error = {WriteFailure::Locked, 0};
            return false;
        }
        ::usleep(kLockPollMs * 1000);
    }
}

// The lock on the file itself, where it is a regular file: on the file that
// lies under the name once the lock is held.
void FileLock::lockTheFile(const QByteArray &name, std::chrono::milliseconds wait)
{
    for (;;) {
        // Never waits on a FIFO's writer; only a regular file is locked.
        const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        struct stat opened = {};
        if (fd < 0 || ::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode)) {
            const int error = fd < 0 ? errno : 0;
            if (fd >= 0)
                ::close(fd);
            if (m_state->beside < 0 && error != ENOENT)
                m_error = error ? WriteError::system(error) : WriteError{WriteFailure::NotRegular, 0};
            return;
        }
        if (const WriteError refused = filewrite_system::lockWithin(fd, wait); refused.failed()) {
            m_error = refused;
            ::close(fd);
            release();
            return;
        }
        // A file replaced while we waited is another file: lock that one.
        struct stat now = {};
        if (::stat(name.constData(), &now) == 0 && sameFile(now, opened)) {
            m_state->fd = fd;
            m_state->id = {opened.st_dev, opened.st_ino};
            const QMutexLocker locker(&heldMutex);
            ++heldFiles()[m_state->id];
            return;
        }
        ::close(fd);
    }
}

// The lock file beside taken away, where it is still this lock's, then let go.
void FileLock::release()
{
    if (m_state->beside < 0)
        return;
    struct stat mine = {};
    struct stat now = {};
    if (::fstat(m_state->beside, &mine) == 0 && ::stat(m_state->besideName.constData(), &now) == 0
        && sameFile(mine, now))
        ::unlink(m_state->besideName.constData());
    ::close(m_state->beside);
    m_state->beside = -1;
}

FileLock::~FileLock()
{
    if (m_state->fd >= 0) {
        {
            const QMutexLocker locker(&heldMutex);
            if (--heldFiles()[m_state->id] == 0)
                heldFiles().remove(m_state->id);
        }
        ::close(m_state->fd); // drops the lock
    }
    release();
}

bool FileLock::heldHere(unsigned long long device, unsigned long long inode)
{
    const QMutexLocker locker(&heldMutex);
    return heldFiles().contains({device, inode});
}
