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

QStringView trimmedView(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin).unicode() <= 0x20)
        ++begin;
    while (end > begin && text.at(end - 1).unicode() <= 0x20)
        --end;
    return text.mid(begin, end - begin);
}

QString trimmed(const QString &text)
{
    return trimmedView(text).toString();
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

QStringView folderPartView(QStringView path, Separators seps)
{
    return path.left(lastSeparator(path, seps) + 1);
}

QString folderPart(const QString &path, Separators seps)
{
    return folderPartView(path, seps).toString();
}

QString namePart(const QString &path, Separators seps)
{
    return path.mid(lastSeparator(path, seps) + 1);
}

QStringView extensionView(QStringView path, Separators seps)
{
    const QStringView name = path.mid(lastSeparator(path, seps) + 1);
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot < 0 ? QStringView() : name.mid(dot);
}

QString extension(const QString &path, Separators seps)
{
    return extensionView(path, seps).toString();
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

QString windowsFolded(QStringView name)
{
    QString out(name.size(), Qt::Uninitialized);
    QChar *dst = out.data();
    for (QChar c : name)
        *dst++ = c.toUpper();
    return out;
}

bool sameWindowsName(QStringView a, QStringView b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (a[i] != b[i] && a[i].toUpper() != b[i].toUpper())
            return false;
    }
    return true;
}

} // namespace textrules
