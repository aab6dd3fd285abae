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

// Decodes one line at `out` in `encoding` (not Auto); nullptr when it is
// not text of it.
char16_t *decodeLine(QStringDecoder &utf8, Encoding encoding, char16_t *out, QByteArrayView line)
{
    if (encoding == Encoding::Utf8)
        return decodeUtf8(utf8, out, line);
    bool ok = false;
    char16_t *const decoded = cp932::decodeInto(out, line, &ok);
    return ok ? decoded : nullptr;
}

bool isAscii(QByteArrayView bytes)
{
    for (const char c : bytes) {
        if (uchar(c) >= 0x80)
            return false;
    }
    return true;
}

// Each line of `bytes` in turn, with its number from 1.
template <typename F>
void forEachLine(QByteArrayView bytes, F &&f)
{
    int number = 0;
    for (qsizetype pos = 0; pos < bytes.size();) {
        const void *found = memchr(bytes.data() + pos, '\n', size_t(bytes.size() - pos));
        const qsizetype lineEnd = found ? static_cast<const char *>(found) - bytes.data() : bytes.size();
        if (!f(bytes.sliced(pos, lineEnd - pos), ++number))
            return;
        pos = lineEnd + 1;
    }
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
    if (encoding != Encoding::Cp932 && bytes.startsWith("\xEF\xBB\xBF")) {
        bytes = bytes.sliced(3); // a byte-order mark: its writer's word for UTF-8
        encoding = Encoding::Utf8;
    }
    if (bytes.isEmpty())
        return list; // no line, and no bytes to look through
    // Neither encoding makes more than one UTF-16 unit of a byte, so the
    // buffer never grows and the texts never move.
    list.m_text.resize(bytes.size());
    list.m_lines.reserve(size_t(lineCount(bytes)));
    switch (encoding) {
    case Encoding::Auto: list.readInOne(bytes); break;
    case Encoding::Utf8:
        // Most lists are UTF-8 throughout, decoded at once; a line by
        // line reading finds the one that is not.
        if (!list.readWhole(bytes))
            list.readLineByLine(bytes, encoding);
        break;
    case Encoding::Cp932: list.readLineByLine(bytes, encoding); break;
    }
    return list;
}

// A list is written in one encoding, so it is read in one: the one it is
// text of. Names in both that read as other names in each (code page 932's
// half-width ﾃｷ is the bytes of UTF-8's ÷) are refused, as no reading can
// tell which its writer meant.
void List::readInOne(QByteArrayView bytes)
{
    if (readWhole(bytes)) {
        if (!isAscii(bytes))
            findTwoReadings(bytes);
        return;
    }
    m_lines.clear();
    readLineByLine(bytes, Encoding::Cp932);
    if (m_badLine > 0)
        findWhereEachFails(bytes);
}

void List::findTwoReadings(QByteArrayView bytes)
{
    QString cp932(bytes.size(), Qt::Uninitialized);
    bool ok = false;
    cp932::decodeInto(reinterpret_cast<char16_t *>(cp932.data()), bytes, &ok);
    if (!ok)
        return; // UTF-8 only
    QStringDecoder utf8 = lineDecoder();
    QString line(bytes.size(), Qt::Uninitialized);
    forEachLine(bytes, [&](QByteArrayView bytes, int number) {
        char16_t *const out = reinterpret_cast<char16_t *>(line.data());
        const QString asUtf8 = QString(reinterpret_cast<QChar *>(out), decodeUtf8(utf8, out, bytes) - out);
        const QString asCp932 = QString(reinterpret_cast<QChar *>(out), cp932::decodeInto(out, bytes) - out);
        if (asUtf8 == asCp932)
            return true;
        m_ambiguous = TwoReadings{number, textrules::trimmed(asUtf8), textrules::trimmed(asCp932)};
        return false;
    });
    m_lines.clear();
}

void List::findWhereEachFails(QByteArrayView bytes)
{
    const int notCp932 = m_badLine;
    m_badLine = 0;
    QStringDecoder utf8 = lineDecoder();
    QString buffer(bytes.size(), Qt::Uninitialized);
    int notUtf8 = 0;
    forEachLine(bytes, [&](QByteArrayView line, int number) {
        char16_t *const out = reinterpret_cast<char16_t *>(buffer.data());
        const bool isUtf8 = decodeUtf8(utf8, out, line);
        if (!isUtf8 && notUtf8 == 0)
            notUtf8 = number;
        if (number == notCp932 && !isUtf8)
            m_badLine = number; // text of neither
        return number < notCp932 || notUtf8 == 0;
    });
    if (m_badLine == 0)
        m_mixed = Mixed{notUtf8, notCp932};
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
