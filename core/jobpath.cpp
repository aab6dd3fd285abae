#include "jobpath.h"

#include <QDir>

namespace jobpath {
namespace {
bool isDriveLetter(QChar c)
{
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
}

// "C:" at the start: a drive, absolute ("C:\x") or relative to that drive ("C:x").
bool hasDrive(const QString &path)
{
    return path.size() >= 2 && isDriveLetter(path.at(0)) && path.at(1) == u':';
}

bool isSlash(QChar c)
{
    return c == u'\\' || c == u'/';
}

QString backslashed(const QString &path)
{
    if (!path.contains(u'/'))
        return path;
    QString out = path;
    out.replace(u'/', u'\\');
    return out;
}

QString unixToJob(const QString &given, const QString &workingFolder)
{
    if (given.startsWith(u'/'))
        return QStringLiteral("Z:") + backslashed(QDir::cleanPath(given));
    // A Windows path typed or passed as such: a drive, or the root of the
    // current drive or a server ("\x", "\\server\share").
    if (hasDrive(given) || given.startsWith(u'\\'))
        return backslashed(given);
    if (workingFolder.isEmpty())
        return backslashed(given);
    return unixToJob(QDir::cleanPath(workingFolder + u'/' + given), QString());
}

QString windowsToJob(const QString &given, const QString &workingFolder)
{
    const QString path = backslashed(given);
    const bool absolute = (hasDrive(path) && path.size() >= 3 && path.at(2) == u'\\')
        || path.startsWith(u'\\');
    if (absolute || hasDrive(path) || workingFolder.isEmpty())
        return path;
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

QString toNative(const QString &job, Style style)
{
    if (style == Style::Windows)
        return job;
    if (job.size() < 3 || !hasDrive(job) || job.at(0).toUpper() != u'Z' || !isSlash(job.at(2)))
        return QString();
    QString out = job.mid(2);
    out.replace(u'\\', u'/');
    return out;
}

} // namespace jobpath
