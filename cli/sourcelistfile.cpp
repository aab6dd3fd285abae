#include "sourcelistfile.h"

#include "core/cp932.h"
#include "core/textrules.h"

#include <QStringDecoder>

#include <cstring>

namespace sourcelistfile {

std::optional<Encoding> encodingFromName(const QString &name)
{
    const QString n = name.toLower();
    if (n == QLatin1String("auto"))
        return Encoding::Auto;
    if (n == QLatin1String("utf-8") || n == QLatin1String("utf8"))
        return Encoding::Utf8;
    if (n == QLatin1String("cp932") || n == QLatin1String("shift-jis") || n == QLatin1String("shift_jis")
        || n == QLatin1String("sjis"))
        return Encoding::Cp932;
    return std::nullopt;
}

namespace {
// Decodes one line of UTF-8 at `out`; nullptr when it is not UTF-8. Each
// line is decoded on its own, and a byte-order mark inside the list is
// a character like any other.
char16_t *decodeUtf8(QStringDecoder &decoder, char16_t *out, QByteArrayView line)
{
    decoder.resetState();
    QChar *end = decoder.appendToBuffer(reinterpret_cast<QChar *>(out), line);
    return decoder.hasError() ? nullptr : reinterpret_cast<char16_t *>(end);
}

// How many lines `bytes` holds at the most: its line feeds, and one more.
qsizetype lineCount(QByteArrayView bytes)
{
    qsizetype lines = 1;
    for (const char *p = bytes.data(), *stop = p + bytes.size();
         (p = static_cast<const char *>(memchr(p, '\n', size_t(stop - p)))); ++p)
        ++lines;
    return lines;
}

// Decodes one line at `out` in the list's encoding; nullptr when it is not
// text of it. Where either may do, UTF-8 is tried first.
char16_t *decodeLine(QStringDecoder &utf8, Encoding encoding, char16_t *out, QByteArrayView line)
{
    char16_t *decoded = encoding != Encoding::Cp932 ? decodeUtf8(utf8, out, line) : nullptr;
    if (!decoded && encoding != Encoding::Utf8) {
        bool ok = false;
        decoded = cp932::decodeInto(out, line, &ok);
        if (!ok)
            decoded = nullptr;
    }
    return decoded;
}
} // namespace

QString List::text(qsizetype i) const
{
    return QString::fromRawData(m_text.constData() + m_starts[i], m_starts[i + 1] - m_starts[i]);
}

List List::parse(QByteArrayView bytes, Encoding encoding)
{
    List list;
    if (encoding != Encoding::Cp932 && bytes.startsWith("\xEF\xBB\xBF"))
        bytes = bytes.sliced(3); // a byte-order mark
    // Neither encoding makes more than one UTF-16 unit of a byte, so the
    // buffer never grows and the texts never move.
    list.m_text.resize(bytes.size());
    char16_t *const begin = reinterpret_cast<char16_t *>(list.m_text.data());
    char16_t *end = begin;
    if (bytes.isEmpty())
        return list; // no line, and no bytes to look through
    const qsizetype lines = lineCount(bytes);
    list.m_starts.reserve(lines + 1);
    list.m_numbers.reserve(lines);
    list.m_starts.push_back(0);
    QStringDecoder utf8(QStringConverter::Utf8,
                        QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom);

    qsizetype pos = 0;
    int number = 0;
    while (pos < bytes.size()) {
        const void *found = memchr(bytes.data() + pos, '\n', size_t(bytes.size() - pos));
        const qsizetype lineEnd = found ? static_cast<const char *>(found) - bytes.data() : bytes.size();
        QByteArrayView line = bytes.sliced(pos, lineEnd - pos);
        pos = lineEnd + 1;
        ++number;
        if (line.endsWith('\r'))
            line.chop(1);

        char16_t *const start = end;
        char16_t *const decoded = decodeLine(utf8, encoding, start, line);
        if (!decoded) {
            list.m_badLine = number;
            return list;
        }
        end = decoded;
        if (textrules::trimmedView(QStringView(start, end)).isEmpty()) {
            end = start; // a blank line
        } else {
            list.m_starts.push_back(quint32(end - begin));
            list.m_numbers.push_back(quint32(number));
        }
    }
    return list;
}

} // namespace sourcelistfile
