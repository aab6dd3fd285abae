#pragma once

#include "conversionjob.h"

#include <QString>
#include <QStringView>

#include <vector>

namespace job {

// The paths of a job taken apart once, for the checks and for the batch
// file: where each source's folder, name, extension and base name lie, and
// for a tree job its folder below the root. Views into the job, which must
// outlive the plan.
class JobPlan
{
public:
    explicit JobPlan(const ConversionJob &job);

    const ConversionJob &job() const { return m_job; }
    qsizetype size() const { return qsizetype(m_parts.size()); }

    // Up to and including the last "\" or ":".
    QStringView folder(qsizetype i) const;
    // From the last "." of the name to its end, or empty.
    QStringView extension(qsizetype i) const;
    // The name cut before the first occurrence of its own extension:
    // "a.dxf.dxf" gives "a".
    QStringView baseName(qsizetype i) const;
    // False only for a source of a tree job that does not lie under the root.
    bool underRoot(qsizetype i) const { return m_parts[i].belowStart >= 0; }
    // For a tree job, the source's folder below the root, ending in "\"
    // unless empty; empty for every other job.
    QStringView below(qsizetype i) const;

    // Where the drawing is converted to: the destination folder, the folder
    // below the root, the base name and ".DXF". Not quoted, not upper-cased.
    QString destination(qsizetype i) const;
    // The stem of the intermediate file's name below.
    static constexpr QStringView kIntermediateStem = u"dummy";

    // The name of the intermediate file of the plain two-pass conversion,
    // inside the destination folder: "dummy.dxf", or "dummy1.dxf",
    // "dummy2.dxf" … when a drawing would be written there under that name.
    const QString &intermediateName() const { return m_intermediateName; }
    // The folder of its own, inside the destination folder, that a checked
    // run (one that skips or reports) holds the destination by and makes
    // its drawings in before it moves each onto its own name. One name for
    // every run into a destination, so that two runs always meet at one
    // lock: a tree whose drawings would go into a folder of that name is
    // refused. Without a "\".
    static constexpr QStringView kWorkFolderName = u"~TESSIVA~";
    // The same with the destination folder before it and a "\" after it.
    QString workFolder() const { return m_job.destinationFolder % kWorkFolderName % u'\\'; }
    // What a checked run keeps in its work folder: the intermediate file of
    // two passes, the drawing being made, the list of drawings to look at
    // (for a report) and the lock that keeps a second run out.
    static constexpr QStringView kWorkIntermediate = u"DUMMY.DXF";
    static constexpr QStringView kWorkDrawing = u"DRAWING.DXF";
    static constexpr QStringView kWorkList = u"FAILED.TXT";
    static constexpr QStringView kWorkLock = u"RUN.LCK";
    // A parallel run's own folder inside the work folder, made anew by
    // each run under a number of its choosing (0 to 32767), and the folder
    // of claims in it, where each drawing's is named by its number.
    static constexpr QStringView kLongestRunFolder = u"32767";
    static constexpr QStringView kClaims = u"C";

    // What a run that reports says of a drawing that it converts but its
    // user is to look at (a source of another version than the conversion
    // takes): empty for most. A text of the program's own, which the
    // batch file carries as it is.
    void setLookNote(qsizetype i, QString note);
    QStringView lookNote(qsizetype i) const;

private:
    struct Places
    {
        qint32 nameStart = 0;
        qint32 extStart = -1;
        qint32 baseEnd = 0;
        qint32 belowStart = 0; // -1 outside the tree's root
    };
    QString makeIntermediateName(const std::vector<qsizetype> &dummies) const;

    const ConversionJob &m_job;
    std::vector<Places> m_parts;
    QString m_intermediateName;
    std::vector<QString> m_lookNotes; // empty, or one for each source
};

} // namespace job
