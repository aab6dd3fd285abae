#include "filelock.h"

#include "filewrite.h"
#include "filewrite_system.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QHash>
#include <QLockFile>
#include <QMutex>

#include <cerrno>
#include <cstring>
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
    std::unique_ptr<QLockFile> beside;
    int fd = -1;
    FileId id;
};

FileLock::FileLock(const QString &path, std::chrono::milliseconds wait)
    : m_state(std::make_unique<State>())
{
    const QDeadlineTimer deadline(wait);
    if (lockBeside(path, deadline))
        lockTheFile(QFile::encodeName(path), deadline);
}

// The lock file beside: false when another process holds it. A folder that
// takes no new file leaves the lock on the file alone.
bool FileLock::lockBeside(const QString &path, const QDeadlineTimer &deadline)
{
    m_state->beside = std::make_unique<QLockFile>(path + QStringLiteral(".lock"));
    m_state->beside->setStaleLockTime(0); // stale only when its process is gone
    if (m_state->beside->tryLock(int(deadline.remainingTime())))
        return true;
    if (m_state->beside->error() == QLockFile::LockFailedError) {
        m_error = writereason::locked();
        return false;
    }
    m_state->beside.reset();
    return true;
}

// The lock on the file itself, where it is a regular file: on the file that
// lies under the name once the lock is held.
void FileLock::lockTheFile(const QByteArray &name, const QDeadlineTimer &deadline)
{
    for (;;) {
        // Never waits on a FIFO's writer; only a regular file is locked.
        const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        struct stat opened = {};
        if (fd < 0 || ::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode)) {
            const int error = fd < 0 ? errno : 0;
            if (fd >= 0)
                ::close(fd);
            if (!m_state->beside && error != ENOENT)
                m_error = error ? QString::fromLocal8Bit(std::strerror(error)) : writereason::notRegular();
            return;
        }
        if (const QString refused = filewrite_system::lockWithin(fd, deadline); !refused.isEmpty()) {
            m_error = refused;
            ::close(fd);
            m_state->beside.reset();
            return;
        }
        // A file replaced while we waited is another file: lock that one.
        struct stat now = {};
        if (::stat(name.constData(), &now) == 0 && now.st_dev == opened.st_dev && now.st_ino == opened.st_ino) {
            m_state->fd = fd;
            m_state->id = {opened.st_dev, opened.st_ino};
            const QMutexLocker locker(&heldMutex);
            ++heldFiles()[m_state->id];
            return;
        }
        ::close(fd);
    }
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
}

bool FileLock::heldHere(unsigned long long device, unsigned long long inode)
{
    const QMutexLocker locker(&heldMutex);
    return heldFiles().contains({device, inode});
}
