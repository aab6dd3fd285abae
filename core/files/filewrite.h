#pragma once

#include "core/base/result.h"
#include "writeerror.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <functional>

class QIODevice;

// The outcome of writing a file: passed, or refused with the reason why.
using WriteResult = Result<WriteError>;

// The reason a write failed, or no failure where it passed.
inline WriteError reasonOf(const WriteResult &result) { return result.passed() ? WriteError() : result.why(); }

// The one way the program writes a whole file. It is all or nothing: a
// failure at any point leaves an existing file as it was, and is reported.
// - A symbolic link is followed as the system follows it (a relative target
//   from the folder the link really lies in); the file it ends at is the
//   one written.
// - A regular file (or a new one) is written to a temporary file beside it
//   that replaces it only once every byte is checked to be on disk. The
//   replaced file keeps its permissions and, where the system lets us, its
//   owner.
// - Where no temporary file can be made (a folder the user may not write
//   into), an existing file the user may write is rewritten in place: the
//   bytes are made first, the room is reserved before the file is touched,
//   a second writer waits for the first, and a failure puts the old bytes
//   back.
// - A FIFO or a character device is written through, never replaced (or,
//   with SpecialFiles::Refuse, refused); any other kind of file (a folder,
//   a block device, a socket) is refused. A FIFO that no process reads is
//   refused at once: the write never waits for a reader.
// - Where no temporary file can be made beside it and the file system
//   cannot promise the room to rewrite the file in place (copy-on-write
//   file systems), the write is refused and the file left alone.
// - A reader that leaves a FIFO, or a file size limit, fails the write with
//   its reason; neither signal reaches the program.
// - A read-only file is refused, whoever runs the program, as Windows
//   refuses it.
// `write` returns false when a write fell short.
enum class SpecialFiles { WriteThrough, Refuse };
WriteResult writeWholeFile(const QString &path, const std::function<bool(QIODevice &)> &write,
                           SpecialFiles special = SpecialFiles::WriteThrough);
WriteResult writeWholeFile(const QString &path, const QByteArray &bytes,
                           SpecialFiles special = SpecialFiles::WriteThrough);

// Whether a new file can be made in `folder`: a file is made there and
// taken away again, as only that says what the system allows (rights,
// access lists, a read-only file system).
bool canCreateFileIn(const QString &folder);

// Writes all of `bytes` to `device`, going on after a short write, so that
// a failure leaves the device's error string with the system's reason.
bool writeFully(QIODevice &device, QByteArrayView bytes);
