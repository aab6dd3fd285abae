#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <functional>

class QIODevice;

// The outcome of writing a file: ok, or the system's reason why not.
struct WriteResult
{
    bool ok = false;
    QString error;
};

// The one way the program writes a whole file.
// - The bytes go to a temporary file beside `path` that replaces it only
//   once every byte is on disk, so a failure at any point leaves an
//   existing file as it was.
// - Where no temporary file can be made (a folder the user may not write
//   into) an existing file the user may write is written in place.
// - A read-only file is refused, whoever runs the program, as Windows
//   refuses it; a replaced file keeps its permissions.
// `write` returns false when a write fell short.
WriteResult writeWholeFile(const QString &path, const std::function<bool(QIODevice &)> &write);
WriteResult writeWholeFile(const QString &path, const QByteArray &bytes);

// Writes all of `bytes` to `device`, going on after a short write, so that
// a failure leaves the device's error string with the system's reason.
bool writeFully(QIODevice &device, QByteArrayView bytes);
