#pragma once

#include "drawinghead.h"

#include "core/base/result.h"
#include "core/job/conversionjob.h"
#include "core/job/jobpath.h"
#include "core/job/saveoutcome.h"

#include <atomic>
#include <functional>
#include <vector>

namespace job {
class JobPlan;
}

// What each source of a job is, against what its conversion takes: read
// before the save, so that the user learns of a source that will not
// convert before the run, not after it.
namespace drawing {

// A source against its conversion: what it takes, a DXF of another version
// (or one that states none), which the converter may take or not, or
// a file it cannot convert at all.
enum class Verdict { Fits, OtherVersion, Unusable };
Verdict verdictOf(const Head &head, BatchKind kind);

struct Finding
{
    qsizetype line; // the source's index in the job
    Head head;
    Verdict verdict;
};

struct Findings
{
    // Every source that is not what its conversion takes, in list order.
    std::vector<Finding> sources;
    // How many sources name no file of this system (a drive letter off
    // Windows), and were not read.
    qsizetype unchecked = 0;

    qsizetype count(Verdict verdict) const;
    // The finding the user is to look at first: the first unusable source,
    // or else the first of another version; null where there is none.
    const Finding *first() const;
};

// How far a reading has come, and the reader's cancel; shared with the
// thread that shows it.
struct ReadProgress
{
    std::atomic<qsizetype> done{0};
    std::atomic<bool> cancel{false};
};

// Reads one source's head, by its native path: readHead, or a stand-in.
using HeadReader = std::function<Head(const QString &nativePath)>;

// Reads the head of every source of `job` that names a file of this
// system (by jobpath::toNative in `style`), on as many threads as the
// machine has cores. Cancelled only through `progress`.
Cancellable<Findings> readSources(const ConversionJob &job, jobpath::Style style, ReadProgress *progress = nullptr,
                                  const HeadReader &reader = readHead);

// The window's words for what a source is ("DWGﾌｧｲﾙ R14（AC1014）"), the
// same for every source of one kind and version, and why it matters for
// the conversion ("R13のDXFを変換する設定です").
QString whatItIs(const Head &head);
QString whyItMatters(const Finding &finding, BatchKind kind);

// The outcome of a save stopped for its sources: the status line names the
// first source to look at, and selects it.
SaveOutcome stopped(const Findings &findings, const ConversionJob &job);

// Marks each drawing of another version in the plan, so that a run that
// reports says it is to be looked at, with the version it had, even where
// the converter took it.
void noteOtherVersions(const Findings &findings, job::JobPlan &plan);

} // namespace drawing
