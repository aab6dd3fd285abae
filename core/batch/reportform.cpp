#include "reportform.h"

#include "checkedrun.h"
#include "core/job/jobplan.h"

#include <QStringBuilder>

namespace batch {

QByteArray outcomeWords(Outcome outcome) { return words(u' ' % outcomeRow(outcome).words); }

ReportForm::ReportForm(const JobPlan &plan, BatchWriter &w, bool workers)
    : m_plan(plan)
    , m_job(plan.job())
    , m_w(w)
    , m_tokens(plan)
    , m_run(plan, w, {.echoOff = true, .namesItself = true, .workers = workers})
    , m_count(QByteArray::number(plan.job().sources.size()))
{ }

QByteArray ReportForm::stopped()
{
    return words(u"ECHO %TESSIVA_WHY%\r\n"
                 u">>\"%TESSIVA_LOG%\" ECHO %TESSIVA_WHY%\r\n"
                 u">>\"%TESSIVA_LOG%\" ECHO 図面を一つも変換していません。\r\n"
                 u">>\"%TESSIVA_LOG%\" ECHO 終了: %DATE% %TIME%\r\n");
}

bool ReportForm::write()
{
    m_run.head();
    head();
    static const QByteArray stops = stopped();
    m_run.holdDestination(stops);
    m_run.clearWorkFiles();
    freshList();
    TreeFolders folders(m_job);
    const Records records{
        true,  ">>\"%TESSIVA_LOG%\" ECHO ", ">>" + m_run.list().token + " ECHO ", m_run.intermediate(), m_run.drawing(),
        "DONE"};
    for (qsizetype i = 0; i < m_job.sources.size(); ++i) {
        if (!folders.beforeDrawing(m_w, m_plan, i))
            return false;
        drawing(i, records);
    }
    tail(m_run.list().token);
    return m_w.finish();
}

void ReportForm::head()
{
    static const QByteArray lines = []() -> QByteArray {
        QByteArray made = words(u"SET \"ERRORLEVEL=\"\r\n"
                                u"SET \"DATE=\"\r\n"
                                u"SET \"TIME=\"\r\n"
                                u"SET \"TESSIVA_LOG=%TESSIVA_REPORT%\"\r\n");
        for (const OutcomeRow &row : kOutcomes)
            made += "SET " + QByteArray(row.counter) + "=0\r\n";
        return made
            + words(
                   // A folder of the report's name, or a folder that takes
                   // no file (a CD): the run goes on, and says so once.
                   u"IF EXIST \"%TESSIVA_LOG%\\*\" SET \"TESSIVA_LOG=NUL\"\r\n"
                   u"COPY /Y NUL \"%TESSIVA_LOG%\" >NUL 2>NUL\r\n"
                   u"IF ERRORLEVEL 1 SET \"TESSIVA_LOG=NUL\"\r\n"
                   u"IF \"%TESSIVA_LOG%\"==\"NUL\" ECHO 実行結果を記録できません: \"%TESSIVA_REPORT%\"\r\n"
                   u">>\"%TESSIVA_LOG%\" ECHO Tessiva 実行結果\r\n"
                   u">>\"%TESSIVA_LOG%\" ECHO 開始: %DATE% %TIME%\r\n"
                   u">>\"%TESSIVA_LOG%\" ECHO バッチファイル: \"%TESSIVA_BATCH%\"\r\n"
                   u">>\"%TESSIVA_LOG%\" ECHO 図面の数: ");
    }();
    m_w.line({lines, m_count});
    const QStringView acad = m_job.autocadFolder;
    m_run.mustBeThere(u"変換プログラムがありません: ", {acad, kConverterName});
    if (usesR13ToR12Parameter(m_job.kind))
        m_run.mustBeThere(u"パラメータファイルがありません: ", {acad, m_job.r13ToR12Parameter});
    if (usesR12ToGx3Parameter(m_job.kind))
        m_run.mustBeThere(u"パラメータファイルがありません: ", {acad, m_job.r12ToGx3Parameter});
}

void ReportForm::freshList()
{
    static const QByteArray unusable = words(u"SET \"TESSIVA_WHY=作業フォルダのファイルを使えません: ");
    const NamedPath &list = m_run.list();
    m_w.line({unusable, list.shown, "\""});
    m_w.line({"IF EXIST ", list.folder, " GOTO TESSIVA_STOP"});
    m_w.line({"TYPE NUL >", list.token});
    m_w.line({"FOR %%F IN (", list.token, ") DO IF NOT \"%%~zF\"==\"0\" GOTO TESSIVA_STOP"});
}

void ReportForm::pass(QByteArrayView converter, QStringView source, const NamedPath &output, QByteArrayView input,
                      QStringView passName, bool stopOnInterrupt)
{
    const QByteArray named = words(passName);
    static const QByteArray status = words(u"終了ステータス %ERRORLEVEL%");
    static const QByteArray crash = words(u"アクセス違反で異常終了しました、終了ステータス -1073741819 (0xC0000005)");
    static const QByteArray interrupted = words(u"中断されました、終了ステータス -1073741510 (0xC000013A)");
    static const QByteArray nothing = words(u"図面ができませんでした");
    converterLine(m_w, converter, source, output.token, input, true);
    m_w.line({"SET TESSIVA_STATUS=%ERRORLEVEL%& SET \"TESSIVA_WHY=", named, status,
              "\"& (IF %ERRORLEVEL%==-1073741819 SET \"TESSIVA_WHY=", named, crash,
              "\")& (IF %ERRORLEVEL%==-1073741510 SET \"TESSIVA_WHY=", named, interrupted, "\")& ",
              stopOnInterrupt ? QByteArrayView("(IF %ERRORLEVEL%==-1073741510 SET \"TESSIVA_STOPPING=1\")& ")
                              : QByteArrayView(),
              "IF %ERRORLEVEL% ", m_job.checkExitStatus ? "NEQ" : "LSS", " 0 GOTO FAILED", m_n});
    if (!m_job.checkExitStatus)
        m_w.line({"IF %TESSIVA_STATUS% GTR 0 IF NOT DEFINED TESSIVA_LOOK SET \"TESSIVA_LOOK=%TESSIVA_WHY%\""});
    m_w.line({"SET \"TESSIVA_WHY=", named, nothing, "\"& ", m_run.ifExists(output, "FAILED", m_n, true)});
}

void ReportForm::drawing(qsizetype i, const Records &records)
{
    static const QByteArray notMoved = words(u"SET \"TESSIVA_WHY=図面を移せませんでした\"& ");
    static const QByteArray folderWords = words(u"SET \"TESSIVA_WHY=フォルダがあります: ");
    static const QByteArray folderThere = words(u"フォルダがあります: ");
    static const QByteArray leftWords = words(u"消せないファイルがあります: ");
    const QStringView source = m_job.sources.at(i);
    m_final.set({m_job.destinationFolder, m_plan.below(i), m_plan.baseName(i), kDestinationExtension});
    m_name.clear();
    appendEchoText(m_name, source);
    const QByteArrayView name = m_name.view();
    const QByteArray place = QByteArray::number(i + 1) + '/' + m_count;
    m_n = labelNumber(i, m_tokens.labelWidth);
    const bool twoPasses = convertsInTwoPasses(m_job.kind);
    const NamedPath &intermediate = records.intermediate;
    const NamedPath &drawing = records.drawing;
    const QByteArray refused = "REFUSED" + m_n;
    const QByteArray done = records.done + m_n;
    // With skipping, the drawing's name is looked up once: a folder there
    // fails it, a file there is a drawing already there.
    const QByteArray where
        = m_job.skipExisting ? m_run.lookUp(m_final) : QByteArray("IF EXIST " + m_final.folder + " GOTO " + refused);
    if (records.progress)
        m_w.put(QByteArray("TITLE " + place + ' ' + name + "& ECHO " + place + ' ' + name + "& "));
    // A drawing of another version than the conversion takes is to be
    // looked at whatever its converter says, with the version it had.
    const QStringView note = m_plan.lookNote(i);
    const bool looks = !m_job.checkExitStatus || !note.isEmpty();
    const QByteArray lookFirst = looks ? QByteArray("SET \"TESSIVA_LOOK=" + words(note) + "\"& ") : QByteArray();
    m_w.line({lookFirst, folderWords, m_final.shown, "\"& ", where});
    if (m_job.skipExisting)
        m_run.goWhereItIs("REFUSED", "THERE", m_n);
    if (twoPasses)
        m_run.workFileGone(intermediate, folderThere, leftWords, refused);
    m_run.workFileGone(drawing, folderThere, leftWords, refused);
    if (twoPasses) {
        pass(m_tokens.r13, source, intermediate, {}, u"1回目の変換 R13→R12: ", records.stopOnInterrupt);
        pass(m_tokens.r12, {}, drawing, intermediate.token, u"2回目の変換 R12→GX3: ", records.stopOnInterrupt);
        m_w.line({"DEL ", intermediate.token, "& ", notMoved, "MOVE /Y ", drawing.token, " ", m_final.token, " >NUL& ",
                  m_run.ifExists(drawing, "FAILED", m_n)});
    } else {
        pass(m_tokens.first, source, drawing, {}, {}, records.stopOnInterrupt);
        m_w.line({notMoved, "MOVE /Y ", drawing.token, " ", m_final.token, " >NUL& ",
                  m_run.ifExists(drawing, "FAILED", m_n)});
    }
    if (looks)
        m_w.line({"IF DEFINED TESSIVA_LOOK GOTO LOOK", m_n});
    ended(Outcome::Converted, records, place, name, done, false);
    if (looks) {
        m_w.line({":LOOK", m_n});
        ended(Outcome::ToLookAt, records, place, name, done, false);
    }
    if (m_job.skipExisting) {
        m_w.line({":THERE", m_n});
        ended(Outcome::AlreadyThere, records, place, name, done, false);
    }
    // What the converter made is removed; what was there before it ran is
    // never touched.
    m_w.line({":FAILED", m_n});
    if (twoPasses)
        m_w.line({"(", m_run.removeIfThere(intermediate), ")& ", m_run.removeIfThere(drawing)});
    else
        m_w.line({m_run.removeIfThere(drawing)});
    m_w.line({":", refused});
    ended(Outcome::Failed, records, place, name, done, true);
    m_w.line({":", done});
}

void ReportForm::ended(Outcome outcome, const Records &records, QByteArrayView place, QByteArrayView name,
                       const QByteArray &done, bool last)
{
    const OutcomeRow &row = outcomeRow(outcome);
    QByteArray said = outcomeWords(outcome);
    if (row.reason)
        said += words(u"（%") + row.reason + words(u"%）");
    const QByteArray goOn = last ? QByteArray() : QByteArray("& GOTO " + done);
    // A worker's outcome: its file, made at once where it says all, or its
    // report line moved onto it whole.
    if (const QByteArrayView file = records.outcomeFile; !file.isEmpty()) {
        if (row.listed)
            m_w.line({">", kRecordFile, " ECHO ", place, said, ": ", name, "& MOVE /Y ", kRecordFile, " ", file,
                      QByteArrayView(&row.mark, 1), " >NUL", goOn});
        else
            m_w.line({"TYPE NUL >", file, QByteArrayView(&row.mark, 1), goOn});
        return;
    }
    // Where the run shows each drawing as it starts, an outcome on the
    // console needs no name; elsewhere it carries it.
    if (row.echoed)
        m_w.put(QByteArray("ECHO " + place + said + (records.progress ? QByteArray() : ": " + name) + "& "));
    m_w.put(QByteArray(records.log + place + said + ": " + name + "& "));
    if (row.listed)
        m_w.put(QByteArray(records.list + place + said + ": " + name + "& "));
    m_w.line({countOne(outcome), goOn});
}

namespace {
const QByteArray &listHeadingWords()
{
    static const QByteArray heading = words(u" ECHO 失敗したか要確認の図面:");
    return heading;
}
} // namespace

void ReportForm::counts()
{
    // Each outcome's count in the table's order; the listed ones summed,
    // the failures first.
    static const QByteArray counts = []() -> QByteArray {
        QString each;
        QString listed;
        for (const OutcomeRow &row : kOutcomes) {
            const QString name = QLatin1String(row.counter);
            each += (each.isEmpty() ? QString() : QStringLiteral(u"、")) + row.words + u": %" + name + u"% 件";
            if (row.listed)
                listed = name + (listed.isEmpty() ? QString() : u'+' + listed);
        }
        return words(u"SET \"TESSIVA_COUNTS=" % each
                     % u"\"\r\n"
                       u"ECHO %TESSIVA_COUNTS%\r\n"
                       u">>\"%TESSIVA_LOG%\" ECHO %TESSIVA_COUNTS%\r\n"
                       u"SET /A TESSIVA_LISTED="
                     % listed % u"\r\n");
    }();
    m_w.put(counts);
}

void ReportForm::listHeading()
{
    m_w.line({"IF NOT %TESSIVA_LISTED%==0", listHeadingWords()});
    m_w.line({"IF NOT %TESSIVA_LISTED%==0 >>\"%TESSIVA_LOG%\"", listHeadingWords()});
}

void ReportForm::end()
{
    static const QByteArray end = words(u">>\"%TESSIVA_LOG%\" ECHO 終了: %DATE% %TIME%\r\n"
                                        u"TITLE %TESSIVA_COUNTS%\r\n"
                                        u"IF NOT %"
                                        % QLatin1String(counter(Outcome::Failed))
                                        % u"%==0 SET \"TESSIVA_EXIT=1\"\r\n"
                                          u"GOTO :EOF\r\n");
    m_w.put(end);
}

void ReportForm::tail(const QByteArray &list)
{
    counts();
    m_w.line({"IF NOT %TESSIVA_LISTED%==0", listHeadingWords()});
    m_w.line({"IF NOT %TESSIVA_LISTED%==0 TYPE ", list});
    m_w.line({"IF NOT %TESSIVA_LISTED%==0 >>\"%TESSIVA_LOG%\"", listHeadingWords()});
    m_w.line({"IF NOT %TESSIVA_LISTED%==0 TYPE ", list, " >>\"%TESSIVA_LOG%\""});
    m_w.line({"DEL ", list});
    end();
}

bool writeReportForm(const JobPlan &plan, BatchWriter &w) { return ReportForm(plan, w).write(); }

} // namespace batch
