#include "filewrite.h"

#include <QSaveFile>

WriteResult writeWholeFile(const QString &path, const std::function<bool(QIODevice &)> &write)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {false, file.errorString()};
    if (!write(file)) {
        const QString error = file.errorString();
        file.cancelWriting();
        return {false, error};
    }
    if (!file.commit())
        return {false, file.errorString()};
    return {true, QString()};
}

WriteResult writeWholeFile(const QString &path, const QByteArray &bytes)
{
    return writeWholeFile(path, [&bytes](QIODevice &file) { return file.write(bytes) == bytes.size(); });
}
