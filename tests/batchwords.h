#pragma once

// The batch file of a job as cmd.exe reads it: the words of every line,
// and the words each line should have, worked out one line at a time from
// the job alone. The fuzzer and the composer's tests hold the composer's
// lines against it.
#include "core/job/conversionjob.h"
#include "core/text/textrules.h"

#include <QList>
#include <QSet>
#include <QStringList>

#include <optional>

namespace batchwords {

// Splits a line the way cmd.exe does: blanks outside quotes separate words,
// quotes are removed, %% is one %. Nothing when cmd.exe would read some of
// it as an operator, a variable or the end of the command.
inline std::optional<QStringList> cmdWords(const QString &line)
{
    QStringList words;
    QString word;
    bool quoted = false;
    bool inWord = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line.at(i);
        if (c == u'"') {
            quoted = !quoted;
            inWord = true;
            continue;
        }
        if (c == u'%') {
            if (i + 1 >= line.size() || line.at(i + 1) != u'%')
                return std::nullopt;
            word += u'%';
            ++i;
            inWord = true;
            continue;
        }
        if (!quoted && c == u' ') {
            if (inWord)
                words << word;
            word.clear();
            inWord = false;
            continue;
        }
        if ((!quoted && QStringLiteral("&|<>^(),;=").contains(c)) || c.unicode() < 0x20)
            return std::nullopt;
        word += c;
        inWord = true;
    }
    if (quoted)
        return std::nullopt;
    if (inWord)
        words << word;
    return words;
}

// The text ECHO or TITLE shows for the rest of a line, as cmd.exe reads it:
// ^ takes the next character as it is, %% is one %. Nothing when cmd.exe
// would take some of it as an operator or a variable.
inline std::optional<QString> echoedText(QStringView rest)
{
    QString shown;
    for (qsizetype i = 0; i < rest.size(); ++i) {
        const QChar c = rest.at(i);
        if (c == u'^') {
            if (++i >= rest.size())
                return std::nullopt;
            shown += rest.at(i);
        } else if (c == u'%') {
            if (++i >= rest.size() || rest.at(i) != u'%')
                return std::nullopt;
            shown += u'%';
        } else if (QStringLiteral("&|<>").contains(c) || c.unicode() < 0x20) {
            return std::nullopt;
        } else {
            shown += c;
        }
    }
    return shown;
}

// The names of a job's drawings, worked out here from the paths alone, so
// that a fault in the program's own naming shows as a difference.
struct DrawingNames
{
    QString below; // the folder below the tree's root, ending in "\\", or empty
    QString base; // the name cut before the first occurrence of its extension
};

inline DrawingNames drawingNames(const ConversionJob &job, const QString &source)
{
    qsizetype nameStart = source.size();
    while (nameStart > 0 && source.at(nameStart - 1) != u'\\' && source.at(nameStart - 1) != u':')
        --nameStart;
    const QString name = source.mid(nameStart);
    const qsizetype dot = name.lastIndexOf(u'.');
    const QString base = dot < 0 ? name : name.left(name.indexOf(name.mid(dot)));
    const QString below
        = job.treeRoot.isEmpty() ? QString() : source.mid(job.treeRoot.size(), nameStart - job.treeRoot.size());
    return {below, base};
}

// "dummy.dxf" in the destination folder, or "dummy1.dxf" … where a drawing
// goes there under that name.
inline QString intermediateName(const ConversionJob &job)
{
    QSet<QString> taken;
    for (const QString &source : job.sources) {
        const DrawingNames d = drawingNames(job, source);
        if (d.below.isEmpty())
            taken.insert(textrules::windowsFolded(d.base));
    }
    for (int n = 0;; ++n) {
        const QString base = n == 0 ? QStringLiteral("dummy") : QStringLiteral("dummy%1").arg(n);
        if (!taken.contains(textrules::windowsFolded(base)))
            return base + QStringLiteral(".dxf");
    }
}

// "~TESSIVA~", or "~TESSIVA1~" … where a drawing would be made under a name
// that is another drawing's own.
inline QString partialPrefix(const ConversionJob &job)
{
    QSet<QString> own;
    for (const QString &source : job.sources) {
        const DrawingNames d = drawingNames(job, source);
        own.insert(textrules::windowsFolded(QString(d.below + d.base)));
    }
    for (int n = 0;; ++n) {
        const QString prefix = n == 0 ? QStringLiteral("~TESSIVA~") : QStringLiteral("~TESSIVA%1~").arg(n);
        bool taken = false;
        for (const QString &source : job.sources) {
            const DrawingNames d = drawingNames(job, source);
            taken = taken || own.contains(textrules::windowsFolded(QString(d.below + prefix + d.base)));
        }
        if (!taken)
            return prefix;
    }
}

// One piece of a line as the layout states it: text that stands as it is,
// a path as cmd.exe takes it (its words quoted or not, %% one %), or a text
// as ECHO shows it (^ escapes, %% one %).
struct Piece
{
    enum Kind { Text, Path, Shown } kind;
    QString text;
};
using Line = QList<Piece>;
inline Piece text(const QString &t) { return {Piece::Text, t}; }
inline Piece path(const QString &p) { return {Piece::Path, textrules::upperCased(p)}; }
inline Piece shown(const QString &s) { return {Piece::Shown, s}; }
inline Line line(const QString &t) { return {text(t)}; }

// Why `written` does not read as `expected`, or an empty text.
inline QString mismatch(const QString &written, const Line &expected)
{
    qsizetype at = 0;
    for (qsizetype k = 0; k < expected.size(); ++k) {
        const Piece &piece = expected.at(k);
        const QStringView rest = QStringView(written).mid(at);
        switch (piece.kind) {
        case Piece::Text:
            if (!rest.startsWith(piece.text))
                return QStringLiteral("'%1' where '%2' stands").arg(rest.toString(), piece.text);
            at += piece.text.size();
            break;
        case Piece::Path: {
            // A path ends with its closing quote, or else at a blank.
            qsizetype end = rest.startsWith(u'"') ? rest.indexOf(u'"', 1) + 1 : rest.indexOf(u' ');
            if (end <= 0)
                end = rest.size();
            const std::optional<QStringList> words = cmdWords(rest.left(end).toString());
            if (words != QStringList{piece.text})
                return QStringLiteral("'%1' does not read as the path %2").arg(rest.left(end).toString(), piece.text);
            at += end;
            break;
        }
        case Piece::Shown: {
            // Up to the text that follows it, or the end of the line.
            qsizetype end = rest.size();
            if (k + 1 < expected.size() && expected.at(k + 1).kind == Piece::Text)
                end = rest.indexOf(expected.at(k + 1).text);
            if (end < 0 || echoedText(rest.left(end)) != piece.text)
                return QStringLiteral("'%1' does not show '%2'").arg(rest.toString(), piece.text);
            at += end;
            break;
        }
        }
    }
    return at == written.size() ? QString() : QStringLiteral("'%1' left over").arg(written.mid(at));
}

// Why the lines of a batch file do not read as the layout states them, or
// an empty text.
inline QString mismatch(const QStringList &written, const QList<Line> &expected)
{
    for (qsizetype i = 0; i < qMin(written.size(), expected.size()); ++i) {
        if (const QString why = mismatch(written.at(i), expected.at(i)); !why.isEmpty())
            return QStringLiteral("line %1: %2 (%3)").arg(i + 1).arg(why, written.at(i));
    }
    if (written.size() != expected.size())
        return QStringLiteral("%1 lines, %2 expected").arg(written.size()).arg(expected.size());
    return QString();
}

// The head of the forms that run under a lock in a console of code page
// 932 (--skip-existing and the report form); `at` is "@" where commands
// are echoed.
inline QList<Line> guardedHead(const ConversionJob &job)
{
    const QString at = job.report ? QString() : QStringLiteral("@");
    QList<Line> lines;
    if (job.report)
        lines << line(QStringLiteral("@ECHO OFF"));
    for (const char16_t *t :
         {u"SETLOCAL ENABLEEXTENSIONS DISABLEDELAYEDEXPANSION", u"SET \"TESSIVA_CP932=\"", u"SET TESSIVA_CP932_TEST=タ",
          u"SET \"TESSIVA_CP932=1\"", u"SET TESSIVA_CP932_TEST=ｱ^", u"SET \"TESSIVA_CP932=\"",
          u"IF NOT DEFINED TESSIVA_CP932 GOTO TESSIVA_CODE_PAGE", u"SET \"TESSIVA_LOCK=%~dpn0.LCK\"",
          u"IF EXIST \"%TESSIVA_LOCK%\\*\" SET \"TESSIVA_LOCK=NUL\"",
          u"IF NOT EXIST \"%TESSIVA_LOCK%\" COPY /Y NUL \"%TESSIVA_LOCK%\" >NUL 2>NUL",
          u"IF NOT EXIST \"%TESSIVA_LOCK%\" SET \"TESSIVA_LOCK=NUL\"", u"SET \"TESSIVA_RAN=\"",
          u"SET \"TESSIVA_EXIT=0\""})
        lines << line(at + QString::fromUtf16(t));
    if (job.report) {
        for (const char16_t *t :
             {u"SET \"TESSIVA_BATCH=%~f0\"", u"SET \"TESSIVA_REPORT=%~dpn0.LOG\"", u"SET \"TESSIVA_LIST=%~dpn0.TMP\""})
            lines << line(QString::fromUtf16(t));
    }
    for (const char16_t *t :
         {u"CALL :TESSIVA_RUN 2>>\"%TESSIVA_LOCK%\"", u"IF NOT DEFINED TESSIVA_RAN GOTO TESSIVA_BUSY",
          u"IF NOT \"%TESSIVA_LOCK%\"==\"NUL\" DEL \"%TESSIVA_LOCK%\" >NUL 2>NUL", u"EXIT /B %TESSIVA_EXIT%"})
        lines << line(at + QString::fromUtf16(t));
    lines << line(QStringLiteral(":TESSIVA_CODE_PAGE"))
          << line(at
                  + QStringLiteral("ECHO This batch file runs only in a console of code page 932 (Japanese): run CHCP "
                                   "932, then run it again."))
          << line(at + QStringLiteral("EXIT /B 2")) << line(QStringLiteral(":TESSIVA_BUSY"))
          << line(at
                  + QStringLiteral(u"ECHO このバッチファイルは別のところで実行中です。その実行が終わってから、もう一度"
                                   u"実行してください。"))
          << line(at + QStringLiteral("EXIT /B 2")) << line(QStringLiteral(":TESSIVA_RUN"))
          << line(at + QStringLiteral("SET \"TESSIVA_RAN=1\""));
    return lines;
}

// The report's head: the report started, the converter and its parameter
// files looked for.
inline QList<Line> reportHead(const ConversionJob &job)
{
    QList<Line> lines;
    for (const char16_t *t :
         {u"SET \"ERRORLEVEL=\"", u"SET \"TESSIVA_LOG=%TESSIVA_REPORT%\"", u"SET TESSIVA_CONVERTED=0",
          u"SET TESSIVA_LOOKED=0", u"SET TESSIVA_THERE=0", u"SET TESSIVA_FAILED=0", u"SET \"TESSIVA_PASS=\"",
          u"COPY /Y NUL \"%TESSIVA_LOG%\" >NUL 2>NUL", u"IF ERRORLEVEL 1 SET \"TESSIVA_LOG=NUL\"",
          u"IF \"%TESSIVA_LOG%\"==\"NUL\" SET \"TESSIVA_LIST=NUL\"", u"COPY /Y NUL \"%TESSIVA_LIST%\" >NUL 2>NUL",
          u"IF \"%TESSIVA_LOG%\"==\"NUL\" ECHO 実行結果を記録できません: \"%TESSIVA_REPORT%\"",
          u">>\"%TESSIVA_LOG%\" ECHO Tessiva 実行結果", u">>\"%TESSIVA_LOG%\" ECHO 開始: %DATE% %TIME%",
          u">>\"%TESSIVA_LOG%\" ECHO バッチファイル: \"%TESSIVA_BATCH%\""})
        lines << line(QString::fromUtf16(t));
    lines << line(QStringLiteral(u">>\"%TESSIVA_LOG%\" ECHO 図面の数: %1").arg(job.sources.size()));
    const auto mustBeThere = [&](int which, const QString &file) {
        const Piece to = text(QStringLiteral(" GOTO TESSIVA_MISSING%1").arg(which));
        lines << Line{text(QStringLiteral("IF NOT EXIST ")), path(file), to}
              << Line{text(QStringLiteral("IF EXIST ")), path(file + QStringLiteral("\\*")), to};
    };
    mustBeThere(1, job.autocadFolder + QStringLiteral("DXFIX.EXE"));
    if (job.kind != BatchKind::R12ToGX3)
        mustBeThere(2, job.autocadFolder + job.r13ToR12Parameter);
    if (job.kind != BatchKind::R13ToR12)
        mustBeThere(3, job.autocadFolder + job.r12ToGx3Parameter);
    return lines;
}

// The report's end: the counts, the drawings to look at, the end; the
// blocks that stop a run without its converter or a parameter file; the
// words of the converter's statuses.
inline QList<Line> reportTail(const ConversionJob &job)
{
    QList<Line> lines;
    for (const char16_t *t :
         {u"SET \"TESSIVA_COUNTS=変換しました: %TESSIVA_CONVERTED% 件、要確認: %TESSIVA_LOOKED% 件、既にあるので飛ばし"
          u"ました: %TESSIVA_THERE% 件、失敗しました: %TESSIVA_FAILED% 件\"",
          u"ECHO %TESSIVA_COUNTS%", u">>\"%TESSIVA_LOG%\" ECHO %TESSIVA_COUNTS%",
          u"SET /A TESSIVA_LISTED=TESSIVA_FAILED+TESSIVA_LOOKED",
          u"IF NOT %TESSIVA_LISTED%==0 >>\"%TESSIVA_LOG%\" ECHO 失敗したか要確認の図面:",
          u"IF NOT %TESSIVA_LISTED%==0 TYPE \"%TESSIVA_LIST%\" >>\"%TESSIVA_LOG%\"",
          u"IF NOT \"%TESSIVA_LIST%\"==\"NUL\" DEL \"%TESSIVA_LIST%\" >NUL 2>NUL",
          u">>\"%TESSIVA_LOG%\" ECHO 終了: %DATE% %TIME%", u"TITLE %TESSIVA_COUNTS%",
          u"IF NOT %TESSIVA_FAILED%==0 SET \"TESSIVA_EXIT=1\"", u"GOTO :EOF"})
        lines << line(QString::fromUtf16(t));
    const auto missing = [&](int which, const QString &words, const QString &file) {
        lines << line(QStringLiteral(":TESSIVA_MISSING%1").arg(which))
              << Line{text(QStringLiteral("ECHO ") + words), shown(textrules::upperCased(file))}
              << Line{text(QStringLiteral(">>\"%TESSIVA_LOG%\" ECHO ") + words), shown(textrules::upperCased(file))}
              << line(QStringLiteral("GOTO TESSIVA_STOPPED"));
    };
    missing(1, QStringLiteral(u"変換プログラムがありません: "), job.autocadFolder + QStringLiteral("DXFIX.EXE"));
    if (job.kind != BatchKind::R12ToGX3)
        missing(2, QStringLiteral(u"パラメータファイルがありません: "), job.autocadFolder + job.r13ToR12Parameter);
    if (job.kind != BatchKind::R13ToR12)
        missing(3, QStringLiteral(u"パラメータファイルがありません: "), job.autocadFolder + job.r12ToGx3Parameter);
    for (const char16_t *t :
         {u":TESSIVA_STOPPED", u">>\"%TESSIVA_LOG%\" ECHO 図面を一つも変換していません。",
          u">>\"%TESSIVA_LOG%\" ECHO 終了: %DATE% %TIME%",
          u"IF NOT \"%TESSIVA_LIST%\"==\"NUL\" DEL \"%TESSIVA_LIST%\" >NUL 2>NUL", u"SET \"TESSIVA_EXIT=2\"",
          u"GOTO :EOF", u":TESSIVA_STATUS_WORDS", u"SET \"TESSIVA_WHY=%TESSIVA_PASS%終了ステータス %TESSIVA_STATUS%\"",
          u"IF \"%TESSIVA_STATUS%\"==\"-1073741819\" SET \"TESSIVA_WHY=%TESSIVA_PASS%アクセス違反で異常終了しました、"
          u"終了ステータス -1073741819 (0xC0000005)\"",
          u"IF \"%TESSIVA_STATUS%\"==\"-1073741510\" SET \"TESSIVA_WHY=%TESSIVA_PASS%中断されました、終了ステータス "
          u"-1073741510 (0xC000013A)\"",
          u"GOTO :EOF"})
        lines << line(QString::fromUtf16(t));
    return lines;
}

// Every line of the batch file of `job`, in order, as the layout states it.
inline QList<Line> expectedLines(const ConversionJob &job)
{
    const QString acad = job.autocadFolder;
    const QString option = job.outputFormat == OutputFormat::Ascii
        ? QStringLiteral(" -A") + textrules::trimmed(job.precision)
        : QString();
    const bool guarded = job.report || job.skipExisting;
    // A converter line; under the lock its standard error joins its output.
    const auto command = [&](const QString &parameter, const QString &in, const QString &out) {
        Line l{path(acad + QStringLiteral("DXFIX.EXE")),
               text(option + QStringLiteral(" -T")),
               path(acad + parameter),
               text(QStringLiteral(" ")),
               path(in),
               text(QStringLiteral(" ")),
               path(out)};
        if (guarded)
            l << text(QStringLiteral(" 2>&1"));
        return l;
    };
    const auto ifExists = [](const QString &p, const QString &then, const QString &more = QString()) {
        Line l{text(QStringLiteral("IF EXIST ")), path(p), text(then)};
        if (!more.isNull())
            l << path(more);
        return l;
    };
    const auto del = [](const QString &p) { return Line{text(QStringLiteral("DEL ")), path(p)}; };
    // A QString, not the builder of one: the builder would outlive its parts.
    const auto isFolder = [](const QString &p) -> QString { return p + QStringLiteral("\\*"); };

    QList<Line> expected;
    if (guarded)
        expected << guardedHead(job);
    if (job.report)
        expected << reportHead(job);
    QSet<QString> made;
    const QString intermediate = job.destinationFolder + intermediateName(job);
    const QString prefix = partialPrefix(job);
    const int width = int(QString::number(job.sources.size()).size());
    const auto makeFolder = [&](const QString &below) {
        if (made.contains(textrules::windowsFolded(below)))
            return;
        made.insert(textrules::windowsFolded(below));
        const QString folder = job.destinationFolder + below;
        const QString created = folder.endsWith(u'\\') ? folder.chopped(1) : folder;
        if (!created.isEmpty() && !created.endsWith(u':'))
            expected << Line{text(QStringLiteral("IF NOT EXIST ")), path(folder), text(QStringLiteral(" MD ")),
                             path(created)};
    };
    if (!job.treeRoot.isEmpty())
        makeFolder(QString());
    const QString count = QString::number(job.sources.size());
    for (int i = 0; i < job.sources.size(); ++i) {
        const QString &source = job.sources.at(i);
        const DrawingNames names = drawingNames(job, source);
        const QString &below = names.below;
        const QString destination = job.destinationFolder + below + names.base + QStringLiteral(".DXF");
        const QString partial = job.destinationFolder + below + prefix + names.base + QStringLiteral(".DXF");
        if (!below.isEmpty())
            makeFolder(below);
        const QString number = QStringLiteral("%1").arg(i + 1, width, 10, QLatin1Char('0'));
        const QString out = guarded ? partial : destination;
        const bool twoPasses = job.kind == BatchKind::R13ToGX3;
        const QString firstParameter = job.kind == BatchKind::R12ToGX3 ? job.r12ToGx3Parameter : job.r13ToR12Parameter;

        if (!guarded) {
            if (twoPasses)
                expected << command(job.r13ToR12Parameter, source, intermediate)
                         << command(job.r12ToGx3Parameter, intermediate, out) << del(intermediate);
            else
                expected << command(firstParameter, source, out);
            continue;
        }

        if (!job.report) {
            // A folder where a file goes is named and the drawing left out.
            const auto folderCheck = [&](const QString &p) {
                expected << Line{text(QStringLiteral("@SET \"TESSIVA_WHY=")), shown(textrules::upperCased(p)),
                                 text(QStringLiteral("\""))}
                         << Line{text(QStringLiteral("@IF EXIST ")), path(isFolder(p)),
                                 text(QStringLiteral(" GOTO FOLDER") + number)};
            };
            const auto pass = [&](const QString &parameter, const QString &in, const QString &to) {
                expected << command(parameter, in, to);
                if (job.checkExitStatus)
                    expected << Line{text(QStringLiteral("IF ERRORLEVEL 1 DEL ")), path(to)};
                expected << Line{text(QStringLiteral("IF NOT ERRORLEVEL 0 DEL ")), path(to)};
            };
            folderCheck(destination);
            expected << ifExists(destination, QStringLiteral(" GOTO DONE") + number);
            folderCheck(partial);
            expected << ifExists(partial, QStringLiteral(" DEL "), partial);
            if (twoPasses) {
                folderCheck(intermediate);
                expected << ifExists(intermediate, QStringLiteral(" DEL "), intermediate);
                pass(job.r13ToR12Parameter, source, intermediate);
                pass(job.r12ToGx3Parameter, intermediate, partial);
                expected << del(intermediate);
            } else {
                pass(firstParameter, source, partial);
            }
            expected << ifExists(partial, QStringLiteral(" MOVE /Y "), partial)
                    + Line{text(QStringLiteral(" ")), path(destination)}
                     << line(QStringLiteral("@GOTO DONE") + number) << line(QStringLiteral(":FOLDER") + number)
                     << line(QStringLiteral(u"@ECHO フォルダがあるので変換しません: %TESSIVA_WHY%"))
                     << line(QStringLiteral("@SET \"TESSIVA_EXIT=1\"")) << line(QStringLiteral(":DONE") + number);
            continue;
        }

        // The report form.
        const QString place = QString::number(i + 1) + u'/' + count;
        const auto toLabel = [&](const QString &label) { return text(QStringLiteral(" GOTO ") + label + number); };
        const auto folderCheck = [&](const QString &p) {
            expected << Line{text(QStringLiteral(u"SET \"TESSIVA_WHY=フォルダがあります: ")),
                             shown(textrules::upperCased(p)), text(QStringLiteral("\""))}
                     << Line{text(QStringLiteral("IF EXIST ")), path(isFolder(p)), toLabel(QStringLiteral("FAILED"))};
        };
        const auto pass = [&](const QString &parameter, const QString &in, const QString &to, const QString &which) {
            expected << command(parameter, in, to) << line(QStringLiteral("SET TESSIVA_STATUS=%ERRORLEVEL%"));
            if (!which.isEmpty())
                expected << line(QStringLiteral("SET \"TESSIVA_PASS=") + which + u'"');
            expected << line(QStringLiteral("IF NOT %TESSIVA_STATUS%==0 CALL :TESSIVA_STATUS_WORDS"))
                     << line(QStringLiteral("IF %TESSIVA_STATUS% LSS 0 GOTO FAILED") + number)
                     << line(job.checkExitStatus
                                 ? QStringLiteral("IF %TESSIVA_STATUS% NEQ 0 GOTO FAILED") + number
                                 : QStringLiteral("IF %TESSIVA_STATUS% GTR 0 IF NOT DEFINED TESSIVA_LOOK SET "
                                                  "\"TESSIVA_LOOK=%TESSIVA_WHY%\""))
                     << line(QStringLiteral(u"SET \"TESSIVA_WHY=%TESSIVA_PASS%図面ができませんでした\""))
                     << Line{text(QStringLiteral("IF NOT EXIST ")), path(to), toLabel(QStringLiteral("FAILED"))};
        };
        const auto log = [&](const QString &words) {
            return Line{text(QStringLiteral(">>\"%TESSIVA_LOG%\" ECHO ") + place + words), shown(source)};
        };
        const auto listed = [&](const QString &words) {
            return Line{text(QStringLiteral(">>\"%TESSIVA_LIST%\" ECHO ") + place + words), shown(source)};
        };
        expected << Line{text(QStringLiteral("TITLE ") + place + u' '), shown(source)}
                 << Line{text(QStringLiteral("ECHO ") + place + u' '), shown(source)}
                 << line(QStringLiteral("SET \"TESSIVA_LOOK=\""));
        folderCheck(destination);
        if (job.skipExisting)
            expected << ifExists(destination, QStringLiteral(" GOTO THERE") + number);
        folderCheck(partial);
        expected << ifExists(partial, QStringLiteral(" DEL "), partial);
        if (twoPasses) {
            folderCheck(intermediate);
            expected << ifExists(intermediate, QStringLiteral(" DEL "), intermediate);
            pass(job.r13ToR12Parameter, source, intermediate, QStringLiteral(u"1回目の変換 R13→R12: "));
            pass(job.r12ToGx3Parameter, intermediate, partial, QStringLiteral(u"2回目の変換 R12→GX3: "));
            expected << del(intermediate);
        } else {
            pass(firstParameter, source, partial, QString());
        }
        const QString look = QStringLiteral(u" 要確認（%TESSIVA_LOOK%）");
        const QString failed = QStringLiteral(u" 失敗しました（%TESSIVA_WHY%）");
        expected << line(QStringLiteral(u"SET \"TESSIVA_WHY=図面を移せませんでした\""))
                 << Line{text(QStringLiteral("MOVE /Y ")), path(partial), text(QStringLiteral(" ")), path(destination),
                         text(QStringLiteral(" >NUL 2>NUL"))}
                 << ifExists(partial, QStringLiteral(" GOTO FAILED") + number)
                 << line(QStringLiteral("IF DEFINED TESSIVA_LOOK GOTO LOOK") + number)
                 << log(QStringLiteral(u" 変換しました: ")) << line(QStringLiteral("SET /A TESSIVA_CONVERTED+=1"))
                 << line(QStringLiteral("GOTO DONE") + number) << line(QStringLiteral(":LOOK") + number)
                 << line(QStringLiteral("ECHO ") + place + look) << log(look + QStringLiteral(": "))
                 << listed(look + QStringLiteral(": ")) << line(QStringLiteral("SET /A TESSIVA_LOOKED+=1"))
                 << line(QStringLiteral("GOTO DONE") + number);
        if (job.skipExisting) {
            const QString there = QStringLiteral(u" 既にあるので飛ばしました");
            expected << line(QStringLiteral(":THERE") + number) << line(QStringLiteral("ECHO ") + place + there)
                     << log(there + QStringLiteral(": ")) << line(QStringLiteral("SET /A TESSIVA_THERE+=1"))
                     << line(QStringLiteral("GOTO DONE") + number);
        }
        expected << line(QStringLiteral(":FAILED") + number)
                 << Line{text(QStringLiteral("IF EXIST ")),      path(partial),
                         text(QStringLiteral(" IF NOT EXIST ")), path(isFolder(partial)),
                         text(QStringLiteral(" DEL ")),          path(partial)};
        if (twoPasses)
            expected << Line{text(QStringLiteral("IF EXIST ")),      path(intermediate),
                             text(QStringLiteral(" IF NOT EXIST ")), path(isFolder(intermediate)),
                             text(QStringLiteral(" DEL ")),          path(intermediate)};
        expected << line(QStringLiteral("ECHO ") + place + failed) << log(failed + QStringLiteral(": "))
                 << listed(failed + QStringLiteral(": ")) << line(QStringLiteral("SET /A TESSIVA_FAILED+=1"))
                 << line(QStringLiteral(":DONE") + number);
    }
    if (job.report)
        expected << reportTail(job);
    else if (guarded)
        expected << line(QStringLiteral("@GOTO :EOF"));
    return expected;
}

} // namespace batchwords
