#include "batchwriter.h"

#include "core/job/jobpath.h"
#include "core/job/jobplan.h"
#include "core/text/cp932.h"
#include "core/text/textrules.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace batch {
namespace {
// The characters that make cmd.exe need quotes around a path: a blank and
// the operators & | < > ^ ( ) , ; =.
constexpr bool needsQuotes(char16_t c)
{
    switch (c) {
    case u' ':
    case u'&':
    case u'|':
    case u'<':
    case u'>':
    case u'^':
    case u'(':
    case u')':
    case u',':
    case u';':
    case u'=': return true;
    default: return false;
    }
}

// Each ASCII character as a path token writes it, a to z upper-cased; 0
// for the ones that ask for more than their byte: a %, which is doubled,
// and the characters that need quotes.
constexpr auto kTokenByte = [] {
    std::array<char, 0x80> table{};
    for (char16_t c = 1; c < 0x80; ++c)
        table[c] = c == u'%' || needsQuotes(c) ? 0 : char(textrules::upperCasedUnit(c));
    return table;
}();

// The " -a<precision>" option for ASCII output, empty otherwise.
QString precisionOption(const ConversionJob &job)
{
    if (job.outputFormat != OutputFormat::Ascii)
        return QString();
    return QStringLiteral(" -a") + textrules::trimmed(job.precision);
}
} // namespace

char *Bytes::room(qsizetype bytes)
{
    if (m_bytes.size() - m_used < bytes)
        m_bytes.resize(std::max(2 * m_bytes.size(), m_used + bytes));
    return m_bytes.data() + m_used;
}

void Bytes::wrote(const char *end)
{
    m_used = end - m_bytes.constData();
    Q_ASSERT(m_used <= m_bytes.size());
}

void Bytes::put(QByteArrayView bytes)
{
    if (bytes.isEmpty())
        return;
    char *const dst = room(bytes.size());
    memcpy(dst, bytes.data(), size_t(bytes.size()));
    wrote(dst + bytes.size());
}

void appendToken(Bytes &out, Pieces parts, QByteArrayView prefix, bool quote, QStringView last)
{
    // No character takes more than two bytes. The token is written after
    // the place of its opening quote, which is filled in, or the token
    // moved onto it, once the whole token is known: one pass over the
    // token, where a first pass to find the quotes makes the whole tool
    // 1.05 times as slow (tessiva-batch, 100,000 drawings, 41 paired runs).
    // Characters are upper-cased before they are encoded, so the second
    // byte of a double-byte character is never touched.
    qsizetype room = 2 + prefix.size() + 2 * last.size();
    for (QStringView part : parts)
        room += 2 * part.size();
    char *const start = out.room(room);
    char *dst = start + 1;
    if (!prefix.isEmpty()) {
        memcpy(dst, prefix.data(), size_t(prefix.size()));
        dst += prefix.size();
    }
    const quint16 *const codes = cp932::codeTable();
    const auto put = [&](QStringView part) {
        for (QChar ch : part) {
            const char16_t c = ch.unicode();
            if (c >= 0x80) {
                cp932::putCode(dst, codes[c]);
            } else if (const char byte = kTokenByte[c]) {
                *dst++ = byte;
            } else if (c == u'%') {
                *dst++ = '%';
                *dst++ = '%';
            } else {
                quote = quote || needsQuotes(c);
                *dst++ = char(c);
            }
        }
    };
    for (QStringView part : parts)
        put(part);
    put(last);
    // At the start of a line, cmd.exe takes a ":" for a label and an "@"
    // for itself: a path that starts so is quoted wherever it stands.
    quote = quote || (prefix.isEmpty() && dst > start + 1 && (start[1] == ':' || start[1] == '@'));
    if (quote) {
        *start = '"';
        *dst++ = '"';
    } else {
        memmove(start, start + 1, size_t(dst - start - 1));
        --dst;
    }
    out.wrote(dst);
}

QByteArray token(Pieces parts, QStringView last)
{
    Bytes out;
    appendToken(out, parts, {}, false, last);
    return out.bytes();
}

void appendEchoText(Bytes &out, QStringView text)
{
    char *dst = out.room(2 * text.size());
    const quint16 *const codes = cp932::codeTable();
    for (QChar ch : text) {
        const char16_t c = ch.unicode();
        if (c >= 0x80) {
            cp932::putCode(dst, codes[c]);
            continue;
        }
        if (c == u'%' || c == u'&' || c == u'|' || c == u'<' || c == u'>' || c == u'^')
            *dst++ = c == u'%' ? '%' : '^';
        *dst++ = char(c);
    }
    out.wrote(dst);
}

QByteArray echoText(QStringView text)
{
    Bytes out;
    appendEchoText(out, text);
    return out.bytes();
}

QByteArray words(QStringView text) { return cp932::encode(text); }

BatchWriter::BatchWriter(const Sink &sink, qsizetype chunk)
    : m_sink(sink)
    , m_chunk(chunk)
{
    m_out.room(chunk + 64 * 1024);
}

void BatchWriter::line(std::initializer_list<QByteArrayView> pieces)
{
    for (QByteArrayView piece : pieces)
        m_out.put(piece);
    m_out.put("\r\n");
}

bool BatchWriter::handOn()
{
    const QByteArrayView bytes = m_out.view();
    m_out.clear();
    return m_sink(QByteArray::fromRawData(bytes.data(), bytes.size()));
}

JobTokens::JobTokens(const JobPlan &plan)
{
    const ConversionJob &job = plan.job();
    const QStringView acad = job.autocadFolder;
    // The option is never quoted: " -A6".
    const QByteArray option = cp932::encode(textrules::upperCased(precisionOption(job)));
    const QByteArray converter = token({acad, kConverterName});
    r13 = converter + option + " -T" + token({acad, job.r13ToR12Parameter}) + ' ';
    r12 = converter + option + " -T" + token({acad, job.r12ToGx3Parameter}) + ' ';
    first = usesR13ToR12Parameter(job.kind) ? r13 : r12;
    folderToken = token({job.destinationFolder});
    folderQuoted = folderToken.startsWith('"');
    const QByteArrayView whole = folderToken;
    folder = folderQuoted ? whole.sliced(1, whole.size() - 2) : whole;
    labelWidth = QString::number(job.sources.size()).size();
}

bool TreeFolders::beforeDrawing(BatchWriter &w, const JobPlan &plan, qsizetype i)
{
    if (!w.handOnWholeChunk())
        return false;
    const QStringView below = plan.below(i);
    if (!below.isEmpty())
        make(w, below);
    return true;
}

void TreeFolders::make(BatchWriter &w, QStringView below)
{
    const QString key = textrules::windowsFolded(below);
    if (m_made.contains(key))
        return;
    m_made.insert(key);
    const QString whole = m_job.destinationFolder + below;
    const QStringView folder = whole.endsWith(u'\\') ? QStringView(whole).chopped(1) : QStringView(whole);
    if (folder.isEmpty() || jobpath::isDriveRoot(whole))
        return;
    w.line({"IF NOT EXIST ", token({whole}), " MD ", token({folder})});
}

QByteArray labelNumber(qsizetype i, qsizetype width) { return QByteArray::number(i + 1).rightJustified(width, '0'); }

void converterLine(BatchWriter &w, QByteArrayView converter, QStringView source, QByteArrayView output,
                   QByteArrayView input, bool joined)
{
    w.put(converter);
    if (input.isEmpty())
        appendToken(w.out(), {source});
    else
        w.put(input);
    w.line({" ", output, joined ? QByteArrayView(" 2>&1") : QByteArrayView()});
}

} // namespace batch
