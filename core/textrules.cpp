#include "textrules.h"

namespace textrules {
namespace {
bool isSeparator(QChar c, Separators seps)
{
    return c == u'\\' || c == u':' || (seps == Separators::WindowsOrSlash && c == u'/');
}

qsizetype lastSeparator(QStringView path, Separators seps)
{
    for (qsizetype i = path.size() - 1; i >= 0; --i) {
        if (isSeparator(path.at(i), seps))
            return i;
    }
    return -1;
}
} // namespace

QString trimmed(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin).unicode() <= 0x20)
        ++begin;
    while (end > begin && text.at(end - 1).unicode() <= 0x20)
        --end;
    return text.mid(begin, end - begin);
}

QString upperCased(const QString &text)
{
    QString out = text;
    for (QChar &c : out) {
        if (c >= u'a' && c <= u'z')
            c = QChar(c.unicode() - 0x20);
    }
    return out;
}

QString lowerCased(const QString &text)
{
    QString out = text;
    for (QChar &c : out) {
        if (c >= u'A' && c <= u'Z')
            c = QChar(c.unicode() + 0x20);
    }
    return out;
}

QString folderPart(const QString &path, Separators seps)
{
    return path.left(lastSeparator(path, seps) + 1);
}

QString namePart(const QString &path, Separators seps)
{
    return path.mid(lastSeparator(path, seps) + 1);
}

QString extension(const QString &path, Separators seps)
{
    const QString name = namePart(path, seps);
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot < 0 ? QString() : name.mid(dot);
}

QStringView baseNameView(QStringView path)
{
    const QStringView name = path.mid(lastSeparator(path, Separators::Windows) + 1);
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot < 0)
        return name;
    const qsizetype at = name.indexOf(name.mid(dot)); // first occurrence, case-sensitive
    return name.left(at);
}

QString baseName(const QString &path)
{
    return baseNameView(path).toString();
}

QString EnsureTrailingBackslash(const QString &text)
{
    if (text.isEmpty() || text.endsWith(u'\\'))
        return text;
    return text + u'\\';
}

QString FormatFileCount(int count)
{
    return QString::number(count).rightJustified(8, u' ');
}

bool isValidPrecision(const QString &text)
{
    const QString t = trimmed(text);
    for (int n = 0; n <= 18; ++n) {
        if (t == QString::number(n))
            return true;
    }
    return false;
}

QString errorBoxText(const QString &message)
{
    if (message.isEmpty() || message.back().unicode() <= u'.')
        return message;
    return message + u'.';
}

QString nativeToJobPath(const QString &native, PathStyle style)
{
    QString out = native;
    if (style == PathStyle::Windows) {
        out.replace(u'/', u'\\');
        return out;
    }
    if (!out.startsWith(u'/'))
        return out;
    out.replace(u'/', u'\\');
    return QStringLiteral("Z:") + out;
}

QString jobToNativePath(const QString &job, PathStyle style)
{
    if (style == PathStyle::Windows)
        return job;
    if (job.size() < 3 || job.at(1) != u':' || (job.at(0) != u'Z' && job.at(0) != u'z')
        || job.at(2) != u'\\')
        return QString();
    QString out = job.mid(2);
    out.replace(u'\\', u'/');
    return out;
}

} // namespace textrules
