#pragma once

// Every line of each form of batch file for a job, as the layout states it
// (batchlayout.h), and whether the composer's lines read so.
#include "batchlayout.h"

namespace batchwords {

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
