#include "checkedrun.h"

#include "core/job/jobpath.h"
#include "core/job/jobplan.h"
#include "core/text/textrules.h"

namespace batch {

void NamedPath::set(Pieces parts)
{
    token = batch::token(parts);
    folder = batch::token(parts, kAnyName);
    QString whole;
    for (QStringView part : parts)
        whole += part;
    shown = echoText(textrules::upperCased(whole));
}

CheckedRun::CheckedRun(const JobPlan &plan, BatchWriter &w, Needs needs)
    : m_plan(plan)
    , m_needs(needs)
    , m_w(w)
    , m_at(needs.echoOff ? QByteArray() : QByteArray("@"))
{
    const ConversionJob &job = plan.job();
    m_destination.set({job.destinationFolder});
    const QString work = plan.workFolder();
    m_work.set({QStringView(work).chopped(1)});
    m_intermediate.set({work, JobPlan::kWorkIntermediate});
    m_drawing.set({work, JobPlan::kWorkDrawing});
    m_list.set({work, JobPlan::kWorkList});
    m_lock.set({work, JobPlan::kWorkLock});
}

void CheckedRun::set(QByteArrayView name, QByteArrayView value) { m_w.line({m_at, "SET \"", name, "=", value, "\""}); }

// cmd.exe reads a batch file in the console's code page. Read in any other
// than 932, a name's second byte may be taken for an operator (0x7C for
// |): such a console is refused first. The two test lines end in 0x83 0x5E
// and 0xB1 0x5E: in code page 932 the first is a character and the second
// a half-width katakana and a caret that joins the next line to it; in a
// code page of one byte a character (both) is followed by a caret; in the
// other double-byte code pages both are characters. Only in 932 does the
// line that sets TESSIVA_CP932 run and the one that clears it again not.
//
// The run's lines go on in :TESSIVA_RUN, called with its standard error on
// the lock file beside the batch file (NAME.LCK), which cmd.exe holds open,
// and no other process may open for writing, until the run ends. A second
// run of the same batch file cannot open it, and ends with status 2 before
// it touches anything. Where no lock file can be made (a read-only folder,
// a folder of that name), the run goes on without one, and a folder there
// is named.
void CheckedRun::head()
{
    if (m_needs.echoOff)
        m_w.line({"@ECHO OFF"});
    for (QByteArrayView text :
         {QByteArrayView("SETLOCAL ENABLEEXTENSIONS DISABLEDELAYEDEXPANSION"), QByteArrayView("SET \"TESSIVA_CP932=\""),
          QByteArrayView("SET TESSIVA_CP932_TEST=\x83\x5e"), QByteArrayView("SET \"TESSIVA_CP932=1\""),
          QByteArrayView("SET TESSIVA_CP932_TEST=\xb1\x5e"), QByteArrayView("SET \"TESSIVA_CP932=\""),
          QByteArrayView("IF NOT DEFINED TESSIVA_CP932 GOTO TESSIVA_CODE_PAGE")})
        m_w.line({m_at, text});
    // A parallel run's workers are the batch file itself, started again
    // with this word: they take neither lock, as the run that started them
    // holds both.
    if (m_needs.workers)
        m_w.line({"IF \"%~1\"==\"TESSIVA_WORKER\" GOTO TESSIVA_WORKER"});
    m_w.line({m_at, "SET \"TESSIVA_LOCK=%~dpn0.LCK\""});
    static const QByteArray lockFolder = words(
        u"IF EXIST \"%TESSIVA_LOCK%\\*\" ECHO フォルダがあるのでロックファイルを作れません: \"%TESSIVA_LOCK%\"");
    m_w.line({m_at, lockFolder});
    for (QByteArrayView text :
         {QByteArrayView("IF EXIST \"%TESSIVA_LOCK%\\*\" SET \"TESSIVA_LOCK=NUL\""),
          QByteArrayView("IF NOT EXIST \"%TESSIVA_LOCK%\" COPY /Y NUL \"%TESSIVA_LOCK%\" >NUL 2>NUL"),
          QByteArrayView("IF NOT EXIST \"%TESSIVA_LOCK%\" SET \"TESSIVA_LOCK=NUL\""),
          QByteArrayView("SET \"TESSIVA_RAN=\""), QByteArrayView("SET \"TESSIVA_HELD=\""),
          QByteArrayView("SET \"TESSIVA_EXIT=0\"")})
        m_w.line({m_at, text});
    // %0 names the label inside :TESSIVA_RUN: the batch file's own names
    // are taken before it.
    if (m_needs.namesItself) {
        m_w.line({"SET \"TESSIVA_BATCH=%~f0\""});
        m_w.line({"SET \"TESSIVA_REPORT=%~dpn0.LOG\""});
    }
    for (QByteArrayView text : {QByteArrayView("CALL :TESSIVA_RUN 2>>\"%TESSIVA_LOCK%\""),
                                QByteArrayView("IF NOT DEFINED TESSIVA_RAN GOTO TESSIVA_BUSY"),
                                QByteArrayView("IF NOT \"%TESSIVA_LOCK%\"==\"NUL\" DEL \"%TESSIVA_LOCK%\" >NUL 2>NUL"),
                                QByteArrayView("EXIT /B %TESSIVA_EXIT%")})
        m_w.line({m_at, text});
    static const QByteArray busy
        = words(u"ECHO このバッチファイルは別のところで実行中です。その実行が終わってから、もう一度実行してください。");
    m_w.line({":TESSIVA_CODE_PAGE"});
    m_w.line({m_at,
              "ECHO This batch file runs only in a console of code page 932 (Japanese): run CHCP 932, "
              "then run it again."});
    m_w.line({m_at, "EXIT /B 2"});
    m_w.line({":TESSIVA_BUSY"});
    m_w.line({m_at, busy});
    m_w.line({m_at, "EXIT /B 2"});
    m_w.line({":TESSIVA_RUN"});
    m_w.line({m_at, "SET \"TESSIVA_RAN=1\""});
}

void CheckedRun::mustBeThere(QStringView words, Pieces parts)
{
    NamedPath file;
    file.set(parts);
    set("TESSIVA_WHY", QByteArray(batch::words(words) + file.shown));
    m_w.line({m_at, "IF NOT EXIST ", file.token, " GOTO TESSIVA_STOP"});
    m_w.line({m_at, "IF EXIST ", file.folder, " GOTO TESSIVA_STOP"});
}

// Every run into one destination folder works in the same folder there,
// and holds a lock in it while it runs: a second run, of this batch file
// or of another one, cannot open the lock, and stops before it touches
// anything, with status 2. Its lines are the run's lines of :TESSIVA_RUN,
// so that the labels that stop the run lie a few lines ahead of the lines
// that go to them.
void CheckedRun::holdDestination(QByteArrayView stopped)
{
    const ConversionJob &job = m_plan.job();
    static const QByteArray noDestination = words(u"変換先フォルダがありません: ");
    static const QByteArray noWork = words(u"作業フォルダを作れません: ");
    static const QByteArray taken = words(u"変換先フォルダでは別のバッチファイルが実行中です（");
    static const QByteArray cannotOpen = words(u" を開けません）。その実行が終わってから、もう一度実行してください。");
    const QStringView folder = job.destinationFolder;
    if (!job.treeRoot.isEmpty())
        TreeFolders(job).make(m_w, {});
    if (!jobpath::isDriveRoot(folder)) {
        set("TESSIVA_WHY", QByteArray(noDestination + m_destination.shown));
        const QByteArray any = folder.endsWith(u'\\') ? token({folder}, u"*") : token({folder}, kAnyName);
        m_w.line({m_at, "IF NOT EXIST ", any, " GOTO TESSIVA_STOP"});
    }
    m_w.line({m_at, "IF NOT EXIST ", m_work.folder, " MD ", m_work.token});
    set("TESSIVA_WHY", QByteArray(noWork + m_work.shown));
    m_w.line({m_at, "IF NOT EXIST ", m_work.folder, " GOTO TESSIVA_STOP"});
    set("TESSIVA_WHY", QByteArray(taken + m_lock.shown + cannotOpen));
    m_w.line({m_at, "CALL :TESSIVA_HOLD 2>>", m_lock.token});
    m_w.line({m_at, "IF NOT DEFINED TESSIVA_HELD GOTO TESSIVA_STOP"});
    // The lock and the work folder go once the run is over; a folder that
    // still holds something (a file the run could not remove) stays.
    m_w.line({m_at, "DEL ", m_lock.token});
    m_w.line({m_at, "RD ", m_work.token});
    m_w.line({m_at, "GOTO :EOF"});
    m_w.line({":TESSIVA_STOP"});
    m_w.put(stopped);
    m_w.line({m_at, "SET \"TESSIVA_EXIT=2\""});
    m_w.line({m_at, "GOTO :EOF"});
    m_w.line({":TESSIVA_HOLD"});
    m_w.line({m_at, "SET \"TESSIVA_HELD=1\""});
}

void CheckedRun::clearWorkFiles()
{
    QList<const NamedPath *> files{&m_drawing};
    if (convertsInTwoPasses(m_plan.job().kind))
        files.prepend(&m_intermediate);
    for (const NamedPath *file : std::as_const(files))
        m_w.line({m_at, "IF NOT EXIST ", file->folder, " IF EXIST ", file->token, " DEL ", file->token});
}

QByteArray CheckedRun::ifExists(const NamedPath &path, QByteArrayView label, QByteArrayView n, bool missing) const
{
    QByteArray line = "FOR %%F IN (" + path.token + ") DO " + m_at;
    line += missing ? "IF \"%%~aF\"==\"\" GOTO " : "IF NOT \"%%~aF\"==\"\" GOTO ";
    line += label;
    line += n;
    return line;
}

QByteArray CheckedRun::removeIfThere(const NamedPath &path) const
{
    return "FOR %%F IN (" + path.token + ") DO " + m_at + "IF NOT \"%%~aF\"==\"\" DEL " + path.token;
}

QByteArray CheckedRun::lookUp(const NamedPath &path) const
{
    return "SET \"TESSIVA_A=\"& FOR %%F IN (" + path.token + ") DO " + m_at + "SET \"TESSIVA_A=%%~aF\"";
}

void CheckedRun::goWhereItIs(QByteArrayView folder, QByteArrayView there, QByteArrayView n) const
{
    m_w.line({m_at, "(IF \"%TESSIVA_A:~0,1%\"==\"d\" GOTO ", folder, n, ")& IF DEFINED TESSIVA_A GOTO ", there, n});
}

void CheckedRun::workFileGone(const NamedPath &file, QByteArrayView folderWords, QByteArrayView leftWords,
                              QByteArrayView label) const
{
    m_w.line({m_at, "SET \"TESSIVA_WHY=", folderWords, file.shown, "\"& (IF EXIST ", file.folder, " GOTO ", label,
              ")& SET \"TESSIVA_WHY=", leftWords, file.shown, "\"& ", ifExists(file, label, {})});
}

} // namespace batch
