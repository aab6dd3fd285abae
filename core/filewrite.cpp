#include "filewrite.h"

#include <QFileInfo>
#include <QSaveFile>

WriteResult writeWholeFile(const QString &path, const std::function<bool(QIODevice &)> &write)
{
    const QFileInfo existing(path);
    const bool replacing = existing.isFile();
    const QFileDevice::Permissions permissions = replacing ? existing.permissions() : QFileDevice::Permissions();
    if (replacing && !permissions.testFlag(QFileDevice::WriteOwner))
        return {false, QStringLiteral("The file is read-only")};

    QSaveFile file(path);
    file.setDirectWriteFallback(replacing);
    if (!file.open(QIODevice::WriteOnly))
        return {false, file.errorString()};
    if (!write(file)) {
        const QString error = file.errorString();
        file.cancelWriting();
        return {false, error};
    }
    if (!file.commit())
        return {false, file.errorString()};
    if (replacing && QFileInfo(path).permissions() != permissions)
        QFile::setPermissions(path, permissions);
    return {true, QString()};
}

WriteResult writeWholeFile(const QString &path, const QByteArray &bytes)
{
    return writeWholeFile(path, [&bytes](QIODevice &file) { return writeFully(file, bytes); });
}

bool writeFully(QIODevice &device, QByteArrayView bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const qint64 n = device.write(bytes.data() + done, bytes.size() - done);
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}
