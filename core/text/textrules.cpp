#include "textrules.h"

#include <algorithm>

namespace textrules {
PathParts pathParts(QStringView path, Separators seps)
{
    PathParts parts;
    const char16_t *text = path.utf16();
    qsizetype i = path.size();
    const bool slash = seps == Separators::WindowsOrSlash;
    int dots = 0;
    for (; i > 0; --i) {
        const char16_t c = text[i - 1];
        // Every separator and the dot lie below '`'; most characters don't.
        if (c >= u'`')
            continue;
        if (c == u'\\' || c == u':' || (slash && c == u'/'))
            break;
        if (c == u'.' && dots++ == 0)
            parts.extStart = i - 1;
    }
    parts.nameStart = i;
    parts.baseEnd = path.size();
    if (dots == 1) {
        parts.baseEnd = parts.extStart; // the extension's text is nowhere else
    } else if (parts.extStart >= 0) {
        // The first occurrence of the extension's text in the name, byte
        // for byte; at the latest the extension itself.
        const qsizetype length = path.size() - parts.extStart;
        for (qsizetype at = parts.nameStart; at <= parts.extStart; ++at) {
            if (text[at] == u'.' && std::equal(text + at, text + at + length, text + parts.extStart)) {
                parts.baseEnd = at;
                break;
            }
        }
    }
    return parts;
}

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

QString trimmed(const QString &text) { return trimmedView(text).toString(); }

QString upperCased(const QString &text)
{
    QString out = text;
    for (QChar &c : out)
        c = QChar(upperCasedUnit(c.unicode()));
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

QString folderPart(const QString &path, Separators seps) { return path.left(pathParts(path, seps).nameStart); }

QString namePart(const QString &path, Separators seps) { return path.mid(pathParts(path, seps).nameStart); }

QString extension(const QString &path, Separators seps)
{
    const PathParts parts = pathParts(path, seps);
    return parts.extStart < 0 ? QString() : path.mid(parts.extStart);
}

QString ensureTrailingBackslash(const QString &text)
{
    if (text.isEmpty() || text.endsWith(u'\\'))
        return text;
    return text + u'\\';
}

QString formatFileCount(int count) { return QString::number(count).rightJustified(8, u' '); }

QString errorBoxText(const QString &message)
{
    if (message.isEmpty() || message.back().unicode() <= u'.')
        return message;
    return message + u'.';
}

char16_t nonAsciiFoldedUnit(char16_t c) { return QChar(c).toUpper().unicode(); }

QString windowsFolded(QStringView name)
{
    QString out(name.size(), Qt::Uninitialized);
    QChar *dst = out.data();
    for (QChar c : name)
        *dst++ = QChar(windowsFoldedUnit(c.unicode()));
    return out;
}

bool sameWindowsName(QStringView a, QStringView b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        const char16_t x = a[i].unicode();
        const char16_t y = b[i].unicode();
        if (x != y && windowsFoldedUnit(x) != windowsFoldedUnit(y))
            return false;
    }
    return true;
}

} // namespace textrules
