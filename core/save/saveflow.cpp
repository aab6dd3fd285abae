#include "saveflow.h"

#include "core/batch/batchcomposer.h"
#include "core/files/filewrite.h"
#include "core/job/jobcheck.h"
#include "core/job/jobplan.h"
#include "core/text/textrules.h"

#include <QIODevice>

using textrules::Separators;

namespace saveflow {
namespace {
// The parts of a target path the save looks at, and the status line's
// texts for it.
bool isBatPath(const QString &path)
{
    return textrules::upperCased(textrules::extension(path, Separators::WindowsOrSlash)) == QLatin1String(".BAT");
}

QString notBatText(const QString &path)
{
    return QStringLiteral(u"拡張子が.BATでないため( ") % textrules::namePart(path, Separators::WindowsOrSlash)
        % QStringLiteral(u" )では保存できません！");
}

QString cannotSaveText(const QString &path)
{
    return QStringLiteral(u"ﾊﾞｯﾁﾌｧｲﾙ名 = ") % path % QStringLiteral(u"を保存できません！");
}

QString savedText(const QString &path)
{
    return QStringLiteral(u"ﾊﾞｯﾁﾌｧｲﾙ名 = ") % path % QStringLiteral(u"を保存しました！");
}

SaveOutcome ended(SaveResult result, const QString &path, const QString &text, WriteError reason = {})
{
    SaveOutcome outcome = SaveOutcome::of(result, text);
    outcome.path = path;
    outcome.reason = reason;
    return outcome;
}

// A parallel run starts its workers from a copy of the batch file, which
// it names by the path cmd.exe gives it (%~f0). Windows' cmd.exe expands
// that path once; Wine's expands a % in it again, and the copy is never
// made. Every other character a folder's name can hold is taken as it is.
bool folderTakesTheCopy(const ConversionJob &job, const QString &path)
{
    return !runsInParallel(job) || !folderOf(path).contains(u'%');
}

QString unusableTargetText(const QString &path)
{
    return QStringLiteral(u"ﾊﾞｯﾁﾌｧｲﾙのﾌｫﾙﾀﾞ名( ") % folderOf(path)
        % QStringLiteral(u" )の「%」は、同時に変換するﾊﾞｯﾁﾌｧｲﾙには使えません！");
}

SaveOutcome writeFile(const job::JobPlan &plan, const QString &path)
{
    if (!isBatPath(path))
        return ended(SaveResult::NotBat, path, notBatText(path));
    if (!folderTakesTheCopy(plan.job(), path))
        return ended(SaveResult::UnusableTarget, path, unusableTargetText(path));
    const WriteResult written
        = writeWholeFile(path, [&plan](QIODevice &file) { return batch::composeTo(plan, file).passed(); });
    if (written.refused())
        return ended(SaveResult::CannotSave, path, cannotSaveText(path), written.why());
    return ended(SaveResult::Saved, path, savedText(path));
}

// What the sources are, where they were read: a drawing of another version
// is noted for the run's report.
Checked takeFindings(const Result<SaveOutcome, drawing::Findings> &read, job::JobPlan &plan)
{
    if (read.refused())
        return read.why();
    drawing::noteOtherVersions(read.value(), plan);
    return {};
}

Checked checkSources(const SourceCheck &check, job::JobPlan &plan)
{
    if (!check)
        return {};
    return takeFindings(check(plan.job()), plan);
}

} // namespace

// Each save takes the job apart once, for the checks and the batch file.
Cancellable<SaveOutcome> save(const ConversionJob &job, const SourceReview &review, const TargetChooser &chooseTarget)
{
    job::JobPlan plan(job);
    if (const Checked checked = checkJob(plan); checked.refused())
        return checked.why();
    if (review) {
        const auto reviewed = review(job);
        if (reviewed.cancelled())
            return kCancelled;
        if (const Checked taken = takeFindings(*reviewed, plan); taken.refused())
            return taken.why();
    }
    const Cancellable<QString> path = chooseTarget();
    if (path.cancelled())
        return kCancelled;
    return writeFile(plan, *path);
}

SaveOutcome saveAs(const ConversionJob &job, const QString &path, const SourceCheck &check)
{
    job::JobPlan plan(job);
    if (const Checked checked = checkJob(plan); checked.refused())
        return checked.why();
    if (const Checked checked = checkSources(check, plan); checked.refused())
        return checked.why();
    return writeFile(plan, path);
}

SaveOutcome writeTo(const ConversionJob &job, QIODevice &device, const SourceCheck &check)
{
    job::JobPlan plan(job);
    if (const Checked checked = checkJob(plan); checked.refused())
        return checked.why();
    if (const Checked checked = checkSources(check, plan); checked.refused())
        return checked.why();
    if (batch::composeTo(plan, device).refused())
        return ended(SaveResult::CannotSave, QString(), QString(), WriteError::system(lastSystemError()));
    return ended(SaveResult::Saved, QString(), QString());
}

QString folderOf(const QString &path) { return textrules::folderPart(path, Separators::WindowsOrSlash); }

} // namespace saveflow
