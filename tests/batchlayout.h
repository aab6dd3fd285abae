#pragma once

// The layout of each form of batch file, worked out one line at a time from
// the job alone, as cmd.exe is to read it (batchwords.h). The fuzzer and
// the composer's random jobs hold the composer's lines against it; the
// bytes of the worked jobs are held by the stored files (tests/data/batch).
#include "batchbytes.h"
#include "batchwords.h"
#include "core/job/conversionjob.h"
#include "core/job/jobpath.h"
#include "core/text/textrules.h"

#include <QList>
#include <QSet>
#include <QStringList>

namespace batchwords {

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

} // namespace batchwords
