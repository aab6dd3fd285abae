#include "jobpath.h"

#include "core/text/textrules.h"

#include <QDir>

#include <optional>
#include <string_view>

namespace jobpath {
namespace {
// The drive Wine gives the root of a Unix system: every native path of the
// job lies on it.
constexpr QStringView kUnixRoot = u"Z:";

bool isDriveLetter(QChar c) { return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z'); }

// "C:" at the start: a drive, absolute ("C:\x") or relative to that drive ("C:x").
bool hasDrive(QStringView path) { return path.size() >= 2 && isDriveLetter(path[0]) && path[1] == u':'; }

bool isSlash(QChar c) { return c == u'\\' || c == u'/'; }

// A native path's separators made the job's: each "/" a "\\", and each
// "\\" inside a native name a "/", which no other job path holds. Windows
// would read that "\\" as a separator, so the name keeps a mark of it that
// the checks refuse and toNative() turns back.
QString nativeSeparatorsToJob(const QString &path)
{
    QString out = path;
    for (QChar &c : out) {
        if (c == u'/')
            c = u'\\';
        else if (c == u'\\')
            c = u'/';
    }
    return out;
}

QString backslashed(const QString &path)
{
    if (!path.contains(u'/'))
        return path;
    QString out = path;
    out.replace(u'/', u'\\');
    return out;
}

// Where the root of a Windows path ends, which ".." never leaves: after
// "C:\", "C:", "\", or "\\server\share\". And where its names start: there,
// but for a UNC path after "\\", as a server and its share are names too.
struct Root
{
    qsizetype namesStart;
    qsizetype end;
};
Root windowsRoot(QStringView path)
{
    if (path.startsWith(u"\\\\")) {
        const qsizetype server = path.indexOf(u'\\', 2);
        const qsizetype share = server < 0 ? -1 : path.indexOf(u'\\', server + 1);
        return {2, share < 0 ? path.size() : share + 1};
    }
    const qsizetype end = hasDrive(path) ? (path.size() >= 3 && path[2] == u'\\' ? 3 : 2)
        : path.startsWith(u'\\')         ? 1
                                         : 0;
    return {end, end};
}

// Whether a path has a part that starts with a dot: only such a part can
// be "." or "..". Most paths have none.
bool hasDotPart(const QString &path, qsizetype root)
{
    for (qsizetype i = root; i < path.size(); ++i) {
        if (path[i] == u'.' && (i == root || path[i - 1] == u'\\'))
            return true;
    }
    return false;
}

// The parts of a path below its root with "." and ".." folded away, or
// nothing when none was. A last "." or ".." names a folder: an empty part
// keeps its trailing "\".
std::optional<QList<QStringView>> partsFolded(QStringView belowRoot, bool rooted)
{
    const QList<QStringView> parts = belowRoot.split(u'\\');
    QList<QStringView> kept;
    bool changed = false;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const QStringView part = parts.at(i);
        const bool last = i == parts.size() - 1;
        const bool dot = part == u".";
        const bool dotDot = part == u"..";
        if (!dot && !dotDot) {
            kept.append(part);
            continue;
        }
        if (dotDot && !kept.isEmpty() && kept.last() != u"..")
            kept.removeLast();
        else if (dotDot && !rooted) {
            kept.append(part); // a relative path keeps the ".." it starts with
            continue;
        } // else "." or ".." above the root, which is the root
        changed = true;
        if (last)
            kept.append(QStringView());
    }
    if (!changed)
        return std::nullopt;
    return kept;
}

// "." and ".." folded away, as Windows does before it opens a path, so that
// no check is misled by them. A relative path keeps the ".." it starts with.
QString foldedDots(const QString &path)
{
    const qsizetype root = windowsRoot(path).end;
    if (!hasDotPart(path, root))
        return path;
    const std::optional<QList<QStringView>> kept = partsFolded(QStringView(path).mid(root), root > 0);
    if (!kept || (root == 0 && kept->size() == 1 && kept->first().isEmpty()))
        return path;
    QString out = path.left(root);
    for (qsizetype i = 0; i < kept->size(); ++i) {
        if (i > 0)
            out += u'\\';
        out += kept->at(i);
    }
    return out;
}

// Whether what follows a "/" of a native path is a part to clean away: an
// empty part ("//", or a "/" at the end but the root's), "." or "..".
bool partToClean(QStringView rest, bool atRoot)
{
    const auto endsAt = [rest](qsizetype k) { return rest.size() == k || rest[k] == u'/'; };
    if (rest.isEmpty())
        return !atRoot;
    return endsAt(0) || (rest[0] == u'.' && (endsAt(1) || (rest[1] == u'.' && endsAt(2))));
}

// An absolute native path on Z:, each "/" turned into "\\" in one pass
// over a copy; a null text when it has a part to clean away.
QString cleanOnZ(QStringView given)
{
    QString out = kUnixRoot + given;
    QChar *const units = out.data();
    for (qsizetype i = 2; i < out.size(); ++i) {
        QChar &c = units[i];
        if (c == u'\\')
            c = u'/'; // a backslash inside a name: see nativeSeparatorsToJob()
        else if (c != u'/')
            continue;
        else if (partToClean(given.sliced(i - 1), i == 2))
            return QString();
        else
            c = u'\\';
    }
    return out;
}

// A native path of "/" separators with its empty, "." and ".." parts
// cleaned away, as QDir::cleanPath cleans it on a system of "/" alone: a
// "\" stays a character of its name on every host.
QString cleanedNative(QStringView path)
{
    QList<QStringView> kept;
    for (QStringView part : path.split(u'/')) {
        if (part.isEmpty() || part == u".")
            continue;
        if (part == u"..") {
            // Above the root, the toolkit keeps it too.
            if (!kept.isEmpty() && kept.last() != u"..")
                kept.removeLast();
            else
                kept.append(part);
            continue;
        }
        kept.append(part);
    }
    QString out = path.startsWith(u'/') ? QStringLiteral("/") : QString();
    for (qsizetype i = 0; i < kept.size(); ++i) {
        if (i > 0)
            out += u'/';
        out += kept.at(i);
    }
    return out.isEmpty() ? QStringLiteral(".") : out;
}

QString unixToJob(const QString &given, const QString &workingFolder)
{
    if (given.startsWith(u'/')) {
        const QString onZ = cleanOnZ(given);
        return onZ.isNull() ? kUnixRoot + nativeSeparatorsToJob(cleanedNative(given)) : onZ;
    }
    // A Windows path typed or passed as such: a drive, or the root of the
    // current drive or a server ("\x", "\\server\share").
    if (hasDrive(given) || given.startsWith(u'\\'))
        return foldedDots(backslashed(given));
    if (workingFolder.isEmpty())
        return foldedDots(backslashed(given));
    return unixToJob(cleanedNative(QString(workingFolder + u'/' + given)), QString());
}

QString windowsToJob(const QString &given, const QString &workingFolder)
{
    const QString path = backslashed(given);
    const bool absolute = (hasDrive(path) && path.size() >= 3 && path.at(2) == u'\\') || path.startsWith(u'\\');
    if (absolute || hasDrive(path) || workingFolder.isEmpty())
        return foldedDots(path);
    QString joined = workingFolder + u'/' + path;
    joined.replace(u'\\', u'/');
    return backslashed(QDir::cleanPath(joined));
}
} // namespace

QString toJob(const QString &given, Style style, const QString &workingFolder)
{
    if (given.isEmpty())
        return given;
    return style == Style::Windows ? windowsToJob(given, workingFolder) : unixToJob(given, workingFolder);
}

QString folderToJob(const QString &given, Style style, const QString &workingFolder)
{
    // A folder of blanks stays as given, so that the checks see no folder.
    if (textrules::trimmedView(given).isEmpty())
        return given;
    return textrules::ensureTrailingBackslash(toJob(given, style, workingFolder));
}

namespace {
// CON, PRN, AUX, NUL, COM1 to COM9, LPT1 to LPT9, CONIN$ and CONOUT$, in
// any case: Windows opens the device, whatever extension follows.
bool isDeviceName(QStringView base)
{
    if (base.size() < 3 || base.size() > 7)
        return false;
    // Most names are ruled out by their first letter.
    const char16_t first = textrules::upperCasedUnit(base[0].unicode());
    if (first != u'C' && first != u'P' && first != u'A' && first != u'N' && first != u'L')
        return false;
    char16_t name[7] = {};
    for (qsizetype i = 0; i < base.size(); ++i)
        name[i] = textrules::upperCasedUnit(base[i].unicode());
    const std::u16string_view n(name, size_t(base.size()));
    if (n == u"CON" || n == u"PRN" || n == u"AUX" || n == u"NUL" || n == u"CONIN$" || n == u"CONOUT$")
        return true;
    return n.size() == 4 && (n.substr(0, 3) == u"COM" || n.substr(0, 3) == u"LPT") && n[3] >= u'1' && n[3] <= u'9';
}

// Whether Windows reads one part of a path (no separator in it) as a
// name other than the one it holds; `firstDot` is where its first "." is,
// or -1, and `marked` whether it holds a "/" or a ":".
bool nameReadOtherwise(QStringView part, qsizetype firstDot, bool marked)
{
    if (part.isEmpty() || (firstDot == 0 && (part.size() == 1 || (part.size() == 2 && part[1] == u'.'))))
        return false; // "." and ".." are no names
    // A "/" stands for a backslash inside a native name; a ":" would
    // start a stream name.
    if (marked)
        return true;
    // Trailing dots and blanks are dropped.
    if (part.back() == u'.' || part.back() == u' ')
        return true;
    QStringView base = firstDot < 0 ? part : part.left(firstDot);
    while (!base.isEmpty() && base.back() == u' ')
        base.chop(1);
    return isDeviceName(base);
}

} // namespace

QStringView partReadOtherwise(QStringView path, PathEnd end)
{
    // A drive without its root is read in that drive's current folder
    // ("D:DRAW", "a:b.dxf"); the device namespace ("\\.\", "\\?\") names
    // devices and objects, not a file of a folder.
    if (hasDrive(path) && (path.size() == 2 || path[2] != u'\\')) {
        const qsizetype separator = path.indexOf(u'\\');
        return separator < 0 ? path : path.left(separator);
    }
    if (path.size() >= 4 && path.startsWith(u"\\\\") && (path[2] == u'.' || path[2] == u'?') && path[3] == u'\\')
        return path.left(4);
    // One pass over the path, as this runs on every path of a job: each
    // part is judged at the separator that closes it, with its marks and
    // its first dot noted on the way.
    qsizetype start = windowsRoot(path).namesStart;
    qsizetype firstDot = -1;
    bool marked = false; // a "/" or a ":"
    const auto partAt = [&](qsizetype stop) { return path.sliced(start, stop - start); };
    const char16_t *const units = path.utf16();
    for (qsizetype i = start; i < path.size(); ++i) {
        const char16_t c = units[i];
        if (c == u'\\') {
            if (nameReadOtherwise(partAt(i), firstDot, marked))
                return partAt(i);
            start = i + 1;
            firstDot = -1;
            marked = false;
            continue;
        }
        marked = marked || c == u'/' || c == u':';
        firstDot = firstDot < 0 && c == u'.' ? i - start : firstDot;
    }
    // A folder's last part is the start of the names made in it.
    if (end == PathEnd::Name && nameReadOtherwise(partAt(path.size()), firstDot, marked))
        return partAt(path.size());
    return QStringView();
}

bool namesNullDevice(QStringView windowsPath)
{
    QStringView name = windowsPath.sliced(windowsPath.lastIndexOf(u'\\') + 1);
    name = name.sliced(name.lastIndexOf(u'/') + 1);
    if (name.endsWith(u':'))
        name.chop(1);
    const qsizetype dot = name.indexOf(u'.');
    QStringView base = dot < 0 ? name : name.left(dot);
    while (!base.isEmpty() && base.back() == u' ')
        base.chop(1);
    return base.compare(u"NUL", Qt::CaseInsensitive) == 0;
}

bool hasShortNameShape(QStringView name)
{
    const qsizetype dot = name.lastIndexOf(u'.');
    const QStringView base = dot < 0 ? name : name.left(dot);
    if (base.size() > 8 || (dot >= 0 && name.size() - dot - 1 > 3))
        return false;
    qsizetype digits = base.size();
    while (digits > 0 && base[digits - 1] >= u'0' && base[digits - 1] <= u'9')
        --digits;
    return digits < base.size() && digits > 0 && base[digits - 1] == u'~';
}

bool isDriveRoot(QStringView folder)
{
    return (folder.size() == 2 || (folder.size() == 3 && folder[2] == u'\\')) && folder[1] == u':';
}

bool onUnixRoot(QStringView job)
{
    return job.size() >= 2 && textrules::upperCasedUnit(job[0].unicode()) == kUnixRoot[0] && job[1] == kUnixRoot[1];
}

QString toNative(const QString &job, Style style)
{
    if (style == Style::Windows)
        return job;
    if (job.size() < 3 || !onUnixRoot(job) || !isSlash(job.at(2)))
        return QString();
    QString out = job.mid(2);
    if (job.at(2) == u'/') { // typed with slashes: no name holds a backslash
        out.replace(u'\\', u'/');
        return out;
    }
    // The same swap undone: "\\" separators, "/" a backslash in a name.
    return nativeSeparatorsToJob(out);
}

} // namespace jobpath
