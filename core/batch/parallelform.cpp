#include "parallelform.h"

#include "checkedrun.h"
#include "core/job/jobplan.h"
#include "core/text/textrules.h"
#include "reportform.h"

#include <algorithm>

namespace batch {

namespace {
// What a parallel run keeps in its own folder, which it makes anew in the
// work folder under a number of its choosing (TESSIVA_P) and works in:
// each drawing's claim (JobPlan::kClaims) and outcome, the file that stops
// every worker, the copy of the batch file the workers run, the helper the
// run waits with, and each worker's lock (k.LCK) and folder (k).
constexpr QStringView kOutcomeFolder = u"R";
// A drawing's labels in the report a parallel run gathers: one for each
// outcome, by its mark, and these of its own.
static_assert(std::none_of(kOutcomes.begin(), kOutcomes.end(), [](const OutcomeRow &row) {
    return row.mark == 'D' || row.mark == 'E' || row.mark == 'N' || row.mark == 'R';
}));
constexpr QByteArrayView kStop = "STOP";
constexpr QByteArrayView kWorkerCopy = "WORKER.BAT";
constexpr QByteArrayView kWait = "WAIT.BAT";
constexpr QByteArrayView kRunNumber = "%TESSIVA_P%";
// A token that ends, inside its quotes if it has them, with `raw`: bytes
// cmd.exe is to expand (a variable), which a token would double.
QByteArray withRaw(const QByteArray &token, QByteArrayView raw)
{
    if (token.endsWith('"'))
        return token.chopped(1) + raw + '"';
    return token + raw;
}

// The outcome of a drawing no worker recorded.
const QByteArray &notRecordedWords()
{
    static const QByteArray words = "SET \"TESSIVA_WHY=" + outcomeWords(Outcome::Failed).mid(1)
        + batch::words(u"（実行が止められて変換していません）\"");
    return words;
}

class ParallelForm
{
public:
    ParallelForm(const JobPlan &plan, BatchWriter &w)
        : m_plan(plan)
        , m_job(plan.job())
        , m_w(w)
        , m_report(plan, w, true)
        , m_run(m_report.run())
        , m_width(JobTokens(plan).labelWidth)
    {
        const QString work = plan.workFolder();
        m_work.set({QStringView(work).chopped(1)});
        m_runFolder = withRaw(token({work}), kRunNumber);
        m_runShown = echoText(textrules::upperCased(work)) + kRunNumber;
        // A worker's own files, named from its folder, which is its
        // working folder too; shown with its folder's name.
        const QByteArray shownFolder = m_runShown + "\\%TESSIVA_K%\\";
        m_intermediate.set({JobPlan::kWorkIntermediate});
        m_intermediate.shown = shownFolder + m_intermediate.shown;
        m_drawing.set({JobPlan::kWorkDrawing});
        m_drawing.shown = shownFolder + m_drawing.shown;
    }

    bool write()
    {
        static const QByteArray stops = ReportForm::stopped();
        m_run.head();
        m_report.head();
        m_run.holdDestination(stops);
        prepare();
        startWorkers();
        for (qsizetype i = 0; i < m_job.sources.size(); ++i) {
            if (!m_w.handOnWholeChunk())
                return false;
            report(i, false);
        }
        // Every worker ended before the run counts and goes.
        m_w.line({"CALL .\\", kWait});
        m_report.counts();
        m_report.listHeading();
        for (qsizetype i = 0; i < m_job.sources.size(); ++i) {
            if (!m_w.handOnWholeChunk())
                return false;
            report(i, true);
        }
        m_w.line({"POPD"});
        m_w.line({"RD /S /Q ", m_runFolder});
        m_report.end();
        return workers() && m_w.finish();
    }

private:
    QByteArray number(qsizetype i) const { return labelNumber(i, m_width); }
    // A drawing's outcome file, up to the letter that names the outcome,
    // and with it.
    static QByteArray outcomeStem(QByteArrayView n) { return kOutcomeFolder.toLatin1() + '\\' + n.toByteArray() + '.'; }
    static QByteArray outcomeFile(QByteArrayView n, char mark) { return outcomeStem(n) + mark; }

    // Every folder the drawings go into, made before any worker starts;
    // what a stopped run left in the work folder named, never read or
    // removed; the run's own folder made anew, which fails where its name
    // is taken, and every file the run uses written there: nothing in it
    // was put there by anyone else.
    void prepare()
    {
        static const QByteArray leftWords
            = words(u"ECHO 前の実行が残したものが作業フォルダにあります。読まず、消さずに残します: ");
        static const QByteArray noFolder = words(u"SET \"TESSIVA_WHY=作業フォルダを作れません: ");
        static const QByteArray noCopy = words(u"SET \"TESSIVA_WHY=作業フォルダにバッチファイルを写せません: ");
        static const QByteArray noProgram = words(u"SET \"TESSIVA_WHY=Windows のプログラムがありません: ");
        TreeFolders folders(m_job);
        for (qsizetype i = 0; i < m_job.sources.size(); ++i) {
            if (!m_plan.below(i).isEmpty())
                folders.make(m_w, m_plan.below(i));
        }
        // The lock is always there; anything else is a stopped run's.
        const QByteArray any = token({m_plan.workFolder(), u"*"});
        m_w.line({"SET \"TESSIVA_LEFT=0\"& FOR %%F IN (", any, ") DO SET /A TESSIVA_LEFT+=1"});
        m_w.line({"FOR /D %%F IN (", any, ") DO SET /A TESSIVA_LEFT+=1"});
        for (QByteArrayView to : {QByteArrayView(), QByteArrayView(">>\"%TESSIVA_LOG%\" ")})
            m_w.line({"IF %TESSIVA_LEFT% GTR 1 ", to, leftWords, m_work.shown});
        // A number of the system's own: a caller's RANDOM stands in for it
        // no more than a caller's DATE does.
        m_w.line({"SET \"RANDOM=\"& SET \"TESSIVA_TRY=0\""});
        m_w.line({":TESSIVA_FRESH"});
        m_w.line({"SET /A TESSIVA_TRY+=1& SET \"TESSIVA_P=%RANDOM%\""});
        m_w.line({noFolder, m_runShown, "\"& (CALL )& MD ", m_runFolder, "& IF NOT ERRORLEVEL 1 GOTO TESSIVA_MADE"});
        m_w.line({"IF %TESSIVA_TRY% LSS 20 GOTO TESSIVA_FRESH"});
        m_w.line({"GOTO TESSIVA_STOP"});
        m_w.line({":TESSIVA_MADE"});
        m_w.line(
            {"MD ", withRaw(token({m_plan.workFolder()}), QByteArray(kRunNumber + '\\' + kOutcomeFolder.toLatin1()))});
        m_w.line({"PUSHD ", m_runFolder});
        // Made by its full name, found by its own: the run is in its folder.
        m_w.line({"(IF NOT EXIST ", kOutcomeFolder.toLatin1(), "\\* GOTO TESSIVA_UNPREPARED)& MD ",
                  JobPlan::kClaims.toLatin1(), "& IF NOT EXIST ", JobPlan::kClaims.toLatin1(),
                  "\\* GOTO TESSIVA_UNPREPARED"});
        // The workers run a copy of the batch file: started by a name of
        // the run's own, whatever the batch file's folder holds.
        m_w.line({noCopy, m_runShown, "\\", kWorkerCopy,
                  "\"& FOR %%F IN (\"%TESSIVA_BATCH%\") DO SET \"TESSIVA_SIZE=%%~zF\""});
        m_w.line({"COPY /B /Y \"%TESSIVA_BATCH%\" ", kWorkerCopy, " >NUL"});
        m_w.line({"SET \"TESSIVA_A=\"& FOR %%F IN (", kWorkerCopy, ") DO SET \"TESSIVA_A=%%~zF\""});
        m_w.line({"IF NOT \"%TESSIVA_A%\"==\"%TESSIVA_SIZE%\" GOTO TESSIVA_UNPREPARED"});
        writeWait();
        // Windows' own programs by their full names: nothing the work
        // folder or PATH holds runs in their place.
        m_w.line({"SET \"TESSIVA_SYSTEM=%SystemRoot%\\System32\""});
        for (QByteArrayView program : {QByteArrayView("cmd.exe"), QByteArrayView("PING.EXE")}) {
            m_w.line({noProgram, "%TESSIVA_SYSTEM%\\", program, "\"& IF NOT EXIST \"%TESSIVA_SYSTEM%\\", program,
                      "\" GOTO TESSIVA_UNPREPARED"});
        }
        m_w.line({"GOTO TESSIVA_PREPARED"});
        m_w.line({":TESSIVA_UNPREPARED"});
        m_w.line({"POPD& RD /S /Q ", m_runFolder, "& GOTO TESSIVA_STOP"});
        m_w.line({":TESSIVA_PREPARED"});
    }

    // The helper the run waits with, in the run's folder: called with a
    // drawing's number, it returns once that drawing's outcome is there or
    // no worker is left; called without, once no worker is left. Each
    // second it shows how many drawings are done, on the console and in its
    // title. A worker is there while its lock cannot be opened. Its size is
    // checked: a full disk makes a helper of half its lines.
    void writeWait()
    {
        const QString count = QString::number(m_job.sources.size());
        QStringList wait{QStringLiteral("@ECHO OFF"),
                         QStringLiteral(":TESSIVA_POLL"),
                         u"IF NOT \"%1\"==\"\" IF EXIST " % kOutcomeFolder % u"\\%1.* GOTO :EOF",
                         u"SET TESSIVA_DONE=0& FOR %%F IN (" % kOutcomeFolder % u"\\*) DO SET /A TESSIVA_DONE+=1",
                         QStringLiteral(u"IF NOT \"%TESSIVA_DONE%\"==\"%TESSIVA_SHOWN%\" (ECHO %TESSIVA_DONE%/%1 済み& "
                                        u"TITLE %TESSIVA_DONE%/%1 済み)")
                             .arg(count),
                         QStringLiteral("SET \"TESSIVA_SHOWN=%TESSIVA_DONE%\""),
                         QStringLiteral("SET \"TESSIVA_LIVE=\"")};
        for (int k = 1; k <= m_job.jobs; ++k) {
            wait << QStringLiteral("SET \"TESSIVA_OPEN=\"& CALL :TESSIVA_OPENED 2>>%1.LCK").arg(k)
                 << QStringLiteral("IF NOT DEFINED TESSIVA_OPEN SET \"TESSIVA_LIVE=1\"");
        }
        wait << QStringLiteral("IF NOT DEFINED TESSIVA_LIVE GOTO :EOF")
             << QStringLiteral("\"%TESSIVA_SYSTEM%\\PING.EXE\" -n 2 127.0.0.1 >NUL")
             << QStringLiteral("GOTO TESSIVA_POLL") << QStringLiteral(":TESSIVA_OPENED")
             << QStringLiteral("SET \"TESSIVA_OPEN=1\"") << QStringLiteral("GOTO :EOF");
        qsizetype size = 0;
        bool first = true;
        for (const QString &line : std::as_const(wait)) {
            size += words(line).size() + 2;
            Bytes shown;
            appendEchoText(shown, line);
            m_w.line({first ? ">" : ">>", kWait, " ECHO ", shown.view()});
            first = false;
        }
        m_w.line({"SET \"TESSIVA_A=\"& FOR %%F IN (", kWait, ") DO SET \"TESSIVA_A=%%~zF\""});
        m_w.line({"IF NOT \"%TESSIVA_A%\"==\"", QByteArray::number(size), "\" GOTO TESSIVA_UNPREPARED"});
        m_w.line({"SET \"TESSIVA_SHOWN=\""});
    }

    // The workers, each a command processor of the system's without the
    // user's AutoRun, started in the run's folder with standard input from
    // NUL and its standard error on its lock there, which the START line
    // opens before the worker exists and the worker holds until it ends.
    void startWorkers()
    {
        for (int k = 1; k <= m_job.jobs; ++k) {
            const QByteArray n = QByteArray::number(k);
            m_w.line({"START \"\" /B \"%TESSIVA_SYSTEM%\\cmd.exe\" /D /C .\\", kWorkerCopy, " TESSIVA_WORKER ", n,
                      " <NUL 2>>", n, ".LCK"});
        }
    }

    // Drawing `i`'s outcome, reported once it is there, in drawing order:
    // on the console and in the report, counted; or, `listing`, again in
    // the list of drawings to look at, where it is one of those. A worker
    // keeps a drawing's outcome in a file of its own, named by the outcome;
    // a report line it could not write (a full disk) is said in the run's
    // own words. A drawing no worker recorded failed, but for one that a
    // worker claimed and whose drawing is at its name, which is to be
    // looked at: the worker may have ended between moving it and saying so.
    void report(qsizetype i, bool listing)
    {
        // What the run says itself, where a worker's record does not.
        static const QByteArray unrecorded
            = outcomeWords(Outcome::ToLookAt) + words(u"（記録がありません。図面はあります）: ");
        const auto why = [](Outcome outcome, QStringView reason) {
            return QByteArray("SET \"TESSIVA_WHY=" + outcomeWords(outcome).mid(1) + words(reason) + '"');
        };
        static const QByteArray halfDone = why(Outcome::Failed, u"（変換の途中で止められました）");
        const QByteArray n = number(i);
        const QByteArray label = listing ? "Z" : "Q";
        const auto at = [&](char which) { return QByteArray(label + which + n); };
        // The report's pass counts; the listing's names again.
        const auto count
            = [&](Outcome outcome) { return listing ? QByteArray() : QByteArray(countOne(outcome) + "& "); };
        const QByteArray place = QByteArray::number(i + 1) + '/' + m_report.count();
        Bytes name;
        appendEchoText(name, m_job.sources.at(i));
        NamedPath final;
        final.set({m_job.destinationFolder, m_plan.below(i), m_plan.baseName(i), kDestinationExtension});
        // Both ways to the console and the report: a line of the run's own.
        const auto shown = [&](QByteArrayView text) {
            return QByteArray("ECHO " + place + text + name.view() + "& >>\"%TESSIVA_LOG%\" ECHO " + place + text
                              + name.view());
        };
        if (listing) // Only a drawing to look at is listed again.
            m_w.line({"IF NOT DEFINED TESSIVA_X", n, " GOTO ", at('D')});
        else
            m_w.line({"CALL .\\", kWait, " ", n});
        // The outcome files asked for in the table's order, those that say
        // all first; TESSIVA_O names the one whose record is typed.
        QList<const OutcomeRow *> order;
        for (const bool listed : {false, true}) {
            for (const OutcomeRow &row : kOutcomes) {
                if (row.listed == listed)
                    order << &row;
            }
        }
        const auto firstListed = std::find_if(order.cbegin(), order.cend(), [](auto row) { return row->listed; });
        const OutcomeRow *lastListed = order.constLast();
        QByteArray asked = "SET \"TESSIVA_O=" + outcomeFile(n, (*firstListed)->mark) + '"';
        for (const OutcomeRow *row : std::as_const(order)) {
            const QByteArray file = outcomeFile(n, row->mark);
            if (row->listed && row != *firstListed)
                asked += "& SET \"TESSIVA_O=" + file + '"';
            asked += "& (IF EXIST " + file + " GOTO " + at(row->mark) + ')';
        }
        m_w.line({asked, "& ", notRecordedWords(), "& IF NOT EXIST ", JobPlan::kClaims.toLatin1(), "\\", n, "\\* GOTO ",
                  at('N')});
        m_w.line({halfDone, "& FOR %%F IN (", final.token, ") DO IF \"%%~aF\"==\"\" GOTO ", at('N')});
        m_w.line({count(Outcome::ToLookAt), "SET \"TESSIVA_X", n, "=1\"& ", shown(unrecorded), "& GOTO ", at('D')});
        // An outcome that says all is shown and counted; one with a record
        // is counted, and its record typed where the worker could write it.
        for (const OutcomeRow *row : std::as_const(order)) {
            m_w.line({":", at(row->mark)});
            if (!row->listed) {
                if (!listing)
                    m_w.line({count(row->outcome), shown(QByteArray(outcomeWords(row->outcome) + ": "))});
                m_w.line({"GOTO ", at('D')});
            } else {
                m_w.line({count(row->outcome), why(row->outcome, u"（記録を書けませんでした）"),
                          row == lastListed ? QByteArray() : QByteArray("& GOTO " + at('R'))});
            }
        }
        m_w.line({":", at('R')});
        m_w.line({"SET \"TESSIVA_X", n, "=1\"& FOR %%F IN (%TESSIVA_O%) DO IF \"%%~zF\"==\"0\" GOTO ", at('E')});
        m_w.line({"TYPE %TESSIVA_O%& TYPE %TESSIVA_O% >>\"%TESSIVA_LOG%\"& GOTO ", at('D')});
        m_w.line({":", at('N')});
        m_w.line({count(Outcome::Failed), "SET \"TESSIVA_X", n, "=1\""});
        m_w.line({":", at('E')});
        m_w.line({"ECHO ", place, " %TESSIVA_WHY%: ", name.view(), "& >>\"%TESSIVA_LOG%\" ECHO ", place,
                  " %TESSIVA_WHY%: ", name.view()});
        m_w.line({":", at('D')});
    }

    // The workers' lines, in the copy of the batch file. A worker belongs
    // to the run only where it runs in the run's folder, beside the copy,
    // while a run holds the destination's lock, and only the first worker
    // of a number (making its folder, which only one can make); any other
    // ends at once, having touched nothing. It takes the drawings in order,
    // claims one by making its claim folder (which fails for every worker
    // but the first), and converts it in its own folder, which is the
    // converter's working folder too, so that files a converter makes
    // beside itself are never another's. A worker whose folder still holds
    // a work file it could not remove claims no more: its drawings go to
    // the others. A worker stops once a drawing of its was stopped by
    // Ctrl+C, and each stops before its next drawing once one has.
    bool workers()
    {
        const QByteArray copy = kWorkerCopy.toByteArray();
        const QByteArray runLock = "..\\" + JobPlan::kWorkLock.toLatin1();
        m_w.line({":TESSIVA_WORKER"});
        m_w.put("SET \"TESSIVA_K=\"");
        for (int k = 1; k <= m_job.jobs; ++k) {
            const QByteArray n = QByteArray::number(k);
            m_w.put(QByteArray("& (IF \"%~2\"==\"" + n + "\" SET \"TESSIVA_K=" + n + "\")"));
        }
        m_w.line({});
        m_w.line({"IF NOT DEFINED TESSIVA_K EXIT /B 2"});
        m_w.line({"IF NOT EXIST ", copy, " EXIT /B 2"});
        m_w.line({"IF NOT EXIST ", runLock, " EXIT /B 2"});
        m_w.line({"IF EXIST ", runLock, "\\* EXIT /B 2"});
        m_w.line({"SET \"TESSIVA_OPEN=\"& CALL :TESSIVA_OPENED 2>>", runLock});
        m_w.line({"IF DEFINED TESSIVA_OPEN EXIT /B 2"});
        m_w.line({"(CALL )& MD %TESSIVA_K%& IF ERRORLEVEL 1 EXIT /B 2"});
        m_w.line({"CD %TESSIVA_K%"});
        m_w.line({"GOTO TESSIVA_WORK"});
        m_w.line({":TESSIVA_OPENED"});
        m_w.line({"SET \"TESSIVA_OPEN=1\""});
        m_w.line({"GOTO :EOF"});
        m_w.line({":TESSIVA_WORK"});
        m_w.line({"SET \"ERRORLEVEL=\"& SET \"TESSIVA_STOPPING=\""});
        const QByteArray stop = "..\\" + kStop.toByteArray();
        QByteArray unusable = m_run.ifExists(m_drawing, "TESSIVA_UNUSABLE", {});
        if (convertsInTwoPasses(m_job.kind))
            unusable = "(" + m_run.ifExists(m_intermediate, "TESSIVA_UNUSABLE", {}) + ")& " + unusable;
        for (qsizetype i = 0; i < m_job.sources.size(); ++i) {
            if (!m_w.handOnWholeChunk())
                return false;
            const QByteArray n = number(i);
            m_w.line({"FOR %%F IN (", stop, ") DO IF NOT \"%%~aF\"==\"\" GOTO TESSIVA_STOPPED"});
            m_w.line({unusable});
            // (CALL ) clears the status, which a successful MD leaves as
            // it was under Wine.
            m_w.line({"(CALL )& MD ..\\", JobPlan::kClaims.toLatin1(), "\\", n, "& IF ERRORLEVEL 1 GOTO DONE", n});
            const ReportForm::Records records{false,     {},      {},   m_intermediate,
                                              m_drawing, "COUNT", true, "..\\" + outcomeStem(n)};
            m_report.drawing(i, records);
            m_w.line({"IF DEFINED TESSIVA_STOPPING GOTO TESSIVA_STOPPED"});
            m_w.line({":DONE", n});
        }
        m_w.line({"EXIT /B 0"});
        m_w.line({":TESSIVA_STOPPED"});
        m_w.line({"TYPE NUL >", stop});
        m_w.line({":TESSIVA_UNUSABLE"});
        m_w.line({"EXIT /B 0"});
        return true;
    }

    const JobPlan &m_plan;
    const ConversionJob &m_job;
    BatchWriter &m_w;
    ReportForm m_report;
    CheckedRun &m_run;
    const qsizetype m_width;
    NamedPath m_work; // the work folder
    QByteArray m_runFolder; // the run's own folder in it, as a token
    QByteArray m_runShown; // the same as ECHO shows it
    NamedPath m_intermediate; // a worker's own, named from its folder
    NamedPath m_drawing;
};
} // namespace

bool writeParallelForm(const JobPlan &plan, BatchWriter &w) { return ParallelForm(plan, w).write(); }

} // namespace batch
