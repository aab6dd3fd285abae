#pragma once

#include <QString>

class QByteArray;
class QDeadlineTimer;

#include <chrono>
#include <memory>

// An exclusive lock on one file that every process sees, whatever its
// environment: a lock file beside it ("NAME.lock") where its folder takes
// one, and, where the file exists, a lock on the file itself, which the
// in-place rewrite of the safe write honours too. A lock that cannot be had
// within the time given is not taken, and says why.
class FileLock
{
public:
    FileLock(const QString &path, std::chrono::milliseconds wait);
    ~FileLock();
    FileLock(const FileLock &) = delete;
    FileLock &operator=(const FileLock &) = delete;

    bool held() const { return m_error.isEmpty(); }
    QString error() const { return m_error; }

    // Whether this process holds a FileLock on the file with this device
    // and inode: its own in-place rewrite then takes no second lock.
    static bool heldHere(unsigned long long device, unsigned long long inode);

private:
    // The two steps of a lock where the system locks files too (Unix).
    bool lockBeside(const QString &path, const QDeadlineTimer &deadline);
    void lockTheFile(const QByteArray &name, const QDeadlineTimer &deadline);

    struct State;
    std::unique_ptr<State> m_state;
    QString m_error;
};
