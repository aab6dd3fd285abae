#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

class QIODevice;

// The outcome of writing a file: ok, or the reason it failed.
struct WriteResult
{
    bool ok = false;
    QString error;
};

// Writes the whole content of `path` with `write`, which returns false when
// a write fell short. The bytes go to a temporary file beside `path` that
// replaces it only once every byte is on disk, so a failure at any point
// leaves an existing file as it was.
WriteResult writeWholeFile(const QString &path, const std::function<bool(QIODevice &)> &write);
WriteResult writeWholeFile(const QString &path, const QByteArray &bytes);
