#pragma once

#include "batchwriter.h"

namespace batch {

// A file or folder the batch file names in its lines: as a path token, the
// same with "\*" (which IF EXIST finds only where it is a folder), and as
// ECHO shows it in its words.
struct NamedPath
{
    QByteArray token;
    QByteArray folder;
    QByteArray shown;
    void set(Pieces parts);
};

// What the checked forms (--skip-existing, --report) share around their
// drawings' lines. They run in a console of code page 932 only, one run of
// a batch file at a time (its lock, NAME.LCK, beside it), and one run into
// a destination folder at a time: each drawing is made in the run's work
// folder there (~TESSIVA~), which the run holds a lock in (RUN.LCK), and
// moved onto its own name only once it was made. Nothing in the work
// folder that the run did not make is ever taken for its own: a drawing
// whose work files are still there fails, naming them.
class CheckedRun
{
public:
    // What a form needs of the lines it shares with the others.
    struct Needs
    {
        // Its commands run under ECHO OFF, the console kept for its own
        // words (a form that reports); else each is kept from echo by "@".
        bool echoOff;
        // It names itself and the report beside it (TESSIVA_BATCH,
        // TESSIVA_REPORT).
        bool namesItself;
        // It starts copies of itself as workers, which go to their own
        // lines at once.
        bool workers;
    };
    CheckedRun(const JobPlan &plan, BatchWriter &w, Needs needs);

    // "@" where commands are echoed, empty under ECHO OFF.
    QByteArrayView at() const { return m_at; }
    const NamedPath &workFolder() const { return m_work; }
    const NamedPath &intermediate() const { return m_intermediate; }
    const NamedPath &drawing() const { return m_drawing; }
    const NamedPath &list() const { return m_list; }

    // Up to :TESSIVA_RUN, the lines a run starts with: the code page
    // checked, the batch file's own lock taken.
    void head();
    // The lines that stop the run before its first drawing when the file
    // named by `parts` is not there, or is a folder; `words` say so.
    void mustBeThere(QStringView words, Pieces parts);
    // The destination folder made (for a tree) or found, the work folder
    // made, and its lock taken; the run's drawings go on in :TESSIVA_HOLD.
    // `stopped` are the lines that end a run stopped before its first
    // drawing, with the reason in TESSIVA_WHY.
    void holdDestination(QByteArrayView stopped);
    // The work files an earlier run left, removed where they can be.
    void clearWorkFiles();

    // A command that goes to `label` and `n` when `path` exists (or, with
    // `missing`, when it does not), to end a line with: its attributes,
    // which a path that is not there has none of. A FOR over one name
    // touches no other file, and looks it up as cheaply as the system
    // allows.
    QByteArray ifExists(const NamedPath &path, QByteArrayView label, QByteArrayView n, bool missing = false) const;
    // A command that removes `path` where it is there: the lookup of a FOR
    // over one name, where IF EXIST would search its folder as DIR does.
    QByteArray removeIfThere(const NamedPath &path) const;
    // For a run that skips the drawings already there: the commands that
    // end a line by looking its own name up once, for its attributes, and
    // the line after it, which goes to `folder` where the name is a folder
    // and to `there` where it is a file.
    QByteArray lookUp(const NamedPath &path) const;
    void goWhereItIs(QByteArrayView folder, QByteArrayView there, QByteArrayView n) const;
    // The line that sends a drawing to `label` when one of its work files
    // is still there: a folder, or a file the run could not remove. Its
    // reason names it, in `folderWords` or `leftWords`.
    void workFileGone(const NamedPath &file, QByteArrayView folderWords, QByteArrayView leftWords,
                      QByteArrayView label) const;

private:
    void set(QByteArrayView name, QByteArrayView value);

    const JobPlan &m_plan;
    const Needs m_needs;
    BatchWriter &m_w;
    const QByteArray m_at;
    NamedPath m_destination;
    NamedPath m_work;
    NamedPath m_intermediate;
    NamedPath m_drawing;
    NamedPath m_list;
    NamedPath m_lock;
};

} // namespace batch
