#pragma once

#include "writeerror.h"

#include <QString>

class QByteArray;
class QDeadlineTimer;

#include <chrono>
#include <memory>

// An exclusive lock on one file that every process sees, whatever its
// environment: the system's lock on a lock file beside it ("NAME.lock")
// where its folder takes one, and, where the file exists, a lock on the file
// itself, which the in-place rewrite of the safe write honours too. The
// system ends a lock with the process that holds it, so a crash, a power cut
// or another machine leaves nothing that blocks the next lock. `wait` is
// how long one holder may keep the lock before this one gives up, and says
// why; it starts again whenever the lock changes hands or the file
// changes. A holder on this machine that is at work (running, or waiting
// on its disk) is waited for longer, up to kPatience: on a slow or busy
// disk one write and its flush to the disk can take longer than `wait`.
// One that sleeps, is stopped or is gone is waited for `wait` only.
class FileLock
{
public:
    // How often a lock held elsewhere is tried again.
    static constexpr int kLockPollMs = 10;
    // How long a writer waits for another holder of a file's lock before it
    // gives up: the settings' save, and the in-place rewrite of a file.
    static constexpr std::chrono::milliseconds kWait{5000};
    // The longest one live holder is waited for: a close that waits longer
    // than this for one save is a close the desktop may end.
    static constexpr std::chrono::milliseconds kPatience{60000};

    FileLock(const QString &path, std::chrono::milliseconds wait);
    ~FileLock();
    FileLock(const FileLock &) = delete;
    FileLock &operator=(const FileLock &) = delete;

    bool held() const { return !m_error.failed(); }
    WriteError error() const { return m_error; }

    // Whether this process holds a FileLock on the file with this device
    // and inode: its own in-place rewrite then takes no second lock.
    static bool heldHere(unsigned long long device, unsigned long long inode);

private:
    // The steps of a lock, and its end.
    bool lockBeside(const QString &path, std::chrono::milliseconds wait);
    void lockTheFile(const QByteArray &name, std::chrono::milliseconds wait);
    void release();

    struct State;
    std::unique_ptr<State> m_state;
    WriteError m_error;
};
