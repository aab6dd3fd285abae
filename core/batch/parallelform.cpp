#include "parallelform.h"

#include "checkedrun.h"
#include "core/job/jobplan.h"
#include "core/text/textrules.h"
#include "reportform.h"

namespace batch {

namespace {
// The folders of the work folder a parallel run keeps: each drawing's
// claim, each drawing's report line, each drawing's line in the list of
// drawings to look at; and the file that stops every worker.
constexpr QStringView kClaims = u"C";
constexpr QStringView kRecords = u"R";
constexpr QStringView kListed = u"F";
constexpr QStringView kStop = u"STOP";
// In each worker's folder: its lock, held while it runs, and its counts.
constexpr QStringView kWorkerLock = u"WORKER.LCK";
constexpr QStringView kCounts = u"COUNTS.BAT";
// The helper the run waits for its workers with: a batch file of a few
// lines, so that going back to its top reads no more than those.
constexpr QStringView kWait = u"WAIT.BAT";

// A token that ends, inside its quotes if it has them, with `raw`: bytes
// cmd.exe is to expand (a variable), which a token would double.
QByteArray withRaw(const QByteArray &token, QByteArrayView raw)
{
    if (token.endsWith('"'))
        return token.chopped(1) + raw + '"';
    return token + raw;
}

class ParallelForm
{
public:
    ParallelForm(const JobPlan &plan, BatchWriter &w)
        : m_plan(plan)
        , m_job(plan.job())
        , m_w(w)
        , m_report(plan, w)
        , m_run(m_report.run())
        , m_width(JobTokens(plan).labelWidth)
    {
        const QString work = plan.workFolder();
        m_work = token({QStringView(work).chopped(1)});
        m_lock.set({work, JobPlan::kWorkLock});
        // A worker's own files, named from its folder, which is its
        // working folder too; shown with its folder's name.
        const QByteArray shownFolder = echoText(textrules::upperCased(work)) + "%TESSIVA_K%\\";
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
        waitForWorkers();
        if (!gather())
            return false;
        m_report.tail(m_run.list().token);
        return workers() && m_w.finish();
    }

private:
    QByteArray number(qsizetype i) const { return labelNumber(i, m_width); }
    // A file in a folder of the work folder, named from the work folder.
    static QByteArray inside(QStringView folder, QByteArrayView name)
    {
        return folder.toLatin1() + '\\' + name.toByteArray();
    }

    // Every folder the drawings go into, made before any worker starts;
    // each worker's folder, cleared of what a stopped run left; the claims
    // and records of a stopped run gone; and the list made anew.
    void prepare()
    {
        static const QByteArray noWork = words(u"SET \"TESSIVA_WHY=作業フォルダを作れません: ");
        static const QByteArray unusable = words(u"SET \"TESSIVA_WHY=作業フォルダのファイルを使えません: ");
        TreeFolders folders(m_job);
        for (qsizetype i = 0; i < m_job.sources.size(); ++i) {
            if (!m_plan.below(i).isEmpty())
                folders.make(m_w, m_plan.below(i));
        }
        const QString work = m_plan.workFolder();
        for (int k = 1; k <= m_job.jobs; ++k) {
            const QString worker = QString::number(k) + u'\\';
            NamedPath folder;
            folder.set({work, QString::number(k)});
            m_w.line({"IF NOT EXIST ", folder.folder, " MD ", folder.token});
            m_w.line({noWork, folder.shown, "\"& IF NOT EXIST ", folder.folder, " GOTO TESSIVA_STOP"});
            for (QStringView name : {JobPlan::kWorkIntermediate, JobPlan::kWorkDrawing, kCounts, kWorkerLock}) {
                NamedPath file;
                file.set({work, worker, name});
                m_w.line({"IF NOT EXIST ", file.folder, " IF EXIST ", file.token, " DEL ", file.token});
            }
            // A worker's lock that cannot be made anew would leave the run
            // waiting for a worker that never started.
            NamedPath lock;
            lock.set({work, worker, kWorkerLock});
            m_w.line({unusable, lock.shown, "\"& ", m_run.ifExists(lock, "TESSIVA_STOP", {})});
        }
        for (QStringView folder : {kClaims, kRecords, kListed}) {
            NamedPath path;
            path.set({work, folder});
            m_w.line({"IF EXIST ", path.folder, " RD /S /Q ", path.token});
            m_w.line({"MD ", path.token});
            m_w.line({noWork, path.shown, "\"& IF NOT EXIST ", path.folder, " GOTO TESSIVA_STOP"});
        }
        NamedPath stop;
        stop.set({work, kStop});
        m_w.line({"IF NOT EXIST ", stop.folder, " IF EXIST ", stop.token, " DEL ", stop.token});
        m_report.freshList();
    }

    // The workers started, each with standard input from NUL and its
    // standard error on its lock, and the run's wait for all of them to end,
    // in the work folder. The wait shows how many drawings are done, on the
    // console and in its title, each second.
    void waitForWorkers()
    {
        const QString count = QString::fromLatin1(m_report.count());
        QStringList wait{QStringLiteral("@ECHO OFF"), QStringLiteral("SET \"TESSIVA_SHOWN=\""),
                         QStringLiteral(":TESSIVA_POLL"), QStringLiteral("SET \"TESSIVA_LIVE=\"")};
        for (int k = 1; k <= m_job.jobs; ++k) {
            wait << QStringLiteral("SET \"TESSIVA_OPEN=\"& CALL :TESSIVA_OPENED 2>>%1\\%2").arg(k).arg(kWorkerLock)
                 << QStringLiteral("IF NOT DEFINED TESSIVA_OPEN SET \"TESSIVA_LIVE=1\"");
        }
        wait << QStringLiteral(
            "SET TESSIVA_CONVERTED=0& SET TESSIVA_LOOKED=0& SET TESSIVA_THERE=0& SET TESSIVA_FAILED=0");
        for (int k = 1; k <= m_job.jobs; ++k)
            wait << QStringLiteral("IF EXIST %1\\%2 CALL %1\\%2").arg(k).arg(kCounts);
        wait << QStringLiteral("SET /A TESSIVA_DONE=TESSIVA_CONVERTED+TESSIVA_LOOKED+TESSIVA_THERE+TESSIVA_FAILED")
             << QStringLiteral(u"IF NOT \"%TESSIVA_DONE%\"==\"%TESSIVA_SHOWN%\" (ECHO %TESSIVA_DONE%/%1 済み& TITLE "
                               u"%TESSIVA_DONE%/%1 済み)")
                    .arg(count)
             << QStringLiteral("SET \"TESSIVA_SHOWN=%TESSIVA_DONE%\"")
             << QStringLiteral("IF NOT DEFINED TESSIVA_LIVE GOTO :EOF") << QStringLiteral("PING -n 2 127.0.0.1 >NUL")
             << QStringLiteral("GOTO TESSIVA_POLL") << QStringLiteral(":TESSIVA_OPENED")
             << QStringLiteral("SET \"TESSIVA_OPEN=1\"") << QStringLiteral("GOTO :EOF");
        m_w.line({"PUSHD ", m_work});
        const QByteArray waitFile = kWait.toLatin1();
        bool first = true;
        for (const QString &line : std::as_const(wait)) {
            Bytes shown;
            appendEchoText(shown, line);
            m_w.line({first ? ">" : ">>", waitFile, " ECHO ", shown.view()});
            first = false;
        }
        // CALL takes the batch file's path quoted, whatever it holds, where
        // CMD /C would take a quote off each end of it.
        for (int k = 1; k <= m_job.jobs; ++k) {
            const QByteArray n = QByteArray::number(k);
            m_w.line({"START \"\" /B CMD /C CALL \"%TESSIVA_BATCH%\" TESSIVA_WORKER ", n, " <NUL 2>>",
                      inside(QString::fromLatin1(n), kWorkerLock.toLatin1())});
        }
        m_w.line({"CALL ", waitFile});
    }

    // One report from what each drawing's worker recorded, in drawing
    // order: a drawing no worker finished (a stopped run) failed, and says
    // so. The counts are the workers' own.
    bool gather()
    {
        static const QByteArray stopped = words(u" 失敗しました（実行が止められて変換していません）: ");
        for (qsizetype i = 0; i < m_job.sources.size(); ++i) {
            if (!m_w.handOnWholeChunk())
                return false;
            const QByteArray n = number(i);
            const QByteArray record = inside(kRecords, QByteArray(n + ".TXT"));
            const QByteArray listed = inside(kListed, QByteArray(n + ".TXT"));
            const QByteArray place = QByteArray::number(i + 1) + '/' + m_report.count();
            Bytes name;
            appendEchoText(name, m_job.sources.at(i));
            for (const QByteArray &to : {listed, record})
                m_w.line({"IF NOT EXIST ", record, " >>", to, " ECHO ", place, stopped, name.view()});
            m_w.line({"TYPE ", record, " >>\"%TESSIVA_LOG%\""});
            m_w.line({"IF EXIST ", listed, " TYPE ", listed, " >>", JobPlan::kWorkList.toLatin1()});
        }
        m_w.line({"SET TESSIVA_CONVERTED=0& SET TESSIVA_LOOKED=0& SET TESSIVA_THERE=0& SET TESSIVA_FAILED=0"});
        for (int k = 1; k <= m_job.jobs; ++k) {
            const QByteArray counts = inside(QString::number(k), kCounts.toLatin1());
            m_w.line({"IF EXIST ", counts, " CALL ", counts});
        }
        m_w.line({"SET /A TESSIVA_FAILED=", m_report.count(), "-TESSIVA_CONVERTED-TESSIVA_LOOKED-TESSIVA_THERE"});
        // What the run made in its work folder goes; RD /S /Q asks nothing.
        for (QStringView folder : {kClaims, kRecords, kListed})
            m_w.line({"RD /S /Q ", folder.toLatin1()});
        m_w.line({"DEL ", kWait.toLatin1()});
        m_w.line({"IF EXIST ", kStop.toLatin1(), " DEL ", kStop.toLatin1()});
        for (int k = 1; k <= m_job.jobs; ++k) {
            const QString worker = QString::number(k);
            m_w.line({"IF EXIST ", inside(worker, kCounts.toLatin1()), " DEL ", inside(worker, kCounts.toLatin1())});
            m_w.line({"DEL ", inside(worker, kWorkerLock.toLatin1())});
            m_w.line({"RD ", worker.toLatin1()});
        }
        m_w.line({"POPD"});
        return true;
    }

    // The workers' lines: each worker takes the drawings in order, claims
    // one by making its claim folder (which fails for every worker but the
    // first), and converts it in its own folder, which is the converter's
    // working folder too, so that files a converter makes beside itself are
    // never another's. A worker stops once a drawing of its was stopped by
    // Ctrl+C, and each stops before its next drawing once one has.
    bool workers()
    {
        const QByteArray folder = withRaw(m_work, "\\%TESSIVA_K%");
        m_w.line({":TESSIVA_WORKER"});
        m_w.put("SET \"TESSIVA_K=\"");
        for (int k = 1; k <= m_job.jobs; ++k) {
            const QByteArray n = QByteArray::number(k);
            m_w.put(QByteArray("& (IF \"%~2\"==\"" + n + "\" SET \"TESSIVA_K=" + n + "\")"));
        }
        m_w.line({});
        m_w.line({"IF NOT DEFINED TESSIVA_K EXIT /B 2"});
        m_w.line({"IF NOT EXIST ", withRaw(m_work, "\\%TESSIVA_K%\\*"), " EXIT /B 2"});
        // Only a worker of a run that holds the destination goes on.
        m_w.line({"SET \"TESSIVA_OPEN=\"& CALL :TESSIVA_OPENED 2>>", m_lock.token});
        m_w.line({"IF DEFINED TESSIVA_OPEN EXIT /B 2"});
        m_w.line({"GOTO TESSIVA_WORK"});
        m_w.line({":TESSIVA_OPENED"});
        m_w.line({"SET \"TESSIVA_OPEN=1\""});
        m_w.line({"GOTO :EOF"});
        m_w.line({":TESSIVA_WORK"});
        m_w.line({"CD /D ", folder});
        m_w.line({"SET \"ERRORLEVEL=\"& SET TESSIVA_CONVERTED=0& SET TESSIVA_LOOKED=0& SET TESSIVA_THERE=0& SET "
                  "TESSIVA_FAILED=0& SET \"TESSIVA_STOPPING=\""});
        const QByteArray stop = "..\\" + kStop.toLatin1();
        for (qsizetype i = 0; i < m_job.sources.size(); ++i) {
            if (!m_w.handOnWholeChunk())
                return false;
            const QByteArray n = number(i);
            // (CALL ) clears the status, which a successful MD leaves as
            // it was under Wine.
            m_w.line({"(CALL )& MD ..\\", kClaims.toLatin1(), "\\", n, "& IF ERRORLEVEL 1 GOTO DONE", n});
            m_w.line({"FOR %%F IN (", stop, ") DO IF NOT \"%%~aF\"==\"\" GOTO TESSIVA_STOPPED"});
            const ReportForm::Records records{false,
                                              ">>..\\" + inside(kRecords, QByteArray(n + ".TXT")) + " ECHO ",
                                              ">>..\\" + inside(kListed, QByteArray(n + ".TXT")) + " ECHO ",
                                              m_intermediate,
                                              m_drawing,
                                              "COUNT",
                                              true};
            m_report.drawing(i, records);
            m_w.line({">", kCounts.toLatin1(),
                      " ECHO SET /A TESSIVA_CONVERTED+=%TESSIVA_CONVERTED%, TESSIVA_LOOKED+=%TESSIVA_LOOKED%, "
                      "TESSIVA_THERE+=%TESSIVA_THERE%, TESSIVA_FAILED+=%TESSIVA_FAILED%& IF DEFINED TESSIVA_STOPPING "
                      "GOTO TESSIVA_STOPPED"});
            m_w.line({":DONE", n});
        }
        m_w.line({"EXIT /B 0"});
        m_w.line({":TESSIVA_STOPPED"});
        m_w.line({"TYPE NUL >", stop});
        m_w.line({"EXIT /B 0"});
        return true;
    }

    const JobPlan &m_plan;
    const ConversionJob &m_job;
    BatchWriter &m_w;
    ReportForm m_report;
    CheckedRun &m_run;
    const qsizetype m_width;
    QByteArray m_work; // the work folder, as a token
    NamedPath m_lock; // the run's lock in it
    NamedPath m_intermediate; // a worker's own, named from its folder
    NamedPath m_drawing;
};
} // namespace

bool writeParallelForm(const JobPlan &plan, BatchWriter &w) { return ParallelForm(plan, w).write(); }

} // namespace batch
