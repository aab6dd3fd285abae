#include "sourcelistfile.h"

#include "core/text/cp932.h"
#include "core/text/textrules.h"

#include <QStringDecoder>

#include <cstring>

namespace sourcelistfile {

namespace {
struct NamedEncoding
{
    QLatin1StringView name;
    Encoding encoding;
};
constexpr NamedEncoding kEncodingNames[] = {
    {QLatin1StringView("auto"), Encoding::Auto},       {QLatin1StringView("utf-8"), Encoding::Utf8},
    {QLatin1StringView("utf8"), Encoding::Utf8},       {QLatin1StringView("cp932"), Encoding::Cp932},
    {QLatin1StringView("shift-jis"), Encoding::Cp932}, {QLatin1StringView("shift_jis"), Encoding::Cp932},
    {QLatin1StringView("sjis"), Encoding::Cp932},
};
} // namespace

std::optional<Encoding> encodingFromName(const QString &name)
{
    for (const NamedEncoding &named : kEncodingNames)
        if (name.compare(named.name, Qt::CaseInsensitive) == 0)
            return named.encoding;
    return std::nullopt;
}

QString encodingName(Encoding encoding)
{
    for (const NamedEncoding &named : kEncodingNames)
        if (named.encoding == encoding)
            return named.name;
    return {};
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

// UTF-8 as each line is read: no state carried from one text to the next,
// and a byte-order mark kept as a character.
QStringDecoder lineDecoder()
{
    return QStringDecoder(QStringConverter::Utf8,
                          QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom);
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
    const Line &line = m_lines[size_t(i)];
    return QString::fromRawData(m_text.constData() + line.start, line.end - line.start);
}

List List::parse(QByteArrayView bytes, Encoding encoding)
{
    List list;
    if (encoding != Encoding::Cp932 && bytes.startsWith("\xEF\xBB\xBF"))
        bytes = bytes.sliced(3); // a byte-order mark
    if (bytes.isEmpty())
        return list; // no line, and no bytes to look through
    // Neither encoding makes more than one UTF-16 unit of a byte, so the
    // buffer never grows and the texts never move.
    list.m_text.resize(bytes.size());
    list.m_lines.reserve(size_t(lineCount(bytes)));
    // Most lists are UTF-8 throughout: then every line is, and the whole
    // list is decoded at once. Otherwise each line is taken on its own.
    if (encoding == Encoding::Cp932 || !list.readWhole(bytes))
        list.readLineByLine(bytes, encoding);
    return list;
}

bool List::readWhole(QByteArrayView bytes)
{
    QStringDecoder utf8 = lineDecoder();
    QChar *const begin = m_text.data();
    const QStringView text(begin, utf8.appendToBuffer(begin, bytes));
    if (utf8.hasError())
        return false;
    int number = 0;
    for (qsizetype pos = 0; pos < text.size();) {
        qsizetype lineEnd = text.indexOf(u'\n', pos);
        if (lineEnd < 0)
            lineEnd = text.size();
        addLine(pos, lineEnd, ++number);
        pos = lineEnd + 1;
    }
    return true;
}

void List::readLineByLine(QByteArrayView bytes, Encoding encoding)
{
    m_lines.clear();
    QStringDecoder utf8 = lineDecoder();
    char16_t *const begin = reinterpret_cast<char16_t *>(m_text.data());
    char16_t *end = begin;
    int number = 0;
    for (qsizetype pos = 0; pos < bytes.size();) {
        const void *found = memchr(bytes.data() + pos, '\n', size_t(bytes.size() - pos));
        const qsizetype lineEnd = found ? static_cast<const char *>(found) - bytes.data() : bytes.size();
        char16_t *const start = end;
        end = decodeLine(utf8, encoding, start, bytes.sliced(pos, lineEnd - pos));
        pos = lineEnd + 1;
        ++number;
        if (!end) {
            m_badLine = number;
            m_lines.clear();
            return;
        }
        addLine(start - begin, end - begin, number);
    }
}

// A line of m_text, without the CR of a CR LF; a blank one is passed over.
void List::addLine(qsizetype start, qsizetype end, int number)
{
    if (end > start && m_text.at(end - 1) == u'\r')
        --end;
    if (!textrules::trimmedView(QStringView(m_text).sliced(start, end - start)).isEmpty())
        m_lines.push_back(Line{quint32(start), quint32(end), quint32(number)});
}

} // namespace sourcelistfile
