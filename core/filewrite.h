#pragma once

#include <QByteArray>
#include <QString>

// The outcome of writing a file: ok, or the reason it failed.
struct WriteResult
{
    bool ok = false;
    QString error;
};

// Writes `bytes` as the whole content of `path`. The bytes go to a temporary
// file beside it that replaces `path` only once every byte is on disk, so a
// failure at any point leaves an existing file as it was.
WriteResult writeWholeFile(const QString &path, const QByteArray &bytes);
