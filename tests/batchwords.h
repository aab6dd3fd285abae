#pragma once

// The batch file of a job as cmd.exe reads it: the words of every line,
// and the words each line should have, worked out one line at a time from
// the job alone. The fuzzer and the composer's tests hold the composer's
// lines against it.
#include "batchbytes.h"
#include "core/job/conversionjob.h"
#include "core/job/jobpath.h"
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

// The work folder of a checked run in the destination folder.
inline QString workFolder(const ConversionJob &job) { return job.destinationFolder + QStringLiteral("~TESSIVA~"); }

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
            // A path ends with its closing quote, or else at a blank, at the
            // ")" that closes a FOR's set or at the "&" before the next
            // command: an unquoted one holds none of them.
            qsizetype end = -1;
            if (rest.startsWith(u'"')) {
                end = rest.indexOf(u'"', 1) + 1;
            } else {
                for (qsizetype c = 0; c < rest.size() && end < 0; ++c)
                    end = rest[c] == u' ' || rest[c] == u')' || rest[c] == u'&' ? c : -1;
            }
            if (end <= 0)
                end = rest.size();
            const std::optional<QStringList> words = cmdWords(rest.left(end).toString());
            if (words != QStringList{piece.text})
                return QStringLiteral("'%1' does not read as the path %2").arg(rest.left(end).toString(), piece.text);
            at += end;
            break;
        }
        case Piece::Shown: {
            // Up to the text that follows it, where it stands outside an
            // escape (a name's "^&" is no "&"), or the end of the line.
            qsizetype end = rest.size();
            if (k + 1 < expected.size() && expected.at(k + 1).kind == Piece::Text) {
                const QString &next = expected.at(k + 1).text;
                end = -1;
                for (qsizetype c = 0; c < rest.size() && end < 0; ++c) {
                    if (rest[c] == u'^')
                        ++c;
                    else if (rest.sliced(c).startsWith(next))
                        end = c;
                }
            }
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

// The head of the checked forms (--skip-existing and the report form), up
// to the run's own lines; `at` is "@" where commands are echoed.
inline QList<Line> checkedHead(const ConversionJob &job)
{
    const QString at = job.report ? QString() : QStringLiteral("@");
    QList<Line> lines;
    if (job.report)
        lines << line(QStringLiteral("@ECHO OFF"));
    for (const char16_t *t :
         {u"SETLOCAL ENABLEEXTENSIONS DISABLEDELAYEDEXPANSION", u"SET \"TESSIVA_CP932=\"", u"SET TESSIVA_CP932_TEST=タ",
          u"SET \"TESSIVA_CP932=1\"", u"SET TESSIVA_CP932_TEST=ｱ^", u"SET \"TESSIVA_CP932=\"",
          u"IF NOT DEFINED TESSIVA_CP932 GOTO TESSIVA_CODE_PAGE", u"SET \"TESSIVA_LOCK=%~dpn0.LCK\"",
          u"IF EXIST \"%TESSIVA_LOCK%\\*\" ECHO フォルダがあるのでロックファイルを作れません: \"%TESSIVA_LOCK%\"",
          u"IF EXIST \"%TESSIVA_LOCK%\\*\" SET \"TESSIVA_LOCK=NUL\"",
          u"IF NOT EXIST \"%TESSIVA_LOCK%\" COPY /Y NUL \"%TESSIVA_LOCK%\" >NUL 2>NUL",
          u"IF NOT EXIST \"%TESSIVA_LOCK%\" SET \"TESSIVA_LOCK=NUL\"", u"SET \"TESSIVA_RAN=\"",
          u"SET \"TESSIVA_HELD=\"", u"SET \"TESSIVA_EXIT=0\""})
        lines << line(at + QString::fromUtf16(t));
    if (job.report) {
        for (const char16_t *t : {u"SET \"TESSIVA_BATCH=%~f0\"", u"SET \"TESSIVA_REPORT=%~dpn0.LOG\""})
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

// A line that sets TESSIVA_WHY to `words` and `shown`.
inline Line why(const QString &at, const QString &words, const QString &shown)
{
    return {text(at + QStringLiteral("SET \"TESSIVA_WHY=") + words), batchwords::shown(shown),
            text(QStringLiteral("\""))};
}

// The report's head: the report started, the converter and its parameter
// files looked for.
inline QList<Line> reportHead(const ConversionJob &job)
{
    QList<Line> lines;
    for (const char16_t *t :
         {u"SET \"ERRORLEVEL=\"", u"SET \"DATE=\"", u"SET \"TIME=\"", u"SET \"TESSIVA_LOG=%TESSIVA_REPORT%\"",
          u"SET TESSIVA_CONVERTED=0", u"SET TESSIVA_LOOKED=0", u"SET TESSIVA_THERE=0", u"SET TESSIVA_FAILED=0",
          u"IF EXIST \"%TESSIVA_LOG%\\*\" SET \"TESSIVA_LOG=NUL\"", u"COPY /Y NUL \"%TESSIVA_LOG%\" >NUL 2>NUL",
          u"IF ERRORLEVEL 1 SET \"TESSIVA_LOG=NUL\"",
          u"IF \"%TESSIVA_LOG%\"==\"NUL\" ECHO 実行結果を記録できません: \"%TESSIVA_REPORT%\"",
          u">>\"%TESSIVA_LOG%\" ECHO Tessiva 実行結果", u">>\"%TESSIVA_LOG%\" ECHO 開始: %DATE% %TIME%",
          u">>\"%TESSIVA_LOG%\" ECHO バッチファイル: \"%TESSIVA_BATCH%\""})
        lines << line(QString::fromUtf16(t));
    lines << line(QStringLiteral(u">>\"%TESSIVA_LOG%\" ECHO 図面の数: %1").arg(job.sources.size()));
    const auto mustBeThere = [&](const QString &words, const QString &file) {
        const Piece stop = text(QStringLiteral(" GOTO TESSIVA_STOP"));
        lines << why(QString(), words, textrules::upperCased(file))
              << Line{text(QStringLiteral("IF NOT EXIST ")), path(file), stop}
              << Line{text(QStringLiteral("IF EXIST ")), path(file + QStringLiteral("\\*")), stop};
    };
    mustBeThere(QStringLiteral(u"変換プログラムがありません: "), job.autocadFolder + QStringLiteral("DXFIX.EXE"));
    if (job.kind != BatchKind::R12ToGX3)
        mustBeThere(QStringLiteral(u"パラメータファイルがありません: "), job.autocadFolder + job.r13ToR12Parameter);
    if (job.kind != BatchKind::R13ToR12)
        mustBeThere(QStringLiteral(u"パラメータファイルがありません: "), job.autocadFolder + job.r12ToGx3Parameter);
    return lines;
}

// The destination folder found, the work folder made and held, and the
// lines that stop a run before its first drawing.
inline QList<Line> holdDestination(const ConversionJob &job)
{
    const QString at = job.report ? QString() : QStringLiteral("@");
    const QString work = workFolder(job);
    const QString lock = work + QStringLiteral("\\RUN.LCK");
    const Piece stop = text(QStringLiteral(" GOTO TESSIVA_STOP"));
    QList<Line> lines;
    const QString &folder = job.destinationFolder;
    if (!jobpath::isDriveRoot(folder)) {
        lines << why(at, QStringLiteral(u"変換先フォルダがありません: "), textrules::upperCased(folder))
              << Line{text(at + QStringLiteral("IF NOT EXIST ")), path(folder + u'*'), stop};
    }
    lines << Line{text(at + QStringLiteral("IF NOT EXIST ")), path(work + QStringLiteral("\\*")),
                  text(QStringLiteral(" MD ")), path(work)}
          << why(at, QStringLiteral(u"作業フォルダを作れません: "), textrules::upperCased(work))
          << Line{text(at + QStringLiteral("IF NOT EXIST ")), path(work + QStringLiteral("\\*")), stop}
          << Line{text(at + QStringLiteral(u"SET \"TESSIVA_WHY=変換先フォルダでは別のバッチファイルが実行中です（")),
                  shown(textrules::upperCased(lock)),
                  text(QStringLiteral(u" を開けません）。その実行が終わってから、もう一度実行してください。\""))}
          << Line{text(at + QStringLiteral("CALL :TESSIVA_HOLD 2>>")), path(lock)}
          << line(at + QStringLiteral("IF NOT DEFINED TESSIVA_HELD GOTO TESSIVA_STOP"))
          << Line{text(at + QStringLiteral("DEL ")), path(lock)} << Line{text(at + QStringLiteral("RD ")), path(work)}
          << line(at + QStringLiteral("GOTO :EOF")) << line(QStringLiteral(":TESSIVA_STOP"));
    if (job.report) {
        for (const char16_t *t : {u"ECHO %TESSIVA_WHY%", u">>\"%TESSIVA_LOG%\" ECHO %TESSIVA_WHY%",
                                  u">>\"%TESSIVA_LOG%\" ECHO 図面を一つも変換していません。",
                                  u">>\"%TESSIVA_LOG%\" ECHO 終了: %DATE% %TIME%"})
            lines << line(QString::fromUtf16(t));
    } else {
        lines << line(QStringLiteral("@ECHO %TESSIVA_WHY%"));
    }
    lines << line(at + QStringLiteral("SET \"TESSIVA_EXIT=2\"")) << line(at + QStringLiteral("GOTO :EOF"))
          << line(QStringLiteral(":TESSIVA_HOLD")) << line(at + QStringLiteral("SET \"TESSIVA_HELD=1\""));
    QStringList files;
    if (job.kind == BatchKind::R13ToGX3)
        files << work + QStringLiteral("\\DUMMY.DXF");
    files << work + QStringLiteral("\\DRAWING.DXF");
    for (const QString &file : std::as_const(files))
        lines << Line{text(at + QStringLiteral("IF NOT EXIST ")),
                      path(file + QStringLiteral("\\*")),
                      text(QStringLiteral(" IF EXIST ")),
                      path(file),
                      text(QStringLiteral(" DEL ")),
                      path(file)};
    if (job.report) {
        const QString list = work + QStringLiteral("\\FAILED.TXT");
        lines << why(QString(), QStringLiteral(u"作業フォルダのファイルを使えません: "), textrules::upperCased(list))
              << Line{text(QStringLiteral("IF EXIST ")), path(list + QStringLiteral("\\*")), stop}
              << Line{text(QStringLiteral("TYPE NUL >")), path(list)}
              << Line{text(QStringLiteral("FOR %%F IN (")), path(list),
                      text(QStringLiteral(") DO IF NOT \"%%~zF\"==\"0\" GOTO TESSIVA_STOP"))};
    }
    return lines;
}

// The report's end: the counts, and the drawings to look at.
inline QList<Line> reportTail(const ConversionJob &job)
{
    const QString list = workFolder(job) + QStringLiteral("\\FAILED.TXT");
    QList<Line> lines;
    for (const char16_t *t :
         {u"SET \"TESSIVA_COUNTS=変換しました: %TESSIVA_CONVERTED% 件、要確認: %TESSIVA_LOOKED% 件、既にあるので飛ばし"
          u"ました: %TESSIVA_THERE% 件、失敗しました: %TESSIVA_FAILED% 件\"",
          u"ECHO %TESSIVA_COUNTS%", u">>\"%TESSIVA_LOG%\" ECHO %TESSIVA_COUNTS%",
          u"SET /A TESSIVA_LISTED=TESSIVA_FAILED+TESSIVA_LOOKED",
          u"IF NOT %TESSIVA_LISTED%==0 ECHO 失敗したか要確認の図面:"})
        lines << line(QString::fromUtf16(t));
    lines << Line{text(QStringLiteral("IF NOT %TESSIVA_LISTED%==0 TYPE ")), path(list)}
          << line(QStringLiteral(u"IF NOT %TESSIVA_LISTED%==0 >>\"%TESSIVA_LOG%\" ECHO 失敗したか要確認の図面:"))
          << Line{text(QStringLiteral("IF NOT %TESSIVA_LISTED%==0 TYPE ")), path(list),
                  text(QStringLiteral(" >>\"%TESSIVA_LOG%\""))}
          << Line{text(QStringLiteral("DEL ")), path(list)};
    for (const char16_t *t : {u">>\"%TESSIVA_LOG%\" ECHO 終了: %DATE% %TIME%", u"TITLE %TESSIVA_COUNTS%",
                              u"IF NOT %TESSIVA_FAILED%==0 SET \"TESSIVA_EXIT=1\"", u"GOTO :EOF"})
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
    const bool checked = job.report || job.skipExisting;
    const QString at = job.report ? QString() : QStringLiteral("@");
    // A converter line; in a checked run its standard error joins its output.
    const auto command = [&](const QString &parameter, const QString &in, const QString &out) {
        Line l{path(acad + QStringLiteral("DXFIX.EXE")),
               text(option + QStringLiteral(" -T")),
               path(acad + parameter),
               text(QStringLiteral(" ")),
               path(in),
               text(QStringLiteral(" ")),
               path(out)};
        if (checked)
            l << text(QStringLiteral(" 2>&1"));
        return l;
    };
    // A FOR over one name that goes to `label` where it is there (or not).
    const auto ifThere = [&](const QString &p, const QString &label, bool missing = false) {
        return Line{text(QStringLiteral("FOR %%F IN (")), path(p),
                    text(QStringLiteral(") DO ") + at
                         + (missing ? QStringLiteral("IF \"%%~aF\"==\"\" GOTO ")
                                    : QStringLiteral("IF NOT \"%%~aF\"==\"\" GOTO "))
                         + label)};
    };
    const auto del = [](const QString &p) { return Line{text(QStringLiteral("DEL ")), path(p)}; };
    // A drawing's own name looked up once, then where it is: a folder, or
    // a drawing already there.
    const auto lookUp = [&](const QString &p) {
        return Line{text(QStringLiteral("SET \"TESSIVA_A=\"& FOR %%F IN (")), path(p),
                    text(QStringLiteral(") DO ") + at + QStringLiteral("SET \"TESSIVA_A=%%~aF\""))};
    };
    const auto goWhereItIs = [&](const QString &folder, const QString &there, const QString &n) {
        return line(at + QStringLiteral("(IF \"%TESSIVA_A:~0,1%\"==\"d\" GOTO ") + folder + n
                    + QStringLiteral(")& IF DEFINED TESSIVA_A GOTO ") + there + n);
    };
    // A work file still there, a folder or a file, fails the drawing.
    const auto workFileGone = [&](const QString &at, const QString &file, const QString &folderWords,
                                  const QString &leftWords, const QString &label) {
        const QString shownFile = textrules::upperCased(file);
        return why(at, folderWords, shownFile)
            + Line{text(QStringLiteral("& (IF EXIST ")), path(file + QStringLiteral("\\*")),
                   text(QStringLiteral(" GOTO ") + label + QStringLiteral(")& SET \"TESSIVA_WHY=") + leftWords),
                   shown(shownFile), text(QStringLiteral("\"& "))}
        + ifThere(file, label);
    };
    // A work file removed where it is there.
    const auto ifDel = [&](const QString &p) {
        return Line{text(QStringLiteral("FOR %%F IN (")), path(p),
                    text(QStringLiteral(") DO ") + at + QStringLiteral("IF NOT \"%%~aF\"==\"\" DEL ")), path(p)};
    };

    QList<Line> expected;
    if (checked)
        expected << checkedHead(job);
    if (job.report)
        expected << reportHead(job);
    QSet<QString> made;
    const auto makeFolder = [&](const QString &below) {
        if (made.contains(textrules::windowsFolded(below)))
            return;
        made.insert(textrules::windowsFolded(below));
        const QString folder = job.destinationFolder + below;
        const QString created = folder.endsWith(u'\\') ? folder.chopped(1) : folder;
        if (!created.isEmpty() && !jobpath::isDriveRoot(folder))
            expected << Line{text(QStringLiteral("IF NOT EXIST ")), path(folder), text(QStringLiteral(" MD ")),
                             path(created)};
    };
    if (!job.treeRoot.isEmpty())
        makeFolder(QString());
    if (checked)
        expected << holdDestination(job);
    const QString work = workFolder(job);
    const QString intermediate
        = checked ? work + QStringLiteral("\\DUMMY.DXF") : job.destinationFolder + intermediateName(job);
    const QString drawing = work + QStringLiteral("\\DRAWING.DXF");
    const QString list = work + QStringLiteral("\\FAILED.TXT");
    const int width = int(QString::number(job.sources.size()).size());
    const QString count = QString::number(job.sources.size());
    const bool twoPasses = job.kind == BatchKind::R13ToGX3;
    const QString firstParameter = job.kind == BatchKind::R12ToGX3 ? job.r12ToGx3Parameter : job.r13ToR12Parameter;
    for (int i = 0; i < job.sources.size(); ++i) {
        const QString &source = job.sources.at(i);
        const DrawingNames names = drawingNames(job, source);
        const QString destination = job.destinationFolder + names.below + names.base + QStringLiteral(".DXF");
        if (!names.below.isEmpty())
            makeFolder(names.below);
        const QString n = QStringLiteral("%1").arg(i + 1, width, 10, QLatin1Char('0'));

        if (!checked) {
            if (twoPasses)
                expected << command(job.r13ToR12Parameter, source, intermediate)
                         << command(job.r12ToGx3Parameter, intermediate, destination) << del(intermediate);
            else
                expected << command(firstParameter, source, destination);
            continue;
        }

        const QString shownDestination = textrules::upperCased(destination);
        if (!job.report) {
            const Piece out = text(QStringLiteral(" GOTO OUT") + n);
            const auto made = [&](const QString &output) {
                Line l{text(QStringLiteral("@"))};
                if (job.checkExitStatus)
                    l << text(QStringLiteral("(IF ERRORLEVEL 1 GOTO FAILED") + n + QStringLiteral(")& "));
                l << text(QStringLiteral("(IF NOT ERRORLEVEL 0 GOTO FAILED") + n + QStringLiteral(")& "));
                return l + ifThere(output, QStringLiteral("FAILED") + n, true);
            };
            expected << why(at, QStringLiteral(u"フォルダがあるので変換しません: "), shownDestination)
                    + Line{text(QStringLiteral("& "))} + lookUp(destination)
                     << goWhereItIs(QStringLiteral("OUT"), QStringLiteral("DONE"), n);
            QStringList work{drawing};
            if (twoPasses)
                work.prepend(intermediate);
            for (const QString &file : std::as_const(work))
                expected << workFileGone(at, file, QStringLiteral(u"フォルダがあるので変換しません: "),
                                         QStringLiteral(u"消せないファイルがあるので変換しません: "),
                                         QStringLiteral("OUT") + n);
            // Shown on the console: the converter's lines only.
            Line move{text(QStringLiteral("MOVE /Y ")), path(drawing), text(QStringLiteral(" ")), path(destination),
                      text(QStringLiteral(" >NUL& "))};
            move << ifThere(destination, QStringLiteral("DONE") + n);
            if (twoPasses) {
                expected << command(job.r13ToR12Parameter, source, intermediate) << made(intermediate)
                         << command(job.r12ToGx3Parameter, intermediate, drawing) << made(drawing)
                         << Line{text(QStringLiteral("@DEL ")), path(intermediate), text(QStringLiteral("& "))} + move;
            } else {
                expected << command(firstParameter, source, drawing) << made(drawing)
                         << Line{text(QStringLiteral("@"))} + move;
            }
            Line cleanup{text(QStringLiteral("@"))};
            if (twoPasses)
                cleanup << text(QStringLiteral("(")) << ifDel(intermediate) << text(QStringLiteral(")& "));
            cleanup << text(QStringLiteral("(")) << ifDel(drawing) << text(QStringLiteral(")& "))
                    << why(QString(), QStringLiteral(u"変換できませんでした: "), shownDestination);
            expected << line(QStringLiteral(":FAILED") + n) << cleanup << line(QStringLiteral(":OUT") + n)
                     << line(QStringLiteral("@ECHO %TESSIVA_WHY%& SET \"TESSIVA_EXIT=1\""))
                     << line(QStringLiteral(":DONE") + n);
            continue;
        }

        // The report form.
        const QString place = QString::number(i + 1) + u'/' + count;
        const Piece refused = text(QStringLiteral(" GOTO REFUSED") + n);
        const auto pass = [&](const QString &parameter, const QString &in, const QString &to, const QString &which) {
            expected << command(parameter, in, to)
                     << line(QStringLiteral("SET TESSIVA_STATUS=%ERRORLEVEL%& SET \"TESSIVA_WHY=") + which
                             + QStringLiteral(u"終了ステータス %ERRORLEVEL%\"& (IF %ERRORLEVEL%==-1073741819 SET "
                                              u"\"TESSIVA_WHY=")
                             + which
                             + QStringLiteral(u"アクセス違反で異常終了しました、終了ステータス -1073741819 "
                                              u"(0xC0000005)\")& (IF %ERRORLEVEL%==-1073741510 SET \"TESSIVA_WHY=")
                             + which
                             + QStringLiteral(u"中断されました、終了ステータス -1073741510 (0xC000013A)\")& IF "
                                              u"%ERRORLEVEL% ")
                             + (job.checkExitStatus ? QStringLiteral("NEQ") : QStringLiteral("LSS"))
                             + QStringLiteral(" 0 GOTO FAILED") + n);
            if (!job.checkExitStatus)
                expected << line(QStringLiteral(
                    "IF %TESSIVA_STATUS% GTR 0 IF NOT DEFINED TESSIVA_LOOK SET \"TESSIVA_LOOK=%TESSIVA_WHY%\""));
            expected << line(QStringLiteral("SET \"TESSIVA_WHY=") + which
                             + QStringLiteral(u"図面ができませんでした\"& "))
                    + ifThere(to, QStringLiteral("FAILED") + n, true);
        };
        const auto logged = [&](const QString &to, const QString &words) {
            return Line{text(to + QStringLiteral(" ECHO ") + place + words), shown(source)};
        };
        const QString log = QStringLiteral(">>\"%TESSIVA_LOG%\"");
        const auto toList = [&](const QString &words) {
            return Line{text(QStringLiteral(">>")), path(list), text(QStringLiteral(" ECHO ") + place + words),
                        shown(source)};
        };
        expected << Line{text(QStringLiteral("TITLE ") + place + u' '),
                         shown(source),
                         text(QStringLiteral("& ECHO ") + place + u' '),
                         shown(source),
                         text(QStringLiteral("& ")
                              + (job.checkExitStatus ? QString() : QStringLiteral("SET \"TESSIVA_LOOK=\"& "))
                              + QStringLiteral(u"SET \"TESSIVA_WHY=フォルダがあります: ")),
                         shown(shownDestination),
                         text(QStringLiteral("\"& "))}
                + (job.skipExisting
                       ? lookUp(destination)
                       : Line{text(QStringLiteral("IF EXIST ")), path(destination + QStringLiteral("\\*")), refused});
        if (job.skipExisting)
            expected << goWhereItIs(QStringLiteral("REFUSED"), QStringLiteral("THERE"), n);
        QStringList work{drawing};
        if (twoPasses)
            work.prepend(intermediate);
        for (const QString &file : std::as_const(work))
            expected << workFileGone(at, file, QStringLiteral(u"フォルダがあります: "),
                                     QStringLiteral(u"消せないファイルがあります: "), QStringLiteral("REFUSED") + n);
        Line move{text(QStringLiteral(u"SET \"TESSIVA_WHY=図面を移せませんでした\"& MOVE /Y ")), path(drawing),
                  text(QStringLiteral(" ")), path(destination), text(QStringLiteral(" >NUL& "))};
        move << ifThere(drawing, QStringLiteral("FAILED") + n);
        if (twoPasses) {
            pass(job.r13ToR12Parameter, source, intermediate, QStringLiteral(u"1回目の変換 R13→R12: "));
            pass(job.r12ToGx3Parameter, intermediate, drawing, QStringLiteral(u"2回目の変換 R12→GX3: "));
            expected << Line{text(QStringLiteral("DEL ")), path(intermediate), text(QStringLiteral("& "))} + move;
        } else {
            pass(firstParameter, source, drawing, QString());
            expected << move;
        }
        const QString look = QStringLiteral(u" 要確認（%TESSIVA_LOOK%）");
        const QString failed = QStringLiteral(u" 失敗しました（%TESSIVA_WHY%）");
        const QString there = QStringLiteral(u" 既にあるので飛ばしました");
        if (!job.checkExitStatus)
            expected << line(QStringLiteral("IF DEFINED TESSIVA_LOOK GOTO LOOK") + n);
        expected << logged(log, QStringLiteral(u" 変換しました: "))
                + Line{text(QStringLiteral("& SET /A TESSIVA_CONVERTED+=1& GOTO DONE") + n)};
        if (!job.checkExitStatus)
            expected << line(QStringLiteral(":LOOK") + n)
                     << line(QStringLiteral("ECHO ") + place + look + QStringLiteral("& ")) + logged(log, look + u": ")
                    + Line{text(QStringLiteral("& "))} + toList(look + u": ")
                    + Line{text(QStringLiteral("& SET /A TESSIVA_LOOKED+=1& GOTO DONE") + n)};
        if (job.skipExisting)
            expected << line(QStringLiteral(":THERE") + n)
                     << line(QStringLiteral("ECHO ") + place + there + QStringLiteral("& "))
                    + logged(log, there + u": ")
                    + Line{text(QStringLiteral("& SET /A TESSIVA_THERE+=1& GOTO DONE") + n)};
        Line cleanup;
        if (twoPasses)
            cleanup << text(QStringLiteral("(")) << ifDel(intermediate) << text(QStringLiteral(")& "));
        cleanup << ifDel(drawing);
        expected << line(QStringLiteral(":FAILED") + n) << cleanup << line(QStringLiteral(":REFUSED") + n)
                 << line(QStringLiteral("ECHO ") + place + failed + QStringLiteral("& ")) + logged(log, failed + u": ")
                + Line{text(QStringLiteral("& "))} + toList(failed + u": ")
                + Line{text(QStringLiteral("& SET /A TESSIVA_FAILED+=1"))}
                 << line(QStringLiteral(":DONE") + n);
    }
    if (job.report)
        expected << reportTail(job);
    else if (checked)
        expected << line(QStringLiteral("@GOTO :EOF"));
    return expected;
}

// Whether every line of the batch file of `job` reads as the layout above
// states it; a line that does not is said as a warning.
inline bool readsAsMeant(const ConversionJob &job)
{
    const QString why = mismatch(composeBatchLines(job), expectedLines(job));
    if (!why.isEmpty())
        qWarning("%s", qPrintable(why));
    return why.isEmpty();
}

} // namespace batchwords
