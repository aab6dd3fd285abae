#include "batchcomposer.h"

#include "core/files/filewrite.h"
#include "core/job/jobplan.h"
#include "core/text/cp932.h"
#include "core/text/textrules.h"

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
// it asks for quotes; `last` is one more part after `parts`.
void appendToken(Bytes &out, Pieces parts, QByteArrayView prefix = {}, bool quote = false, QStringView last = {})
{
    // No character takes more than two bytes. The token is written after
    // the place of its opening quote, which is filled in, or the token
    // moved onto it, once the whole token is known: one pass over the
    // token, where a first pass to find the quotes makes the whole tool
    // 1.05 times as slow (tessiva-batch, 100,000 drawings, 41 paired runs).
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

QByteArray echoText(QStringView text)
{
    Bytes out;
    appendEchoText(out, text);
    return out.bytes();
}

// Put after a name, "\\*" makes IF EXIST find it only where it is a folder.
constexpr QStringView kAnyName = u"\\*";

QByteArray token(Pieces parts, QStringView last = {})
{
    Bytes out;
    appendToken(out, parts, {}, false, last);
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
        if (m_guarded)
            guardedHead();
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
        if (m_guarded)
            guardedEnd();
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
        QByteArray intermediateFolder; // the same with "\\*": there only where it is a folder
        QByteArray intermediateShown; // as ECHO shows it
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
            m_common.intermediateFolder = token({m_job.destinationFolder, m_plan.intermediateName()}, kAnyName);
            m_common.intermediateShown
                = echoText(textrules::upperCased(m_job.destinationFolder + m_plan.intermediateName()));
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
    // tokens in m_final and m_partial; the same with "\*" after them, which
    // IF EXIST finds only where the name is a folder; and both as ECHO shows
    // them, for a message that names them.
    void drawingNames(qsizetype i, Pieces destination, Pieces partialName)
    {
        m_final.clear();
        appendToken(m_final, destination, m_common.folder, m_common.folderQuoted);
        m_partial.clear();
        appendToken(m_partial, partialName, m_common.folder, m_common.folderQuoted);
        m_finalFolder.clear();
        appendToken(m_finalFolder, destination, m_common.folder, m_common.folderQuoted, kAnyName);
        m_partialFolder.clear();
        appendToken(m_partialFolder, partialName, m_common.folder, m_common.folderQuoted, kAnyName);
        m_finalShown.clear();
        appendEchoText(m_finalShown, textrules::upperCased(m_plan.destination(i)));
        m_partialShown.clear();
        appendEchoText(m_partialShown, textrules::upperCased(m_plan.destination(i, m_common.partialPrefix)));
    }

    // The head of the forms that run under a lock and check the console's
    // code page (the report form and --skip-existing): their lines run in
    // :TESSIVA_RUN, called with its standard error on the lock file beside
    // the batch file (NAME.LCK), which cmd.exe holds open, and no other
    // process may open for writing, until the run ends. A second run of
    // the same batch file cannot open it, and ends with status 2 before it
    // touches anything. Where no lock file can be made (a read-only
    // folder), the run goes on without one.
    //
    // cmd.exe reads a batch file in the console's code page. Read in any
    // other than 932, a name's second byte may be taken for an operator
    // (0x7C for |): such a console is refused first. The two test lines end
    // in 0x83 0x5E and 0xB1 0x5E: in code page 932 the first is a character
    // and the second a half-width katakana and a caret that joins the next
    // line to it; in a code page of one byte a character (both) is followed
    // by a caret; in the other double-byte code pages both are characters.
    // Only in 932 does the line that sets TESSIVA_CP932 run and the one
    // that clears it again not.
    void guardedHead()
    {
        const QByteArray at = m_job.report ? QByteArray() : QByteArray("@");
        if (m_job.report)
            line({"@ECHO OFF"});
        for (QByteArrayView text :
             {QByteArrayView("SETLOCAL ENABLEEXTENSIONS DISABLEDELAYEDEXPANSION"),
              QByteArrayView("SET \"TESSIVA_CP932=\""), QByteArrayView("SET TESSIVA_CP932_TEST=\x83\x5e"),
              QByteArrayView("SET \"TESSIVA_CP932=1\""), QByteArrayView("SET TESSIVA_CP932_TEST=\xb1\x5e"),
              QByteArrayView("SET \"TESSIVA_CP932=\""),
              QByteArrayView("IF NOT DEFINED TESSIVA_CP932 GOTO TESSIVA_CODE_PAGE"),
              QByteArrayView("SET \"TESSIVA_LOCK=%~dpn0.LCK\""),
              QByteArrayView("IF EXIST \"%TESSIVA_LOCK%\\*\" SET \"TESSIVA_LOCK=NUL\""),
              QByteArrayView("IF NOT EXIST \"%TESSIVA_LOCK%\" COPY /Y NUL \"%TESSIVA_LOCK%\" >NUL 2>NUL"),
              QByteArrayView("IF NOT EXIST \"%TESSIVA_LOCK%\" SET \"TESSIVA_LOCK=NUL\""),
              QByteArrayView("SET \"TESSIVA_RAN=\""), QByteArrayView("SET \"TESSIVA_EXIT=0\"")})
            line({at, text});
        // %0 names the label inside :TESSIVA_RUN: the batch file's own
        // names are taken before it.
        if (m_job.report) {
            line({"SET \"TESSIVA_BATCH=%~f0\""});
            line({"SET \"TESSIVA_REPORT=%~dpn0.LOG\""});
            line({"SET \"TESSIVA_LIST=%~dpn0.TMP\""});
        }
        for (QByteArrayView text :
             {QByteArrayView("CALL :TESSIVA_RUN 2>>\"%TESSIVA_LOCK%\""),
              QByteArrayView("IF NOT DEFINED TESSIVA_RAN GOTO TESSIVA_BUSY"),
              QByteArrayView("IF NOT \"%TESSIVA_LOCK%\"==\"NUL\" DEL \"%TESSIVA_LOCK%\" >NUL 2>NUL"),
              QByteArrayView("EXIT /B %TESSIVA_EXIT%")})
            line({at, text});
        static const QByteArray busy
            = words(u"ECHO このバッチファイルは別のところで実行中です。その実行が終わってから、"
                    u"もう一度実行してください。");
        line({":TESSIVA_CODE_PAGE"});
        line({at,
              "ECHO This batch file runs only in a console of code page 932 (Japanese): run CHCP 932, "
              "then run it again."});
        line({at, "EXIT /B 2"});
        line({":TESSIVA_BUSY"});
        line({at, busy});
        line({at, "EXIT /B 2"});
        line({":TESSIVA_RUN"});
        line({at, "SET \"TESSIVA_RAN=1\""});
    }

    void guardedEnd()
    {
        if (!m_job.report) {
            line({"@GOTO :EOF"});
            return;
        }
        // A converter that ended with a status other than 0, in words: the
        // two a crash and an interrupted run give, and the number.
        static const QByteArray statusWords
            = words(u":TESSIVA_STATUS_WORDS\r\n"
                    u"SET \"TESSIVA_WHY=%TESSIVA_PASS%終了ステータス %TESSIVA_STATUS%\"\r\n"
                    u"IF \"%TESSIVA_STATUS%\"==\"-1073741819\" SET \"TESSIVA_WHY=%TESSIVA_PASS%"
                    u"アクセス違反で異常終了しました、終了ステータス -1073741819 (0xC0000005)\"\r\n"
                    u"IF \"%TESSIVA_STATUS%\"==\"-1073741510\" SET \"TESSIVA_WHY=%TESSIVA_PASS%"
                    u"中断されました、終了ステータス -1073741510 (0xC000013A)\"\r\n"
                    u"GOTO :EOF\r\n");
        m_out.put(statusWords);
    }

    // A drawing of a job that goes on where it stopped. It is made under a
    // temporary name beside its own and moved onto its own name as its last
    // step, so that its own name exists only once its conversion ran to the
    // end; a leftover temporary drawing is deleted first. A folder where
    // the drawing, its temporary name or the intermediate file goes is
    // never taken for the drawing, deleted or moved into: the drawing is
    // left out, said so, and the run ends with status 1.
    // The lines that send drawing m_number to its end for a folder (the
    // report's failure, or the skipping form's FOLDER) when a folder stands
    // at one of its names: `folder` is that name with "\\*", and `shown`
    // the name as the words about the folder give it.
    void folderGuard(QByteArrayView shown, QByteArrayView folder)
    {
        static const QByteArray reported = words(u"SET \"TESSIVA_WHY=フォルダがあります: ");
        if (m_job.report) {
            line({reported, shown, "\""});
            line({"IF EXIST ", folder, " GOTO FAILED", m_number});
        } else {
            line({"@SET \"TESSIVA_WHY=", shown, "\""});
            line({"@IF EXIST ", folder, " GOTO FOLDER", m_number});
        }
    }

    void skippableDrawing(qsizetype i, Pieces destination, Pieces partialName)
    {
        static const QByteArray folder = words(u"@ECHO フォルダがあるので変換しません: %TESSIVA_WHY%");
        const QString &path = m_job.sources.at(i);
        drawingNames(i, destination, partialName);
        const QByteArrayView final = m_final.view();
        const QByteArrayView partial = m_partial.view();
        m_number = QByteArray::number(i + 1).rightJustified(m_common.labelWidth, '0');
        folderGuard(m_finalShown.view(), m_finalFolder.view());
        line({"IF EXIST ", final, " GOTO DONE", m_number});
        folderGuard(m_partialShown.view(), m_partialFolder.view());
        line({"IF EXIST ", partial, " DEL ", partial});
        const QByteArrayView intermediate = m_common.intermediate;
        if (intermediate.isEmpty()) {
            convert(m_common.head, path, partial);
        } else {
            folderGuard(m_common.intermediateShown, m_common.intermediateFolder);
            line({"IF EXIST ", intermediate, " DEL ", intermediate});
            convert(m_common.r13, path, intermediate);
            convert(m_common.r12, QString(), partial, intermediate);
            line({"DEL ", intermediate});
        }
        line({"IF EXIST ", partial, " MOVE /Y ", partial, " ", final});
        line({"@GOTO DONE", m_number});
        line({":FOLDER", m_number});
        line({folder});
        line({"@SET \"TESSIVA_EXIT=1\""});
        line({":DONE", m_number});
    }

    // The converter's line itself: `converter` up to its input, the input
    // (`source` as a path, or `input` as a token), then `output`. Under the
    // lock of a guarded run its standard error joins its standard output,
    // on the console.
    void converterLine(QByteArrayView converter, const QString &source, QByteArrayView output, QByteArrayView input)
    {
        m_out.put(converter);
        if (input.isEmpty())
            appendToken(m_out, {source});
        else
            m_out.put(input);
        line({" ", output, " 2>&1"});
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
        line({"IF NOT ERRORLEVEL 0 DEL ", output});
    }

    // The report form: the batch file says on the console and in its
    // title which drawing it is at, writes each drawing's outcome to a
    // report beside itself, and ends with status 1 when any failed. Every
    // variable it sets is gone when it ends (SETLOCAL).
    static QByteArray words(const char16_t *text) { return cp932::encode(QString::fromUtf16(text)); }
    static QByteArray words(const QString &text) { return cp932::encode(text); }

    // What became of a drawing, as its report line and the totals say it.
    static constexpr QStringView kConverted = u"変換しました";
    static constexpr QStringView kToLookAt = u"要確認";
    static constexpr QStringView kAlreadyThere = u"既にあるので飛ばしました";
    static constexpr QStringView kFailed = u"失敗しました";

    // The report's head, and the check that the converter and the
    // parameter files it is given are there: a run without them would fail
    // every drawing, so it stops before the first, with status 2. ERRORLEVEL
    // is cleared first: a variable of that name, set by the caller, would
    // stand in for the converter's status.
    void reportHead()
    {
        static const QByteArray head = "SET \"ERRORLEVEL=\"\r\n"
                                       "SET \"TESSIVA_LOG=%TESSIVA_REPORT%\"\r\n"
                                       "SET TESSIVA_CONVERTED=0\r\n"
                                       "SET TESSIVA_LOOKED=0\r\n"
                                       "SET TESSIVA_THERE=0\r\n"
                                       "SET TESSIVA_FAILED=0\r\n"
                                       "SET \"TESSIVA_PASS=\"\r\n"
                                       // A folder that takes no file (a CD): the run goes on.
                                       "COPY /Y NUL \"%TESSIVA_LOG%\" >NUL 2>NUL\r\n"
                                       "IF ERRORLEVEL 1 SET \"TESSIVA_LOG=NUL\"\r\n"
                                       "IF \"%TESSIVA_LOG%\"==\"NUL\" SET \"TESSIVA_LIST=NUL\"\r\n"
                                       "COPY /Y NUL \"%TESSIVA_LIST%\" >NUL 2>NUL\r\n"
            + words(u"IF \"%TESSIVA_LOG%\"==\"NUL\" ECHO 実行結果を記録できません: \"%TESSIVA_REPORT%\"\r\n"
                    u">>\"%TESSIVA_LOG%\" ECHO Tessiva 実行結果\r\n"
                    u">>\"%TESSIVA_LOG%\" ECHO 開始: %DATE% %TIME%\r\n"
                    u">>\"%TESSIVA_LOG%\" ECHO バッチファイル: \"%TESSIVA_BATCH%\"\r\n"
                    u">>\"%TESSIVA_LOG%\" ECHO 図面の数: ");
        line({head, m_common.count});
        const QStringView acad = m_job.autocadFolder;
        mustBeThere(1, {acad, kConverterName});
        if (usesR13ToR12Parameter(m_job.kind))
            mustBeThere(2, {acad, m_job.r13ToR12Parameter});
        if (usesR12ToGx3Parameter(m_job.kind))
            mustBeThere(3, {acad, m_job.r12ToGx3Parameter});
    }

    // The lines that stop the run before its first drawing when the file
    // made of `parts` is not there, or is a folder; each goes to a block of
    // its own at the end, which names the file.
    void mustBeThere(int which, Pieces parts)
    {
        const QByteArray label = " GOTO TESSIVA_MISSING" + QByteArray::number(which);
        line({"IF NOT EXIST ", token(parts), label});
        line({"IF EXIST ", token(parts, kAnyName), label});
        QString whole;
        for (QStringView part : parts)
            whole += part;
        m_missing.append({which, echoText(textrules::upperCased(whole))});
    }

    void reportTail()
    {
        static const QByteArray tail
            = words(u"SET \"TESSIVA_COUNTS=" % kConverted % u": %TESSIVA_CONVERTED% 件、" % kToLookAt
                    % u": %TESSIVA_LOOKED% 件、" % kAlreadyThere % u": %TESSIVA_THERE% 件、" % kFailed
                    % u": %TESSIVA_FAILED% 件\"\r\n"
                      u"ECHO %TESSIVA_COUNTS%\r\n"
                      u">>\"%TESSIVA_LOG%\" ECHO %TESSIVA_COUNTS%\r\n"
                      // The drawings to open, together at the end of a long report.
                      u"SET /A TESSIVA_LISTED=TESSIVA_FAILED+TESSIVA_LOOKED\r\n"
                      u"IF NOT %TESSIVA_LISTED%==0 >>\"%TESSIVA_LOG%\" ECHO 失敗したか要確認の図面:\r\n"
                      u"IF NOT %TESSIVA_LISTED%==0 TYPE \"%TESSIVA_LIST%\" >>\"%TESSIVA_LOG%\"\r\n"
                      u"IF NOT \"%TESSIVA_LIST%\"==\"NUL\" DEL \"%TESSIVA_LIST%\" >NUL 2>NUL\r\n"
                      u">>\"%TESSIVA_LOG%\" ECHO 終了: %DATE% %TIME%\r\n"
                      u"TITLE %TESSIVA_COUNTS%\r\n"
                      u"IF NOT %TESSIVA_FAILED%==0 SET \"TESSIVA_EXIT=1\"\r\n");
        static const QByteArray missing[]
            = {words(u"変換プログラムがありません: "), words(u"パラメータファイルがありません: ")};
        static const QByteArray stopped
            = words(u">>\"%TESSIVA_LOG%\" ECHO 図面を一つも変換していません。\r\n"
                    u">>\"%TESSIVA_LOG%\" ECHO 終了: %DATE% %TIME%\r\n"
                    u"IF NOT \"%TESSIVA_LIST%\"==\"NUL\" DEL \"%TESSIVA_LIST%\" >NUL 2>NUL\r\n"
                    u"SET \"TESSIVA_EXIT=2\"\r\n"
                    u"GOTO :EOF\r\n");
        m_out.put(tail);
        line({"GOTO :EOF"});
        for (const Missing &file : std::as_const(m_missing)) {
            const QByteArrayView words = missing[file.which == 1 ? 0 : 1];
            line({":TESSIVA_MISSING", QByteArray::number(file.which)});
            line({"ECHO ", words, file.shown});
            line({">>\"%TESSIVA_LOG%\" ECHO ", words, file.shown});
            line({"GOTO TESSIVA_STOPPED"});
        }
        line({":TESSIVA_STOPPED"});
        m_out.put(stopped);
    }

    // A drawing of the report form: made under its temporary name, moved
    // onto its own name once it was made, and counted as converted only
    // then; an earlier run's drawing is never lost to a failed conversion.
    // A converter that ended with a status other than 0 that the job does
    // not fail it for leaves a drawing to look at: counted apart, with the
    // status. A folder where the drawing, its temporary name or the
    // intermediate file goes fails the drawing, named.
    void reportedDrawing(qsizetype i, Pieces destination, Pieces partialName)
    {
        static const QByteArray log = ">>\"%TESSIVA_LOG%\" ECHO ";
        static const QByteArray list = ">>\"%TESSIVA_LIST%\" ECHO ";
        static const QByteArray converted = words(u' ' % kConverted % u": ");
        static const QByteArray there = words(u' ' % kAlreadyThere);
        static const QByteArray failed = words(u' ' % kFailed % u"（%TESSIVA_WHY%）");
        static const QByteArray look = words(u' ' % kToLookAt % u"（%TESSIVA_LOOK%）");
        static const QByteArray notMoved = words(u"SET \"TESSIVA_WHY=図面を移せませんでした\"");
        const QString &path = m_job.sources.at(i);
        drawingNames(i, destination, partialName);
        m_name.clear();
        appendEchoText(m_name, path);
        m_place = QByteArray::number(i + 1) + '/' + m_common.count;
        const QByteArrayView final = m_final.view();
        const QByteArrayView partial = m_partial.view();
        const QByteArrayView name = m_name.view();
        m_number = QByteArray::number(i + 1).rightJustified(m_common.labelWidth, '0');
        line({"TITLE ", m_place, " ", name});
        line({"ECHO ", m_place, " ", name});
        line({"SET \"TESSIVA_LOOK=\""});
        folderGuard(m_finalShown.view(), m_finalFolder.view());
        if (m_job.skipExisting)
            line({"IF EXIST ", final, " GOTO THERE", m_number});
        folderGuard(m_partialShown.view(), m_partialFolder.view());
        line({"IF EXIST ", partial, " DEL ", partial});
        const QByteArrayView intermediate = m_common.intermediate;
        if (intermediate.isEmpty()) {
            reportedPass(m_common.head, path, partial, {}, {});
        } else {
            static const QByteArray first = words(u"1回目の変換 R13→R12: ");
            static const QByteArray second = words(u"2回目の変換 R12→GX3: ");
            folderGuard(m_common.intermediateShown, m_common.intermediateFolder);
            line({"IF EXIST ", intermediate, " DEL ", intermediate});
            reportedPass(m_common.r13, path, intermediate, {}, first);
            reportedPass(m_common.r12, QString(), partial, intermediate, second);
            line({"DEL ", intermediate});
        }
        line({notMoved});
        line({"MOVE /Y ", partial, " ", final, " >NUL 2>NUL"});
        line({"IF EXIST ", partial, " GOTO FAILED", m_number});
        line({"IF DEFINED TESSIVA_LOOK GOTO LOOK", m_number});
        line({log, m_place, converted, name});
        line({"SET /A TESSIVA_CONVERTED+=1"});
        line({"GOTO DONE", m_number});
        line({":LOOK", m_number});
        line({"ECHO ", m_place, look});
        line({log, m_place, look, ": ", name});
        line({list, m_place, look, ": ", name});
        line({"SET /A TESSIVA_LOOKED+=1"});
        line({"GOTO DONE", m_number});
        if (m_job.skipExisting) {
            line({":THERE", m_number});
            line({"ECHO ", m_place, there});
            line({log, m_place, there, ": ", name});
            line({"SET /A TESSIVA_THERE+=1"});
            line({"GOTO DONE", m_number});
        }
        line({":FAILED", m_number});
        line({"IF EXIST ", partial, " IF NOT EXIST ", m_partialFolder.view(), " DEL ", partial});
        if (!intermediate.isEmpty())
            line({"IF EXIST ", intermediate, " IF NOT EXIST ", m_common.intermediateFolder, " DEL ", intermediate});
        line({"ECHO ", m_place, failed});
        line({log, m_place, failed, ": ", name});
        line({list, m_place, failed, ": ", name});
        line({"SET /A TESSIVA_FAILED+=1"});
        line({":DONE", m_number});
    }

    // One converter pass of the report form: a crash (a negative status)
    // is a failure, so is any status but 0 where the job checks it, and so
    // is an output that was not made; a positive status the job does not
    // check leaves the drawing to be looked at. `pass` names the pass of
    // two. The status is read from ERRORLEVEL, which no variable of that
    // name stands in for here (reportHead).
    void reportedPass(QByteArrayView converter, const QString &source, QByteArrayView output, QByteArrayView input,
                      QByteArrayView pass)
    {
        static const QByteArray nothing = words(u"SET \"TESSIVA_WHY=%TESSIVA_PASS%図面ができませんでした\"");
        converterLine(converter, source, output, input);
        line({"SET TESSIVA_STATUS=%ERRORLEVEL%"});
        if (!pass.isEmpty())
            line({"SET \"TESSIVA_PASS=", pass, "\""});
        line({"IF NOT %TESSIVA_STATUS%==0 CALL :TESSIVA_STATUS_WORDS"});
        line({"IF %TESSIVA_STATUS% LSS 0 GOTO FAILED", m_number});
        if (m_job.checkExitStatus)
            line({"IF %TESSIVA_STATUS% NEQ 0 GOTO FAILED", m_number});
        else
            line({"IF %TESSIVA_STATUS% GTR 0 IF NOT DEFINED TESSIVA_LOOK SET \"TESSIVA_LOOK=%TESSIVA_WHY%\""});
        line({nothing});
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
    Bytes m_finalFolder; // m_final with "\\*"
    Bytes m_partialFolder; // m_partial with "\\*"
    Bytes m_finalShown; // the drawing's own name as ECHO shows it
    Bytes m_partialShown; // its temporary name as ECHO shows it
    Bytes m_name; // a report's drawing as ECHO shows it
    QByteArray m_place; // "n/N"
    QByteArray m_number; // the drawing's number in its labels
    QSet<QString> m_madeFolders;
    // The report form's files that must be there, each with its block.
    struct Missing
    {
        int which; // 1 the converter, 2 and 3 the parameter files
        QByteArray shown;
    };
    QList<Missing> m_missing;
    // The forms that run under a lock, in a console of code page 932 only.
    const bool m_guarded = usesTemporaryNames(m_job);
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

QStringList composeBatchLines(const ConversionJob &job)
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
