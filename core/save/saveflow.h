#pragma once

#include "core/base/result.h"
#include "core/drawing/sourcecheck.h"
#include "core/job/conversionjob.h"
#include "core/job/saveoutcome.h"

#include <QString>

#include <functional>

class QIODevice;

// The save of a batch file, the same for the window and the command line:
// the job checks in their order, then what the sources are, then the target
// is chosen, then the .BAT check, then the write. Every step ends in one SaveOutcome, but a cancel
// of the dialog, which ends it with nothing to report.
namespace saveflow {

// Asks where the batch file goes, or is cancelled by the user. Called only
// for a job that passed its checks.
using TargetChooser = std::function<Cancellable<QString>()>;

// What the front end makes of the sources of a job that passed its checks
// (drawing::readSources): the save goes on with what was found, and a run
// that reports says which drawings were of another version; or it stops,
// with the outcome to report. The window's reading can be cancelled too.
using SourceCheck = std::function<Result<SaveOutcome, drawing::Findings>(const ConversionJob &)>;
using SourceReview = std::function<Cancellable<Result<SaveOutcome, drawing::Findings>>(const ConversionJob &)>;

// A save's outcome, or the user's cancel of the reading of the sources or
// of the choice of a target, which has nothing to report.
Cancellable<SaveOutcome> save(const ConversionJob &job, const SourceReview &review, const TargetChooser &chooseTarget);

// The save to a target already chosen, as a command line names it. An
// empty check reads no source.
SaveOutcome saveAs(const ConversionJob &job, const QString &path, const SourceCheck &check = {});

// The save to an open device (standard output, say): the job checks, the
// sources, then the write. No name, so no .BAT check.
SaveOutcome writeTo(const ConversionJob &job, QIODevice &device, const SourceCheck &check = {});

// The folder of a target path. The path is native, as a dialog or a
// command line gives it, so "/" separates folders as well.
QString folderOf(const QString &path);

} // namespace saveflow
