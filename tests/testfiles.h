#pragma once

#include <QDir>
#include <QFile>
#include <QFileInfo>

// Whole files, as the tests read and make them.
namespace testfiles {

inline QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

// Writes `bytes` as the whole file, making its folder first.
inline bool writeAll(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

} // namespace testfiles
