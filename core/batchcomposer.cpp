#include "batchcomposer.h"

#include "cp932.h"
#include "jobplan.h"
#include "textrules.h"

#include <QIODevice>
#include <QSet>

#include <array>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif
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
    case u'=':
        return true;
    default:
        return false;
    }
}

// For each ASCII character the byte it is written as (a to z upper-cased),
// with the high bit set for the few that ask for quotes or are doubled.
constexpr unsigned char kSpecial = 0x80;
constexpr auto kAscii = [] {
    std::array<unsigned char, 0x80> table{};
    for (char16_t c = 0; c < 0x80; ++c) {
        table[c] = (c >= u'a' && c <= u'z' ? c - 0x20 : c);
        if (needsQuotes(c) || c == u'%')
            table[c] |= kSpecial;
    }
    return table;
}();

using Parts = std::initializer_list<QStringView>;

#if defined(__SSE2__)
// The units of eight characters that are the blank or an operator.
[[gnu::always_inline]] inline __m128i operatorsOf(__m128i v)
{
    return _mm_or_si128(
        _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi16(v, _mm_set1_epi16(' ')), _mm_cmpeq_epi16(v, _mm_set1_epi16('&'))),
                     _mm_or_si128(_mm_cmpeq_epi16(v, _mm_set1_epi16('|')), _mm_cmpeq_epi16(v, _mm_set1_epi16('<')))),
        _mm_or_si128(
            _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi16(v, _mm_set1_epi16('>')), _mm_cmpeq_epi16(v, _mm_set1_epi16('^'))),
                         _mm_or_si128(_mm_cmpeq_epi16(v, _mm_set1_epi16('(')), _mm_cmpeq_epi16(v, _mm_set1_epi16(')')))),
            _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi16(v, _mm_set1_epi16(',')), _mm_cmpeq_epi16(v, _mm_set1_epi16(';'))),
                         _mm_cmpeq_epi16(v, _mm_set1_epi16('=')))));
}

// True when eight characters hold the blank or an operator.
bool blockNeedsQuotes(const char16_t *text)
{
    return _mm_movemask_epi8(operatorsOf(_mm_loadu_si128(reinterpret_cast<const __m128i *>(text)))) != 0;
}

// Eight ASCII characters that ask for neither quotes nor doubling, written
// upper-cased in one step; false when the block holds any other character.
bool writePlainBlock(char *&dst, const char16_t *text)
{
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(text));
    const __m128i zero = _mm_setzero_si128();
    if (_mm_movemask_epi8(_mm_cmpeq_epi16(_mm_and_si128(v, _mm_set1_epi16(short(0xFF80))), zero)) != 0xFFFF)
        return false; // not ASCII
    const __m128i special = _mm_or_si128(operatorsOf(v), _mm_cmpeq_epi16(v, _mm_set1_epi16('%')));
    if (_mm_movemask_epi8(special) != 0)
        return false;
    const __m128i lower = _mm_and_si128(_mm_cmpgt_epi16(v, _mm_set1_epi16('a' - 1)),
                                        _mm_cmplt_epi16(v, _mm_set1_epi16('z' + 1)));
    const __m128i upper = _mm_sub_epi16(v, _mm_and_si128(lower, _mm_set1_epi16(0x20)));
    _mm_storel_epi64(reinterpret_cast<__m128i *>(dst), _mm_packus_epi16(upper, upper));
    dst += 8;
    return true;
}
#else
bool blockNeedsQuotes(const char16_t *text)
{
    for (int i = 0; i < 8; ++i) {
        if (text[i] < 0x80 && needsQuotes(text[i]))
            return true;
    }
    return false;
}

bool writePlainBlock(char *&, const char16_t *)
{
    return false;
}
#endif

// Writes the path token made of `parts` at `dst` as the batch file holds
// it: every % doubled, a to z upper-cased, in code page 932 bytes, and in
// quotes where cmd.exe needs them (`quote` asks for them in any case).
// Characters are upper-cased before they are encoded, so the second byte
// of a double-byte character is never touched. Room for two bytes a
// character and two quotes is needed; returns the end.
//
// `prefix` is the start of the token already in the batch file's bytes (a
// folder that is the same for every drawing), with `quote` saying whether
// it asks for quotes.
char *writeToken(char *dst, Parts parts, const quint16 *codes, QByteArrayView prefix = {}, bool quote = false)
{
    // Whether it needs quotes is known before anything is written, so that
    // every byte is written once, in its place.
    for (QStringView part : parts) {
        const char16_t *text = part.utf16();
        const char16_t *const end = text + part.size();
        for (; !quote && end - text >= 8; text += 8)
            quote = blockNeedsQuotes(text);
        for (; !quote && text < end; ++text)
            quote = *text < 0x80 && needsQuotes(*text);
    }
    if (quote)
        *dst++ = '"';
    if (!prefix.isEmpty()) {
        memcpy(dst, prefix.data(), size_t(prefix.size()));
        dst += prefix.size();
    }
    for (QStringView part : parts) {
        const char16_t *text = part.utf16();
        const char16_t *const end = text + part.size();
        // Whole blocks of plain characters at once; a block that is not
        // plain goes one character at a time.
        const char16_t *scalarUntil = text;
        for (; text < end; ++text) {
            if (text >= scalarUntil) {
                while (end - text >= 8 && writePlainBlock(dst, text))
                    text += 8;
                if (text == end)
                    break;
                scalarUntil = text + 8;
            }
            const char16_t c = *text;
            if (c < 0x80) {
                const unsigned char out = kAscii[c];
                if (c == u'%')
                    *dst++ = '%';
                *dst++ = char(out & 0x7F);
                continue;
            }
            const quint16 code = codes[c];
            if (code == cp932::kNoCode) {
                *dst++ = '?';
            } else if (code < 0x100) {
                *dst++ = char(code);
            } else {
                *dst++ = char(code >> 8);
                *dst++ = char(code & 0xFF);
            }
        }
    }
    if (quote)
        *dst++ = '"';
    return dst;
}

QByteArray token(Parts parts)
{
    qsizetype length = 2;
    for (QStringView part : parts)
        length += 2 * part.size();
    QByteArray out(length, Qt::Uninitialized);
    out.truncate(writeToken(out.data(), parts, cp932::codeTable()) - out.constData());
    return out;
}

// The " -a<precision>" option for ASCII output, empty otherwise.
QString precisionOption(const ConversionJob &job)
{
    if (job.outputFormat != OutputFormat::Ascii)
        return QString();
    return QStringLiteral(" -a") + textrules::trimmed(job.precision);
}

// The output buffer: lines are written straight into it through a cursor,
// and it is handed on whenever it holds a chunk.
class Output
{
public:
    Output(const std::function<bool(const QByteArray &)> &sink, qsizetype chunk)
        : m_sink(sink)
        , m_chunk(chunk)
    {
        m_buffer.resize(chunk + 64 * 1024);
        m_at = m_buffer.data();
    }

    // Room for `bytes` more, handing on what is there when it is a chunk.
    bool reserve(qsizetype bytes)
    {
        if (used() >= m_chunk && !flush())
            return false;
        if (m_buffer.size() - used() < bytes) {
            const qsizetype at = used();
            m_buffer.resize(at + bytes + m_chunk);
            m_at = m_buffer.data() + at;
        }
        return true;
    }
    char *&cursor() { return m_at; }
    // The pieces are short: copied sixteen and eight bytes at a time here
    // rather than by a call for each.
    void put(QByteArrayView bytes)
    {
        const char *from = bytes.data();
        qsizetype n = bytes.size();
#if defined(__SSE2__)
        for (; n >= 16; n -= 16, from += 16, m_at += 16)
            _mm_storeu_si128(reinterpret_cast<__m128i *>(m_at), _mm_loadu_si128(reinterpret_cast<const __m128i *>(from)));
#endif
        for (; n >= 8; n -= 8, from += 8, m_at += 8) {
            quint64 word;
            memcpy(&word, from, 8);
            memcpy(m_at, &word, 8);
        }
        for (; n > 0; --n)
            *m_at++ = *from++;
    }
    void endLine()
    {
        *m_at++ = '\r';
        *m_at++ = '\n';
    }
    bool flush()
    {
        if (used() == 0)
            return true;
        const QByteArray bytes = QByteArray::fromRawData(m_buffer.constData(), used());
        m_at = m_buffer.data();
        return m_sink(bytes);
    }

private:
    qsizetype used() const { return m_at - m_buffer.constData(); }

    const std::function<bool(const QByteArray &)> &m_sink;
    const qsizetype m_chunk;
    QByteArray m_buffer;
    char *m_at = nullptr;
};

// Composes the lines of one job: what is the same on every line is made
// once, and each source's own tokens are written straight into the output.
class Composer
{
public:
    Composer(const JobPlan &plan, const std::function<bool(const QByteArray &)> &sink, qsizetype chunk)
        : m_plan(plan)
        , m_job(plan.job())
        , m_out(sink, chunk)
    {
    }

    bool run()
    {
        const QStringView acad = m_job.autocadFolder;
        // The option is never quoted: " -A6".
        const QByteArray option = cp932::encode(textrules::upperCased(precisionOption(m_job)));
        const QByteArray converter = token({acad, u"DXFIX.EXE"});
        const QByteArray r13 = converter + option + " -T" + token({acad, m_job.r13ToR12Parameter}) + ' ';
        const QByteArray r12 = converter + option + " -T" + token({acad, m_job.r12ToGx3Parameter}) + ' ';
        const bool twoPasses = m_job.kind == BatchKind::R13ToGX3;
        const QByteArray intermediate =
            twoPasses ? token({m_job.destinationFolder, m_plan.intermediateName()}) : QByteArray();

        // Each drawing's lines are its source token and its destination
        // token between pieces that are the same for every drawing.
        QByteArray head;   // up to the source
        QByteArray middle; // from the source to the destination
        QByteArray tail;   // from the destination to the end of the drawing's lines
        if (twoPasses) {
            head = r13;
            middle = ' ' + intermediate + "\r\n" + r12 + intermediate + ' ';
            tail = "\r\nDEL " + intermediate + "\r\n";
        } else {
            head = m_job.kind == BatchKind::R13ToR12 ? r13 : r12;
            middle = " ";
            tail = "\r\n";
        }
        const QStringView destination = m_job.destinationFolder;
        // The destination folder in the batch file's bytes, without quotes.
        const QByteArray folderToken = token({destination});
        const bool folderQuoted = folderToken.startsWith('"');
        const QByteArrayView folder = folderQuoted ? QByteArrayView(folderToken).sliced(1, folderToken.size() - 2)
                                                   : QByteArrayView(folderToken);
        const qsizetype labelWidth = QString::number(m_job.sources.size()).size();
        const QString partialPrefix = m_job.skipExisting ? m_plan.partialPrefix() : QString();
        const bool tree = !m_job.treeRoot.isEmpty();
        if (tree) { // the destination folder itself, before anything goes into it
            if (!m_out.reserve(8 * destination.size() + 64))
                return false;
            makeFolder({});
        }

        for (qsizetype i = 0; i < m_job.sources.size(); ++i) {
            const QString &path = m_job.sources.at(i);
            const QStringView below = m_plan.below(i);
            const QStringView base = m_plan.baseName(i);
            // Every token takes at most two bytes a character and its quotes:
            // the drawing's destination (its folder, below and base name lie
            // within the destination folder and the source), named up to four
            // times, and its temporary name up to five times.
            const qsizetype name = 2 * (destination.size() + path.size() + partialPrefix.size() + 4) + 2;
            const qsizetype room = head.size() + middle.size() + tail.size() + 2 * path.size() + 2 + 9 * name
                + 3 * intermediate.size() + 2 * labelWidth + 256;
            if (!m_out.reserve(room))
                return false;
            const char *const start = m_out.cursor();
            if (!below.isEmpty())
                makeFolder(below);
            const Parts destinationParts{below, base, u".DXF"};

            if (!m_job.skipExisting) {
                m_out.put(head);
                m_out.cursor() = writeToken(m_out.cursor(), {path}, m_codes);
                m_out.put(middle);
                m_out.cursor() = writeToken(m_out.cursor(), destinationParts, m_codes, folder, folderQuoted);
                m_out.put(tail);
            } else {
                skippableDrawing(i, path, destinationParts, {below, partialPrefix, base, u".DXF"}, folder,
                                 folderQuoted, labelWidth, twoPasses ? r13 : head, r12, intermediate);
            }
            // The room above is an upper bound; a drawing that took more
            // would be a fault of this code, not of its input.
            if (m_out.cursor() - start > room)
                qFatal("batch composer: a drawing took %lld bytes of %lld", qlonglong(m_out.cursor() - start),
                       qlonglong(room));
        }
        return m_out.flush();
    }

private:
    void line(std::initializer_list<QByteArrayView> pieces)
    {
        for (QByteArrayView piece : pieces)
            m_out.put(piece);
        m_out.endLine();
    }

    // A drawing of a job that goes on where it stopped. It is made under a
    // temporary name beside its own and moved onto its own name as its last
    // step, so that its own name exists only once its conversion ran to the
    // end; a leftover temporary drawing is deleted first.
    void skippableDrawing(qsizetype i, const QString &path, Parts destinationParts, Parts partialParts,
                          QByteArrayView folder, bool folderQuoted, qsizetype labelWidth, QByteArrayView first,
                          QByteArrayView second, QByteArrayView intermediate)
    {
        const qsizetype room = 8 * (m_job.destinationFolder.size() + path.size() + 8) + 16;
        if (m_final.size() < room) {
            m_final.resize(2 * room);
            m_partial.resize(2 * room);
        }
        const QByteArrayView final(m_final.constData(),
                                   writeToken(m_final.data(), destinationParts, m_codes, folder, folderQuoted)
                                       - m_final.constData());
        const QByteArrayView partial(m_partial.constData(),
                                     writeToken(m_partial.data(), partialParts, m_codes, folder, folderQuoted)
                                         - m_partial.constData());
        const QByteArray label = "DONE" + QByteArray::number(i + 1).rightJustified(labelWidth, '0');
        line({"IF EXIST ", final, " GOTO ", label});
        line({"IF EXIST ", partial, " DEL ", partial});
        if (intermediate.isEmpty()) {
            convert(first, path, partial);
        } else {
            line({"IF EXIST ", intermediate, " DEL ", intermediate});
            convert(first, path, intermediate);
            convert(second, QString(), partial, intermediate);
            line({"DEL ", intermediate});
        }
        line({"IF EXIST ", partial, " MOVE /Y ", partial, " ", final});
        line({":", label});
    }

    // One converter line; with checkExitStatus, a failed run's output is
    // deleted. The input is `source` as a path, or `input` as a token.
    void convert(QByteArrayView converter, const QString &source, QByteArrayView output,
                 QByteArrayView input = {})
    {
        m_out.put(converter);
        if (input.isEmpty())
            m_out.cursor() = writeToken(m_out.cursor(), {source}, m_codes);
        else
            m_out.put(input);
        line({" ", output});
        if (m_job.checkExitStatus)
            line({"IF ERRORLEVEL 1 DEL ", output});
    }

    // The output folders of a tree job are made before the first drawing
    // that goes into them; the destination folder itself (`below` empty)
    // before any.
    void makeFolder(QStringView below)
    {
        const QString key = textrules::windowsFolded(below);
        if (m_madeFolders.contains(key))
            return;
        m_madeFolders.insert(key);
        const QString whole = m_job.destinationFolder + below;
        const QStringView folder = whole.endsWith(u'\\') ? QStringView(whole).chopped(1) : QStringView(whole);
        if (folder.isEmpty() || folder.endsWith(u':'))
            return; // the root of a drive is always there
        line({"IF NOT EXIST ", token({whole}), " MD ", token({folder})});
    }

    const JobPlan &m_plan;
    const ConversionJob &m_job;
    const quint16 *const m_codes = cp932::codeTable();
    Output m_out;
    QByteArray m_final;
    QByteArray m_partial;
    QSet<QString> m_madeFolders;
};
} // namespace

bool composeBytes(const JobPlan &plan, const std::function<bool(const QByteArray &)> &sink, qsizetype chunk)
{
    return Composer(plan, sink, chunk).run();
}

bool composeBytes(const ConversionJob &job, const std::function<bool(const QByteArray &)> &sink, qsizetype chunk)
{
    return composeBytes(JobPlan(job), sink, chunk);
}

} // namespace batch

QByteArray batchFileBytes(const ConversionJob &job)
{
    QByteArray bytes;
    batch::composeBytes(job, [&bytes](const QByteArray &piece) {
        bytes += piece;
        return true;
    });
    return bytes;
}

QStringList ComposeBatchLines(const ConversionJob &job)
{
    QStringList lines;
    const QByteArray bytes = batchFileBytes(job);
    qsizetype begin = 0;
    while (begin < bytes.size()) {
        const qsizetype end = bytes.indexOf("\r\n", begin);
        lines << cp932::decode(QByteArrayView(bytes).sliced(begin, end - begin));
        begin = end + 2;
    }
    return lines;
}

bool WriteBatchLines(QIODevice &file, const QStringList &lines)
{
    QByteArray bytes;
    for (const QString &line : lines) {
        cp932::appendEncoded(bytes, line);
        bytes += "\r\n";
    }
    return file.write(bytes) == bytes.size();
}
