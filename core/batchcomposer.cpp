#include "batchcomposer.h"

#include "cp932.h"
#include "filewrite.h"
#include "jobplan.h"
#include "textrules.h"
#include "vectorstate.h"

#include <QSet>

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

using Pieces = std::initializer_list<QStringView>;

// Bytes written through a cursor that checks its room: each write asks for
// the room it may take, at the place where it is written, and gives back
// where it ended.
class Bytes
{
public:
    char *room(qsizetype bytes)
    {
        if (m_bytes.size() - m_used < bytes)
            m_bytes.resize(std::max(2 * m_bytes.size(), m_used + bytes));
        return m_bytes.data() + m_used;
    }
    void wrote(const char *end)
    {
        m_used = end - m_bytes.constData();
        Q_ASSERT(m_used <= m_bytes.size());
    }
    void put(QByteArrayView bytes)
    {
        if (bytes.isEmpty())
            return;
        char *const dst = room(bytes.size());
        memcpy(dst, bytes.data(), size_t(bytes.size()));
        wrote(dst + bytes.size());
    }
    qsizetype size() const { return m_used; }
    QByteArrayView view() const { return {m_bytes.constData(), m_used}; }
    QByteArray bytes() const { return m_bytes.left(m_used); }
    void clear() { m_used = 0; }

private:
    QByteArray m_bytes;
    qsizetype m_used = 0;
};

// Appends the path token made of `parts` to `out` as the batch file holds
// it: every % doubled, a to z upper-cased, in code page 932 bytes, and in
// quotes where cmd.exe needs them (`quote` asks for them in any case).
// Characters are upper-cased before they are encoded, so the second byte
// of a double-byte character is never touched.
//
// `prefix` is the start of the token already in the batch file's bytes (a
// folder that is the same for every drawing), with `quote` saying whether
// it asks for quotes.
void appendToken(Bytes &out, Pieces parts, QByteArrayView prefix = {}, bool quote = false)
{
    // No character takes more than two bytes. The token is written after
    // the place of its opening quote, which is filled in, or the token
    // moved onto it, once the whole token is known: one pass over the
    // token, where a first pass to find the quotes makes the whole tool
    // 1.05 times as slow (tessiva-batch, 100,000 drawings, 41 paired runs).
    qsizetype room = 2 + prefix.size();
    for (QStringView part : parts)
        room += 2 * part.size();
    char *const start = out.room(room);
    char *dst = start + 1;
    if (!prefix.isEmpty()) {
        memcpy(dst, prefix.data(), size_t(prefix.size()));
        dst += prefix.size();
    }
    const quint16 *const codes = cp932::codeTable();
    for (QStringView part : parts) {
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
    }
    if (quote) {
        *start = '"';
        *dst++ = '"';
    } else {
        memmove(start, start + 1, size_t(dst - start - 1));
        --dst;
    }
    out.wrote(dst);
}

// Appends `text` as an ECHO or TITLE line shows it, byte for byte as it
// is (no upper-casing): every % doubled, and the characters cmd.exe would
// take as operators (& | < > ^) escaped with ^. The text never starts a
// line, so that ON, OFF or a blank at its start stay text, and no
// redirection follows it, so that a digit at its end stays text too.
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

QByteArray token(Pieces parts)
{
    Bytes out;
    appendToken(out, parts);
    return out.bytes();
}

// The " -a<precision>" option for ASCII output, empty otherwise.
QString precisionOption(const ConversionJob &job)
{
    if (job.outputFormat != OutputFormat::Ascii)
        return QString();
    return QStringLiteral(" -a") + textrules::trimmed(job.precision);
}

// Composes the lines of one job: what is the same on every line is made
// once, and each source's own tokens are written straight into the output.
class Composer
{
public:
    Composer(const JobPlan &plan, const std::function<bool(const QByteArray &)> &sink, qsizetype chunk)
        : m_plan(plan)
        , m_job(plan.job())
        , m_sink(sink)
        , m_chunk(chunk)
    {
        m_out.room(chunk + 64 * 1024);
    }

    bool run()
    {
        prepare();
        vectorstate::clearUpperHalves(); // see vectorstate.h
        if (m_job.report)
            reportHead();
        if (!m_job.treeRoot.isEmpty()) // the destination folder itself, before anything goes into it
            makeFolder({});
        for (qsizetype i = 0; i < m_job.sources.size(); ++i) {
            if (!handOnWholeChunk())
                return false;
            const QStringView below = m_plan.below(i);
            if (!below.isEmpty())
                makeFolder(below);
            const Pieces destination{below, m_plan.baseName(i), kDestinationExtension};
            const Pieces partialName{below, m_common.partialPrefix, m_plan.baseName(i), kDestinationExtension};
            if (m_job.report) {
                reportedDrawing(i, destination, partialName);
            } else if (m_job.skipExisting) {
                skippableDrawing(i, destination, partialName);
            } else {
                m_out.put(m_common.head);
                appendToken(m_out, {m_job.sources.at(i)});
                m_out.put(m_common.middle);
                appendToken(m_out, destination, m_common.folder, m_common.folderQuoted);
                m_out.put(m_common.tail);
            }
        }
        if (m_job.report)
            reportTail();
        return m_out.size() == 0 || handOn();
    }

private:
    // What is the same for every drawing, in the batch file's bytes: each
    // drawing's lines are its own tokens between these pieces.
    struct Common
    {
        QByteArray r13; // a first-pass converter line up to its source
        QByteArray r12; // an R12 to GX3 pass up to its source
        QByteArray intermediate; // the intermediate file of two passes
        QByteArray head; // a drawing's lines up to its source
        QByteArray middle; // from the source to the destination
        QByteArray tail; // from the destination to the end of its lines
        QByteArray folderToken; // the destination folder
        QByteArrayView folder; // the same without quotes
        bool folderQuoted = false;
        qsizetype labelWidth = 0;
        QString partialPrefix;
        QByteArray count; // of the drawings, for a report
    };

    void prepare()
    {
        const QStringView acad = m_job.autocadFolder;
        // The option is never quoted: " -A6".
        const QByteArray option = cp932::encode(textrules::upperCased(precisionOption(m_job)));
        const QByteArray converter = token({acad, kConverterName});
        m_common.r13 = converter + option + " -T" + token({acad, m_job.r13ToR12Parameter}) + ' ';
        m_common.r12 = converter + option + " -T" + token({acad, m_job.r12ToGx3Parameter}) + ' ';
        if (convertsInTwoPasses(m_job.kind)) {
            m_common.intermediate = token({m_job.destinationFolder, m_plan.intermediateName()});
            m_common.head = m_common.r13;
            m_common.middle = ' ' + m_common.intermediate + "\r\n" + m_common.r12 + m_common.intermediate + ' ';
            m_common.tail = "\r\nDEL " + m_common.intermediate + "\r\n";
        } else {
            m_common.head = usesR13ToR12Parameter(m_job.kind) ? m_common.r13 : m_common.r12;
            m_common.middle = " ";
            m_common.tail = "\r\n";
        }
        m_common.folderToken = token({m_job.destinationFolder});
        m_common.folderQuoted = m_common.folderToken.startsWith('"');
        const QByteArrayView folderToken = m_common.folderToken;
        m_common.folder = m_common.folderQuoted ? folderToken.sliced(1, folderToken.size() - 2) : folderToken;
        m_common.labelWidth = QString::number(m_job.sources.size()).size();
        m_common.partialPrefix = m_plan.partialPrefixInUse();
        if (m_job.report)
            m_common.count = QByteArray::number(m_job.sources.size());
    }

    // Hands the output on once it holds a chunk; called between drawings,
    // so that every piece ends with a whole line.
    bool handOnWholeChunk() { return m_out.size() < m_chunk || handOn(); }

    bool handOn()
    {
        const QByteArrayView bytes = m_out.view();
        m_out.clear();
        return m_sink(QByteArray::fromRawData(bytes.data(), bytes.size()));
    }

    void line(std::initializer_list<QByteArrayView> pieces)
    {
        for (QByteArrayView piece : pieces)
            m_out.put(piece);
        m_out.put("\r\n");
    }

    // A drawing's own name and the temporary name it is made under, as
    // tokens in m_final and m_partial.
    void drawingNames(Pieces destination, Pieces partialName)
    {
        m_final.clear();
        appendToken(m_final, destination, m_common.folder, m_common.folderQuoted);
        m_partial.clear();
        appendToken(m_partial, partialName, m_common.folder, m_common.folderQuoted);
    }

    // A drawing of a job that goes on where it stopped. It is made under a
    // temporary name beside its own and moved onto its own name as its last
    // step, so that its own name exists only once its conversion ran to the
    // end; a leftover temporary drawing is deleted first.
    void skippableDrawing(qsizetype i, Pieces destination, Pieces partialName)
    {
        const QString &path = m_job.sources.at(i);
        drawingNames(destination, partialName);
        const QByteArrayView final = m_final.view();
        const QByteArrayView partial = m_partial.view();
        const QByteArray label = "DONE" + QByteArray::number(i + 1).rightJustified(m_common.labelWidth, '0');
        line({"IF EXIST ", final, " GOTO ", label});
        line({"IF EXIST ", partial, " DEL ", partial});
        const QByteArrayView intermediate = m_common.intermediate;
        if (intermediate.isEmpty()) {
            convert(m_common.head, path, partial);
        } else {
            line({"IF EXIST ", intermediate, " DEL ", intermediate});
            convert(m_common.r13, path, intermediate);
            convert(m_common.r12, QString(), partial, intermediate);
            line({"DEL ", intermediate});
        }
        line({"IF EXIST ", partial, " MOVE /Y ", partial, " ", final});
        line({":", label});
    }

    // The converter's line itself: `converter` up to its input, the input
    // (`source` as a path, or `input` as a token), then `output`.
    void converterLine(QByteArrayView converter, const QString &source, QByteArrayView output, QByteArrayView input)
    {
        m_out.put(converter);
        if (input.isEmpty())
            appendToken(m_out, {source});
        else
            m_out.put(input);
        line({" ", output});
    }

    // One converter line. A run that skips finished drawings deletes the
    // output of a converter that crashed or was stopped (a negative
    // status), which would otherwise be taken as finished; with
    // checkExitStatus, any status but 0 deletes it. The input is `source`
    // as a path, or `input` as a token.
    void convert(QByteArrayView converter, const QString &source, QByteArrayView output, QByteArrayView input = {})
    {
        converterLine(converter, source, output, input);
        // A crash or a Ctrl+C ends the converter with a negative status,
        // below what ERRORLEVEL 1 sees.
        if (m_job.checkExitStatus)
            line({"IF ERRORLEVEL 1 DEL ", output});
        if (m_job.skipExisting)
            line({"IF NOT ERRORLEVEL 0 DEL ", output});
    }

    // The report form: the batch file says on the console and in its
    // title which drawing it is at, writes each drawing's outcome to a
    // report beside itself, and ends with status 1 when any failed. Every
    // variable it sets is gone when it ends (SETLOCAL).
    static QByteArray words(const char16_t *text) { return cp932::encode(QString::fromUtf16(text)); }

    void reportHead()
    {
        static const QByteArray head = "@ECHO OFF\r\n"
                                       "SETLOCAL ENABLEEXTENSIONS DISABLEDELAYEDEXPANSION\r\n"
                                       "SET \"TESSIVA_LOG=%~dpn0.LOG\"\r\n"
                                       "SET TESSIVA_CONVERTED=0\r\n"
                                       "SET TESSIVA_THERE=0\r\n"
                                       "SET TESSIVA_FAILED=0\r\n"
                                       // A folder that takes no file (a CD): the run goes on.
                                       "COPY /Y NUL \"%TESSIVA_LOG%\" >NUL 2>NUL\r\n"
                                       "IF ERRORLEVEL 1 SET \"TESSIVA_LOG=NUL\"\r\n"
            + words(u"IF \"%TESSIVA_LOG%\"==\"NUL\" ECHO 実行結果を記録できません: \"%~dpn0.LOG\"\r\n"
                    u">>\"%TESSIVA_LOG%\" ECHO Tessiva 実行結果\r\n"
                    u">>\"%TESSIVA_LOG%\" ECHO 開始: %DATE% %TIME%\r\n"
                    u">>\"%TESSIVA_LOG%\" ECHO バッチファイル: \"%~f0\"\r\n"
                    u">>\"%TESSIVA_LOG%\" ECHO 図面の数: ");
        line({head, m_common.count});
    }

    void reportTail()
    {
        static const QByteArray tail
            = words(u"SET \"TESSIVA_COUNTS=変換しました: %TESSIVA_CONVERTED% 件、既にあるので飛ばしました: "
                    u"%TESSIVA_THERE% 件、失敗しました: %TESSIVA_FAILED% 件\"\r\n"
                    u"ECHO %TESSIVA_COUNTS%\r\n"
                    u">>\"%TESSIVA_LOG%\" ECHO %TESSIVA_COUNTS%\r\n"
                    u">>\"%TESSIVA_LOG%\" ECHO 終了: %DATE% %TIME%\r\n"
                    u"TITLE %TESSIVA_COUNTS%\r\n"
                    u"IF NOT %TESSIVA_FAILED%==0 EXIT /B 1\r\n"
                    u"EXIT /B 0\r\n");
        m_out.put(tail);
    }

    // A drawing of the report form: made under its temporary name, moved
    // onto its own name once it was made, and counted as converted only
    // then; an earlier run's drawing is never lost to a failed conversion.
    void reportedDrawing(qsizetype i, Pieces destination, Pieces partialName)
    {
        static const QByteArray log = ">>\"%TESSIVA_LOG%\" ECHO ";
        static const QByteArray converted = words(u" 変換しました: ");
        static const QByteArray there = words(u" 既にあるので飛ばしました");
        static const QByteArray failed = words(u" 失敗しました（%TESSIVA_WHY%）");
        static const QByteArray notMoved = words(u"SET \"TESSIVA_WHY=図面を移せませんでした\"");
        const QString &path = m_job.sources.at(i);
        drawingNames(destination, partialName);
        m_name.clear();
        appendEchoText(m_name, path);
        m_place = QByteArray::number(i + 1) + '/' + m_common.count;
        const QByteArrayView final = m_final.view();
        const QByteArrayView partial = m_partial.view();
        const QByteArrayView name = m_name.view();
        m_number = QByteArray::number(i + 1).rightJustified(m_common.labelWidth, '0');
        line({"TITLE ", m_place, " ", name});
        line({"ECHO ", m_place, " ", name});
        if (m_job.skipExisting)
            line({"IF EXIST ", final, " GOTO THERE", m_number});
        line({"IF EXIST ", partial, " DEL ", partial});
        const QByteArrayView intermediate = m_common.intermediate;
        if (intermediate.isEmpty()) {
            reportedPass(m_common.head, path, partial, {}, {});
        } else {
            static const QByteArray first = words(u"1回目の変換 R13→R12: ");
            static const QByteArray second = words(u"2回目の変換 R12→GX3: ");
            line({"IF EXIST ", intermediate, " DEL ", intermediate});
            reportedPass(m_common.r13, path, intermediate, {}, first);
            reportedPass(m_common.r12, QString(), partial, intermediate, second);
            line({"DEL ", intermediate});
        }
        line({notMoved});
        line({"MOVE /Y ", partial, " ", final, " >NUL"});
        line({"IF EXIST ", partial, " GOTO FAILED", m_number});
        line({log, m_place, converted, name});
        line({"SET /A TESSIVA_CONVERTED+=1"});
        line({"GOTO DONE", m_number});
        if (m_job.skipExisting) {
            line({":THERE", m_number});
            line({"ECHO ", m_place, there});
            line({log, m_place, there, ": ", name});
            line({"SET /A TESSIVA_THERE+=1"});
            line({"GOTO DONE", m_number});
        }
        line({":FAILED", m_number});
        line({"IF EXIST ", partial, " DEL ", partial});
        if (!intermediate.isEmpty())
            line({"IF EXIST ", intermediate, " DEL ", intermediate});
        line({"ECHO ", m_place, failed});
        line({log, m_place, failed, ": ", name});
        line({"SET /A TESSIVA_FAILED+=1"});
        line({":DONE", m_number});
    }

    // One converter pass of the report form: a crash (a negative status)
    // is a failure, so is any status but 0 where the job checks it, and so
    // is an output that was not made. `pass` names the pass of two.
    void reportedPass(QByteArrayView converter, const QString &source, QByteArrayView output, QByteArrayView input,
                      QByteArrayView pass)
    {
        static const QByteArray status = words(u"終了ステータス %TESSIVA_STATUS%\"");
        static const QByteArray nothing = words(u"図面ができませんでした\"");
        converterLine(converter, source, output, input);
        line({"SET TESSIVA_STATUS=%ERRORLEVEL%"});
        line({"SET \"TESSIVA_WHY=", pass, status});
        line({"IF %TESSIVA_STATUS% LSS 0 GOTO FAILED", m_number});
        if (m_job.checkExitStatus)
            line({"IF %TESSIVA_STATUS% NEQ 0 GOTO FAILED", m_number});
        line({"SET \"TESSIVA_WHY=", pass, nothing});
        line({"IF NOT EXIST ", output, " GOTO FAILED", m_number});
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
        vectorstate::clearUpperHalves();
        const QString whole = m_job.destinationFolder + below;
        const QStringView folder = whole.endsWith(u'\\') ? QStringView(whole).chopped(1) : QStringView(whole);
        if (folder.isEmpty() || folder.endsWith(u':'))
            return; // the root of a drive is always there
        line({"IF NOT EXIST ", token({whole}), " MD ", token({folder})});
    }

    const JobPlan &m_plan;
    const ConversionJob &m_job;
    const std::function<bool(const QByteArray &)> &m_sink;
    const qsizetype m_chunk;
    Common m_common;
    Bytes m_out;
    Bytes m_final;
    Bytes m_partial;
    Bytes m_name; // a report's drawing as ECHO shows it
    QByteArray m_place; // "n/N"
    QByteArray m_number; // the drawing's number in its labels
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

bool composeTo(const JobPlan &plan, QIODevice &device, qsizetype chunk)
{
    return composeBytes(
        plan, [&device](const QByteArray &bytes) { return writeFully(device, bytes); }, chunk);
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
