#include "filelock.h"

#include "filewrite.h"

#include <QDeadlineTimer>
#include <QLockFile>

// Windows locks a file's bytes against every other handle, this process's
// own write among them: only the lock file beside it is taken.
struct FileLock::State
{
    std::unique_ptr<QLockFile> beside;
};

FileLock::FileLock(const QString &path, std::chrono::milliseconds wait)
    : m_state(std::make_unique<State>())
{
    m_state->beside = std::make_unique<QLockFile>(path + QStringLiteral(".lock"));
    m_state->beside->setStaleLockTime(0);
    if (!m_state->beside->tryLock(int(wait.count())) && m_state->beside->error() == QLockFile::LockFailedError)
        m_error = writereason::locked();
}

FileLock::~FileLock() = default;

bool FileLock::heldHere(unsigned long long, unsigned long long) { return false; }
