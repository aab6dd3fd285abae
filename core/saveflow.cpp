#include "saveflow.h"

#include "batchcomposer.h"
#include "filewrite.h"
#include "jobcheck.h"
#include "jobplan.h"
#include "textrules.h"

#include <QIODevice>

#include <utility>

using textrules::Separators;

namespace saveflow {
namespace {
SaveOutcome ended(SaveResult result, const QString &path, const QString &text, const QString &reason = QString())
{
    SaveOutcome outcome = SaveOutcome::of(result, text);
    outcome.path = path;
    outcome.reason = reason;
    return outcome;
}

SaveOutcome writeFile(const batch::JobPlan &plan, const QString &path)
{
    if (!isBatPath(path))
        return ended(SaveResult::NotBat, path, notBatText(path));
    const WriteResult written =
        writeWholeFile(path, [&plan](QIODevice &file) { return batch::composeTo(plan, file); });
    if (!written.ok)
        return ended(SaveResult::CannotSave, path, cannotSaveText(path), written.error);
    return ended(SaveResult::Saved, path, savedText(path));
}

// The job taken apart once, for the checks and the batch file; `then`
// runs for a job that passes the checks.
template <class Then>
auto checkedThen(const ConversionJob &job, Then then) -> decltype(then(std::declval<const batch::JobPlan &>()))
{
    const batch::JobPlan plan(job);
    if (Refusal refused = checkJob(plan))
        return *refused;
    return then(plan);
}
} // namespace

std::optional<SaveOutcome> save(const ConversionJob &job, const TargetChooser &chooseTarget)
{
    return checkedThen(job, [&chooseTarget](const batch::JobPlan &plan) -> std::optional<SaveOutcome> {
        const std::optional<QString> path = chooseTarget();
        if (!path)
            return std::nullopt;
        return writeFile(plan, *path);
    });
}

SaveOutcome saveAs(const ConversionJob &job, const QString &path)
{
    return checkedThen(job, [&path](const batch::JobPlan &plan) { return writeFile(plan, path); });
}

SaveOutcome writeTo(const ConversionJob &job, QIODevice &device)
{
    return checkedThen(job, [&device](const batch::JobPlan &plan) {
        if (!batch::composeTo(plan, device))
            return ended(SaveResult::CannotSave, QString(), QString(), device.errorString());
        return ended(SaveResult::Saved, QString(), QString());
    });
}

QString folderOf(const QString &path)
{
    return textrules::folderPart(path, Separators::WindowsOrSlash);
}

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

} // namespace saveflow
