#include "filewrite.h"

#include "filewrite_system.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryFile>

#include <optional>

using namespace filewrite_system;

WriteResult filewrite_system::writeAndClose(QFile &file, const std::function<bool(QIODevice &)> &write)
{
    if (!write(file))
        return failedNow();
    file.close();
    if (file.error() != QFileDevice::NoError)
        return failedNow();
    return {};
}

namespace {
// The temporary file beside a file is named after it with ".XXXXXX": for a
// name near the longest a folder holds, that name would be too long.
bool temporaryNameTooLong(const QString &path)
{
    constexpr qsizetype kLongestName = 255;
    constexpr qsizetype kTemporarySuffix = 7; // ".XXXXXX"
    const QString name = QFileInfo(path).fileName();
    return QFile::encodeName(name).size() + kTemporarySuffix > kLongestName
        || name.size() + kTemporarySuffix > kLongestName;
}

// The names of the program's own temporary files in a folder: a short
// prefix (a file's own name may be too long for one made after it), then,
// for a file made with a name, six characters the toolkit picks.
QString temporaryPrefixIn(const QString &folder) { return QDir(folder).filePath(QStringLiteral(".tessiva-")); }
QString temporaryTemplateIn(const QString &folder) { return temporaryPrefixIn(folder) + QStringLiteral("XXXXXX"); }
QString folderOf(const Target &target) { return QFileInfo(target.path).path(); }

// The same all-or-nothing write as through QSaveFile, through a temporary
// file of a short name beside the file: an unnamed one where the file
// system has them, as QSaveFile's own, else one named from the start,
// which a kill leaves behind.
WriteResult writeBesideUnderAShortName(const Target &target, const std::function<bool(QIODevice &)> &write)
{
    if (std::optional<WriteResult> written = writeUnnamed(target, write, temporaryPrefixIn(folderOf(target))))
        return *written;
    QTemporaryFile file(temporaryTemplateIn(folderOf(target)));
    if (!file.open())
        return failedNow();
    file.close();
    QFile out(file.fileName());
    if (!out.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return failedNow();
    if (!write(out))
        return failedNow();
    if (const WriteError error = finish(out, target); error.failed())
        return failed(error);
    out.close();
    if (out.error() != QFileDevice::NoError)
        return failedNow();
    if (const WriteError error = replaceWith(file.fileName(), target.path); error.failed())
        return failed(error);
    file.setAutoRemove(false); // it is the file now
    return {};
}
} // namespace

namespace {
// Why a file of this kind is not written whole, or nothing.
WriteFailure refusedKind(const Target &target, SpecialFiles special)
{
    switch (target.kind) {
    case Kind::PassThrough: return special == SpecialFiles::Refuse ? WriteFailure::NotRegular : WriteFailure::None;
    case Kind::Folder: return WriteFailure::IsFolder;
    case Kind::Other: return WriteFailure::NotRegular;
    case Kind::Regular:
        if (!QFileInfo(target.path).permissions().testFlag(QFileDevice::WriteOwner))
            return WriteFailure::ReadOnly;
        return WriteFailure::None;
    case Kind::Missing: return WriteFailure::None;
    }
    return WriteFailure::None;
}

// Through a temporary file beside the file, renamed over it. Every write
// and the final flush are checked before the rename. Nothing when no
// temporary file can be made there.
std::optional<WriteResult> writeThroughTemporary(const Target &target, const std::function<bool(QIODevice &)> &write)
{
    QSaveFile file(target.path);
    file.setDirectWriteFallback(false);
    // Unbuffered, so that every write's failure is seen where it happens and
    // none is left for the commit to lose.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        if (target.kind != Kind::Regular)
            return failedNow();
        return std::nullopt;
    }
    if (!write(file)) {
        const WriteResult written = failedNow();
        file.cancelWriting();
        return written;
    }
    if (const WriteError error = finish(file, target); error.failed()) {
        file.cancelWriting();
        return failed(error);
    }
    if (!file.commit())
        return failedNow();
    return WriteResult();
}
} // namespace

WriteResult writeWholeFile(const QString &path, const std::function<bool(QIODevice &)> &write, SpecialFiles special)
{
    const WriteSignalsHeld held;
    const Target target = resolve(path);
    if (target.error.failed())
        return failed(target.error);
    if (const WriteFailure refused = refusedKind(target, special); refused != WriteFailure::None)
        return failed(refused);
    if (target.kind == Kind::PassThrough)
        return writeThrough(target.path, write);
    if (temporaryNameTooLong(target.path))
        return writeBesideUnderAShortName(target, write);
    if (std::optional<WriteResult> written = writeThroughTemporary(target, write))
        return *written;
    // No temporary file beside an existing file: the whole content is made
    // before the file is rewritten in place.
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (!write(buffer))
        return failedNow();
    return rewriteInPlace(target, buffer.data());
}

WriteResult writeWholeFile(const QString &path, const QByteArray &bytes, SpecialFiles special)
{
    return writeWholeFile(
        path, [&bytes](QIODevice &file) { return writeFully(file, bytes); }, special);
}

bool canCreateFileIn(const QString &folder)
{
    if (folder.isEmpty())
        return false;
    QTemporaryFile probe(temporaryTemplateIn(folder));
    return probe.open();
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
