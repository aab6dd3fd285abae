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
        target.error = {WriteFailure::StreamName, 0};
        return target;
    }
    QFileInfo info(given);
    for (int depth = 0; info.isSymLink(); ++depth) {
        if (depth == kMaxLinks) {
            target.error = {WriteFailure::TooManyLinks, 0};
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
        return failedNow();
    return writeAndClose(file, write);
}

WriteResult rewriteInPlace(const Target &target, const QByteArray &bytes)
{
    QFile file(target.path);
    if (!file.open(QIODevice::ReadWrite | QIODevice::Unbuffered))
        return failedNow();
    const QByteArray old = file.readAll();
    if (file.seek(0) && writeFully(file, bytes) && file.resize(bytes.size()) && file.flush())
        return {};
    const WriteResult written = failedNow();
    file.seek(0);
    writeFully(file, old);
    file.resize(old.size());
    return written;
}

WriteError replaceWith(const QString &temporary, const QString &target)
{
    const std::wstring from = QDir::toNativeSeparators(temporary).toStdWString();
    const std::wstring to = QDir::toNativeSeparators(target).toStdWString();
    if (!MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return WriteError::system(int(GetLastError()));
    return {};
}

// Windows has no unnamed files.
std::optional<WriteResult> writeUnnamed(const Target &, const std::function<bool(QIODevice &)> &, const QString &)
{
    return std::nullopt;
}

WriteError finish(QFileDevice &file, const Target &)
{
    if (!file.flush())
        return WriteError::system(lastSystemError());
    return {};
}

} // namespace filewrite_system

int lastSystemError()
{
    const DWORD error = ::GetLastError();
    return error != 0 ? int(error) : ERROR_GEN_FAILURE;
}
