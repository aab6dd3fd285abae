#include "batchtool.h"

#include "cli/writereason.h"
#include "core/job/conversionjob.h"
#include "core/save/saveflow.h"
#include "core/settings/settingsfile.h"
#include "core/text/textrules.h"
#include "drawingcheck.h"
#include "exitstatus.h"
#include "sourcesgiven.h"
#include "tooloptions.h"
#include "toolwords.h"

#include <QFile>
#include <QFileInfo>

namespace batchtool {
namespace {

// The defaults the window last stored, or those of --settings.
Result<Usage> loadDefaults(const QCommandLineParser &parser, const Options &o, const Environment &env,
                           settings::StoredSettings &values)
{
    values = settings::StoredSettings::defaults();
    if (!parser.isSet(o.settingsFile)) {
        values = SettingsFile(env.windowExecutable, env.userSettingsFolder).load(values);
        return {};
    }
    // The file given is read, whatever it is: a pipe (--settings <(...),
    // /dev/stdin) to its end, or as much of a device as four lines take.
    const QString name = parser.value(o.settingsFile);
    // Windows' empty device says "no settings", as /dev/null does.
    if (env.pathStyle == jobpath::Style::Windows && jobpath::namesNullDevice(name))
        return {};
    const auto cannotRead = [&name](const QString &why) {
        return Usage{TessivaBatch::tr("cannot read the settings file %1: %2").arg(name, why)};
    };
    if (QFileInfo(name).isDir())
        return cannotRead(TessivaBatch::tr("it is a folder"));
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly))
        return cannotRead(file.errorString());
    values = settings::valuesOf(settings::readLines(file), values);
    return {};
}

// The kind, the output format and the precision, which the checks judge.
Result<Usage> takeConversion(const QCommandLineParser &parser, const Options &o, ConversionJob &job)
{
    const Result<Usage, BatchKind> kind = kindNamed(parser.value(o.kind));
    if (kind.refused())
        return kind.why();
    job.kind = kind.value();
    const QString formatText = parser.value(o.format);
    const auto format = std::find_if(kOutputFormats.begin(), kOutputFormats.end(), [&](const OutputFormatKind &f) {
        return formatText.compare(f.keyword, Qt::CaseInsensitive) == 0;
    });
    if (format == kOutputFormats.end())
        return Usage{TessivaBatch::tr("unknown format '%1' (%2 or %3)")
                         .arg(formatText, keyword(OutputFormat::Ascii), keyword(OutputFormat::Binary))};
    job.outputFormat = format->format;
    job.precision = parser.value(o.precision);
    return {};
}

// The parameter files and the folders, from the command line or else the
// settings file, and the tree's root.
Result<Usage> takeFolders(const QCommandLineParser &parser, const Options &o, const Environment &env,
                          ConversionJob &job)
{
    settings::StoredSettings stored;
    if (Result<Usage> taken = loadDefaults(parser, o, env, stored); taken.refused())
        return taken;
    // A folder from the settings file is taken as the window takes it when
    // its field is left; one from the command line as a shell path.
    const auto storedFolder = [&env](const QString &text) { return jobpath::folderToJob(text, env.pathStyle); };
    const auto givenFolder
        = [&env](const QString &text) { return jobpath::folderToJob(text, env.pathStyle, env.workingFolder); };
    job.r13ToR12Parameter = parser.isSet(o.r13) ? parser.value(o.r13) : stored.r13ToR12Parameter;
    job.r12ToGx3Parameter = parser.isSet(o.r12) ? parser.value(o.r12) : stored.r12ToGx3Parameter;
    job.destinationFolder = parser.isSet(o.destination) ? givenFolder(parser.value(o.destination))
                                                        : storedFolder(stored.destinationFolder);
    job.autocadFolder
        = parser.isSet(o.autocad) ? givenFolder(parser.value(o.autocad)) : storedFolder(stored.autocadFolder);
    if (parser.isSet(o.tree)) {
        job.treeRoot = givenFolder(parser.value(o.tree));
        if (textrules::trimmedView(job.treeRoot).isEmpty())
            return Usage{TessivaBatch::tr("--tree needs a folder")};
    }
    return {};
}

// How the batch file runs: skipping, checking, reporting, in parallel.
Result<Usage> takeRunOptions(const QCommandLineParser &parser, const Options &o, ConversionJob &job)
{
    job.skipExisting = parser.isSet(o.skipExisting);
    job.checkExitStatus = parser.isSet(o.checkExitStatus);
    job.report = parser.isSet(o.report);
    bool number = false;
    job.jobs = parser.value(o.jobs).toInt(&number);
    if (!number || job.jobs < 1 || job.jobs > BatchLimits::kMaxJobs)
        return Usage{TessivaBatch::tr("--jobs takes a number from 1 to %1").arg(BatchLimits::kMaxJobs)};
    if (job.checkExitStatus && !canCheckExitStatus(job))
        return Usage{TessivaBatch::tr("--check-exit-status goes with --skip-existing, --report or --jobs")};
    return {};
}

// Builds the job from the command line; a usage error when it cannot.
Result<Usage> buildJob(const QCommandLineParser &parser, const Options &o, const Environment &env, QIODevice &in,
                       ConversionJob &job, Sources &sources)
{
    if (Result<Usage> taken = takeConversion(parser, o, job); taken.refused())
        return taken;
    if (Result<Usage> taken = takeFolders(parser, o, env, job); taken.refused())
        return taken;
    if (Result<Usage> taken = takeRunOptions(parser, o, job); taken.refused())
        return taken;
    return takeSources(parser, o, env, in, job, sources);
}

// Says on standard error what ended the run, and gives its exit status.
// `written` names what could not be written, where the status line does not.
int report(const SaveOutcome &outcome, const Sources &sources, const Environment &env, QIODevice &err,
           const QString &written = QString())
{
    if (!outcome.statusText.isEmpty() && outcome.result != SaveResult::Saved)
        say(env, err, outcome.statusText);
    for (int line : {outcome.otherLine, outcome.line}) {
        if (line >= 0 && line < sources.size())
            say(env, err, QStringLiteral("%1: '%2' (%3)").arg(kProgram, sources.given(line), sources.place(line)));
    }
    if (outcome.reason.failed())
        say(env, err, kProgram + QStringLiteral(": ") + written + englishReason(outcome.reason));
    return exitCodeFor(outcome.result);
}

} // namespace

int run(const QStringList &arguments, const Environment &env, QIODevice &in, QIODevice &out, QIODevice &err)
{
    QCommandLineParser parser;
    const Options o;
    o.addTo(parser);
    if (!parser.parse(arguments)) {
        say(env, err, kProgram + QStringLiteral(": ") + parser.errorText());
        say(env, err, TessivaBatch::tr("Try '%1 --help'.").arg(kProgram));
        return UsageError;
    }
    if (parser.isSet(o.help)) {
        write(env, out, helpText(env.columns));
        return Success;
    }
    if (parser.isSet(o.version)) {
        out.write(QByteArrayLiteral("tessiva-batch " TESSIVA_VERSION "\n"));
        return Success;
    }

    ConversionJob job;
    Sources sources;
    if (const Result<Usage> built = buildJob(parser, o, env, in, job, sources); built.refused()) {
        say(env, err, kProgram + QStringLiteral(": ") + built.why().message);
        return built.why().status;
    }

    const saveflow::SourceCheck check
        = parser.isSet(o.noDrawingCheck) ? saveflow::SourceCheck() : drawingCheck(env, err, sources);
    if (parser.isSet(o.output)) {
        const QString path = parser.value(o.output);
        return report(saveflow::saveAs(job, path, check), sources, env, err);
    }
    return report(saveflow::writeTo(job, out, check), sources, env, err,
                  TessivaBatch::tr("cannot write standard output: "));
}

} // namespace batchtool
