#include "filelock.h"

#include "filewrite.h"

#include <QDeadlineTimer>
#include <QThread>

#include <windows.h>

// Windows locks a file's bytes against every other handle, this process's
// own write among them: only the lock file beside it is taken. The system's
// lock on it (LockFileEx, on a byte far past what it holds) ends with the
// process that holds it, whatever the file holds; the file stays for the
// next lock. It holds a count of the locks taken, which each holder raises,
// so that a waiter sees the lock change hands.
namespace {
// The byte the lock is taken on, far past the count the file holds.
constexpr DWORD kLockedByte = 1u << 20;
} // namespace

struct FileLock::State
{
    HANDLE beside = INVALID_HANDLE_VALUE;
};

FileLock::FileLock(const QString &path, std::chrono::milliseconds wait)
    : m_state(std::make_unique<State>())
{
    lockBeside(path, wait);
}

bool FileLock::lockBeside(const QString &path, std::chrono::milliseconds wait)
{
    const std::wstring name = QString(path + QStringLiteral(".lock")).toStdWString();
    const HANDLE file = ::CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return true; // a folder that takes no file: no lock to take
    // The count of locks taken so far.
    const auto taken = [file] {
        quint64 count = 0;
        DWORD read = 0;
        OVERLAPPED start = {};
        return ::ReadFile(file, &count, sizeof count, &read, &start) && read == sizeof count ? count : 0;
    };
    QDeadlineTimer deadline(wait);
    quint64 seen = taken();
    for (;;) {
        OVERLAPPED lockedByte = {};
        lockedByte.Offset = kLockedByte;
        if (::LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &lockedByte)) {
            const quint64 count = taken() + 1;
            DWORD written = 0;
            OVERLAPPED start = {};
            ::WriteFile(file, &count, sizeof count, &written, &start);
            m_state->beside = file;
            return true;
        }
        if (::GetLastError() != ERROR_LOCK_VIOLATION) {
            ::CloseHandle(file);
            m_error = {WriteFailure::Locked, 0};
            return false;
        }
        if (const quint64 now = taken(); now != seen) {
            seen = now; // another holder now
            deadline = QDeadlineTimer(wait);
        } else if (deadline.hasExpired()) {
            ::CloseHandle(file);
            m_error = {WriteFailure::Locked, 0};
            return false;
        }
        QThread::msleep(kLockPollMs);
    }
}

void FileLock::lockTheFile(const QByteArray &, std::chrono::milliseconds) { }

void FileLock::release()
{
    if (m_state->beside == INVALID_HANDLE_VALUE)
        return;
    ::CloseHandle(m_state->beside); // drops the lock
    m_state->beside = INVALID_HANDLE_VALUE;
}

FileLock::~FileLock() { release(); }

bool FileLock::heldHere(unsigned long long, unsigned long long) { return false; }
