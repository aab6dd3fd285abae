#include "filewrite.h"

#include <QSaveFile>

WriteResult writeWholeFile(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {false, file.errorString()};
    if (file.write(bytes) != bytes.size()) {
        const QString error = file.errorString();
        file.cancelWriting();
        return {false, error};
    }
    if (!file.commit())
        return {false, file.errorString()};
    return {true, QString()};
}
