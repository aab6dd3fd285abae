#include "filewrite_system.h"

#include <QDir>
#include <QFileInfo>

#include <QSaveFile>
#include <string>
#include <windows.h>

namespace filewrite_system {
namespace {
// Whether Windows takes a part of the path for the name of a stream of
// another file: a ":" past the drive ("C:\JOBS\x:y.BAT").
bool namesAStream(const QString &path)
{
    const qsizetype start = path.startsWith(QLatin1String("\\\\?\\")) ? 4 : 0;
    return path.indexOf(u':', start + 2) >= 0;
}
} // namespace

Target resolve(const QString &given)
{
    Target target;
    target.path = given;
    if (namesAStream(given)) {
        target.error = writereason::streamName();
        return target;
    }
    QFileInfo info(given);
    for (int depth = 0; info.isSymLink(); ++depth) {
        if (depth == kMaxLinks) {
            target.error = writereason::tooManyLinks();
            return target;
        }
        target.path = info.symLinkTarget();
        info.setFile(target.path);
    }
    target.kind = info.isDir() ? Kind::Folder
        : info.isFile()        ? Kind::Regular
        : info.exists()        ? Kind::Other
                               : Kind::Missing;
    return target;
}

// Windows raises no signal for a write.
struct WriteSignalsHeld::State
{ };
WriteSignalsHeld::WriteSignalsHeld() = default;
WriteSignalsHeld::~WriteSignalsHeld() = default;

WriteResult writeThrough(const QString &path, const std::function<bool(QIODevice &)> &write)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return failed(file.errorString());
    return writeAndClose(file, write);
}

WriteResult rewriteInPlace(const Target &target, const QByteArray &bytes)
{
    QFile file(target.path);
    if (!file.open(QIODevice::ReadWrite | QIODevice::Unbuffered))
        return failed(file.errorString());
    const QByteArray old = file.readAll();
    if (file.seek(0) && writeFully(file, bytes) && file.resize(bytes.size()) && file.flush())
        return {true, QString()};
    const QString error = file.errorString();
    file.seek(0);
    writeFully(file, old);
    file.resize(old.size());
    return failed(error);
}

QString replaceWith(const QString &temporary, const QString &target)
{
    const std::wstring from = QDir::toNativeSeparators(temporary).toStdWString();
    const std::wstring to = QDir::toNativeSeparators(target).toStdWString();
    if (!MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return qt_error_string(int(GetLastError()));
    return QString();
}

// Windows has no unnamed files.
std::optional<WriteResult> writeUnnamed(const Target &, const std::function<bool(QIODevice &)> &, const QString &)
{
    return std::nullopt;
}

QString finish(QFileDevice &file, const Target &)
{
    if (!file.flush())
        return file.errorString();
    return QString();
}

} // namespace filewrite_system
