#pragma once

#include "batchwriter.h"
#include "checkedrun.h"

namespace batch {

// The form that reports its run (--report): each drawing's number and name
// on the console and in its title, its outcome in a report beside the
// batch file (NAME.LOG), the counts and the drawings to look at at the
// end, and exit status 1 when any drawing failed. Each drawing is made in
// the run's work folder and counts as converted only once it was moved onto
// its own name.
bool writeReportForm(const JobPlan &plan, BatchWriter &w);

// What can become of a drawing, in the order the counts give them.
enum class Outcome { Converted, ToLookAt, AlreadyThere, Failed };

// Each outcome: the words its report line and the counts say it in, the
// variable whose text follows them in parentheses (why), the variable that
// counts it, whether the drawings of that outcome are listed again at the
// end (those to look at), whether the console shows it as the drawing ends
// (a conversion needs no word beyond the drawing's own line), and the
// letter that ends a drawing's outcome file where a run keeps each in a
// file of its own.
struct OutcomeRow
{
    Outcome outcome;
    QStringView words;
    const char *reason;
    const char *counter;
    bool listed;
    bool echoed;
    char mark;
};
inline constexpr std::array<OutcomeRow, 4> kOutcomes{{
    {Outcome::Converted, u"変換しました", nullptr, "TESSIVA_CONVERTED", false, false, 'C'},
    {Outcome::ToLookAt, u"要確認", "TESSIVA_LOOK", "TESSIVA_LOOKED", true, true, 'L'},
    {Outcome::AlreadyThere, u"既にあるので飛ばしました", nullptr, "TESSIVA_THERE", false, true, 'T'},
    {Outcome::Failed, u"失敗しました", "TESSIVA_WHY", "TESSIVA_FAILED", true, true, 'F'},
}};
static_assert(rowsInOrder(kOutcomes, &OutcomeRow::outcome));
constexpr const OutcomeRow &outcomeRow(Outcome outcome) { return kOutcomes[size_t(outcome)]; }
// The words of an outcome, with a space before them, in code page 932.
QByteArray outcomeWords(Outcome outcome);
// The variable that counts an outcome, and the line piece that adds one.
inline QByteArrayView counter(Outcome outcome) { return outcomeRow(outcome).counter; }
inline QByteArray countOne(Outcome outcome) { return QByteArray("SET /A ") + outcomeRow(outcome).counter + "+=1"; }

// The report form's parts, which a parallel run shares.
class ReportForm
{
public:
    // `workers`: the run starts workers of itself (a parallel run).
    ReportForm(const JobPlan &plan, BatchWriter &w, bool workers = false);
    bool write();

    // Where a drawing's lines show and record its outcome: on the console,
    // in the report and the list, counted (a run of one), or each in a
    // file of its own that the run reports from (a worker of a parallel
    // run, which shows and counts nothing itself).
    struct Records
    {
        bool progress; // each drawing's n/N and name on the console and in the title as it starts
        QByteArray log; // the start of a line that writes its report line: ">>FILE ECHO "
        QByteArray list; // the same for the list of drawings to look at
        const NamedPath &intermediate; // the work files it is made through
        const NamedPath &drawing;
        QByteArray done; // the label its outcomes end at, before its number
        bool stopOnInterrupt = false; // a converter stopped by Ctrl+C sets TESSIVA_STOPPING
        // Where set, instead of the above: the outcome's file, up to the
        // letter that names the outcome (OutcomeRow::mark). Its report line,
        // where it has one, is written in the current folder first
        // (kRecordFile) and moved onto it whole.
        QByteArray outcomeFile = {};
    };
    // The file a record is written in before it is moved onto its
    // outcome's file.
    static constexpr QByteArrayView kRecordFile = "RECORD.TXT";

    CheckedRun &run() { return m_run; }
    const QByteArray &count() const { return m_count; }
    // The lines that end a run stopped before its first drawing, with the
    // reason in TESSIVA_WHY.
    static QByteArray stopped();
    // The report's head, and the check that the converter and the
    // parameter files it is given are there: a run without them would fail
    // every drawing, so it stops before the first, with status 2.
    // ERRORLEVEL, DATE and TIME are cleared first: a variable of one of
    // those names, set by the caller, would stand in for the converter's
    // status or the clock, and run as part of the line that shows it.
    void head();
    // A drawing: made through its work files, moved onto its own name once
    // it was made, and counted as converted only then; an earlier run's
    // drawing is never lost to a failed conversion. A folder at its name,
    // or work files that are still there, fail it before the converter
    // runs, named. Its lines are few and each does much: cmd.exe reads a
    // batch file a line at a time, and every line of a drawing is read,
    // whichever way the drawing goes.
    void drawing(qsizetype i, const Records &records);
    // The counts, and the drawings to look at (collected in `list`),
    // together at the end of the report and of what the console shows.
    void tail(const QByteArray &list);
    // The same in its three parts, for a run that lists the drawings to
    // look at otherwise: the counts; the heading of the list, on the
    // console and in the report; the end.
    void counts();
    void listHeading();
    void end();

    // The list of drawings to look at, collected in the work folder while
    // the run goes on: empty, or the run stops.
    void freshList();

private:
    // The line that says and counts how drawing `i` ended, as its row
    // says, and goes on to its end (`done`) unless it is the last.
    void ended(Outcome outcome, const Records &records, QByteArrayView place, QByteArrayView name,
               const QByteArray &done, bool last);
    // One converter pass. A crash (a negative status) is a failure, so is
    // any status but 0 where the job checks it, and so is an output that
    // was not made; a positive status the job does not check leaves the
    // drawing to be looked at. `passName` names the pass of two. The status
    // is read from ERRORLEVEL, which no variable of that name stands in for
    // (head), once, on the line after the converter's: every %ERRORLEVEL%
    // of a line is the same.
    void pass(QByteArrayView converter, QStringView source, const NamedPath &output, QByteArrayView input,
              QStringView passName, bool stopOnInterrupt);

    const JobPlan &m_plan;
    const ConversionJob &m_job;
    BatchWriter &m_w;
    const JobTokens m_tokens;
    CheckedRun m_run;
    const QByteArray m_count; // of the drawings
    NamedPath m_final; // the drawing's own name
    Bytes m_name; // the drawing's source as ECHO shows it
    QByteArray m_n; // the drawing's number in its labels
};

} // namespace batch
