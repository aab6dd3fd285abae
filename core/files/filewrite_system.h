#pragma once

#include <chrono>

#include "filewrite.h"

#include <QString>

#include <functional>
#include <memory>
#include <optional>

class QDeadlineTimer;
class QFile;
class QFileDevice;
class QIODevice;
class QSaveFile;

// What the safe write does differently on each system: one file for each
// (filewrite_unix.cpp, filewrite_win.cpp), chosen by the build. Only
// filewrite.cpp uses it, and FileLock the lock it shares with the rewrite.
namespace filewrite_system {

inline WriteResult failed(WriteError error) { return error; }
inline WriteResult failed(WriteFailure failure) { return WriteError{failure, 0}; }
// A failure the toolkit reported, with the system's number for it.
inline WriteResult failedNow() { return failed(WriteError::system(lastSystemError())); }

// What a path names once its links are followed.
enum class Kind {
    Missing, // nothing there yet: a new file
    Regular, // replaced through a temporary file, or rewritten in place
    PassThrough, // a FIFO or character device: written through
    Folder,
    Other, // a block device, a socket: never written
};

struct Target
{
    QString path; // the file the links end at
    Kind kind = Kind::Missing;
    WriteError error; // set when the links cannot be followed
    // The replaced file's mode and owner, where the system has them.
    bool haveOwner = false;
    unsigned mode = 0;
    unsigned owner = 0;
    unsigned group = 0;
    // The file that was looked at, so that the one written is known to be it.
    unsigned long long device = 0;
    unsigned long long inode = 0;
};

// How many links a path may go through before it is taken for a loop, as
// Linux's own limit.
constexpr int kMaxLinks = 40;

// Follows the links of `given` as the system does, and says what it ends at.
Target resolve(const QString &given);

// Holds back, for its lifetime, the signals a write can raise (a reader
// that left, a file size limit), so that they fail the write with its
// reason instead of ending the program.
class WriteSignalsHeld
{
public:
    WriteSignalsHeld();
    ~WriteSignalsHeld();
    WriteSignalsHeld(const WriteSignalsHeld &) = delete;
    WriteSignalsHeld &operator=(const WriteSignalsHeld &) = delete;

private:
    struct State;
    std::unique_ptr<State> m_state;
};

// Writes the whole content to an open file and closes it, with the reason
// of the first failure (filewrite.cpp, for both systems).
WriteResult writeAndClose(QFile &file, const std::function<bool(QIODevice &)> &write);

// Writes a FIFO or a device through, never waiting for a reader.
WriteResult writeThrough(const QString &path, const std::function<bool(QIODevice &)> &write);

// Rewrites an existing file in place, for a folder that takes no temporary
// file: nothing is touched until the room is known to be there, a second
// writer waits a few seconds at most, a file that is no longer the one
// looked at (a link swapped in) is left alone, and a failure puts the old
// bytes back.
WriteResult rewriteInPlace(const Target &target, const QByteArray &bytes);

// Unix: takes a file's exclusive lock (flock), waiting for other holders
// as long as the file keeps changing: `wait` is how long it may stay as it
// is while another holds it (a crowd of writers, each rewriting it in
// turn, changes it every time the lock changes hands); the reason when it
// cannot. The in-place rewrite and FileLock take the same lock.
WriteError lockWithin(int fd, std::chrono::milliseconds wait);

// Keeps the replaced file's mode and owner on the temporary file that
// replaces it, and makes sure its bytes are on the disk; the reason when not.
WriteError finish(QFileDevice &file, const Target &target);

// Puts a finished temporary file in the place of `target` in one step; the
// reason when it cannot.
WriteError replaceWith(const QString &temporary, const QString &target);

// The safe write through a temporary file that has no name while it is
// written (Linux's O_TMPFILE), so that a kill leaves nothing behind; it
// gets a short name beside `target` only once it is whole, and is renamed
// over it at once. Nothing where the file system has no unnamed files.
std::optional<WriteResult> writeUnnamed(const Target &target, const std::function<bool(QIODevice &)> &write,
                                        const QString &shortName);

} // namespace filewrite_system
