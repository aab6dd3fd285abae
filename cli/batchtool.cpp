#include "batchtool.h"

#include "cli/consolewrap.h"
#include "cli/sourcelistfile.h"
#include "cli/wildcards.h"
#include "cli/writereason.h"
#include "core/job/conversionjob.h"
#include "core/save/saveflow.h"
#include "core/settings/settingsfile.h"
#include "core/text/textrules.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace batchtool {
namespace {

const QString kProgram = QStringLiteral("tessiva-batch");

// The tool's own words: in Japanese on a Japanese system, from the
// catalogue built into the program. The refusals are the window's texts
// and stay as they are.
struct TessivaBatch
{
    Q_DECLARE_TR_FUNCTIONS(TessivaBatch)
};

// A text for the terminal: a control character of a hostile name (an
// escape sequence, a carriage return, a NUL) or a format character (a
// right-to-left override that shows a name backwards) is shown escaped,
// never sent.
QString escaped(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        const char16_t u = c.unicode();
        const QChar::Category category = c.category();
        if (category == QChar::Other_Control || category == QChar::Other_Format || u == 0x2028 || u == 0x2029)
            out += u < 0x100 ? QStringLiteral("\\x%1").arg(u, 2, 16, QLatin1Char('0'))
                             : QStringLiteral("\\u%1").arg(u, 4, 16, QLatin1Char('0'));
        else
            out += c;
    }
    return out;
}

// The words of the tool, as the system wants text on that device.
void write(const Environment &env, QIODevice &device, const QString &text)
{
    if (env.writeText)
        env.writeText(device, text);
    else
        device.write(text.toUtf8());
}

void say(const Environment &env, QIODevice &err, const QString &text) { write(env, err, escaped(text) + u'\n'); }

// The options, made once for parsing and for the help text.
// The word for a kind on the command line: "r13-r12".
QString keyword(BatchKind kind) { return conversionKind(kind).keyword.toString(); }
// The word for an output format on the command line: "ascii".
QString keyword(OutputFormat format) { return outputFormatKind(format).keyword.toString(); }

struct Options
{
    QCommandLineOption help{{QStringLiteral("h"), QStringLiteral("help")}, TessivaBatch::tr("Show this help.")};
    QCommandLineOption version{QStringLiteral("version"), TessivaBatch::tr("Show the version.")};
    QCommandLineOption kind{
        {QStringLiteral("k"), QStringLiteral("kind")},
        TessivaBatch::tr("Conversion: %1 (default), %2 or %3.")
            .arg(keyword(BatchKind::R13ToR12), keyword(BatchKind::R13ToGX3), keyword(BatchKind::R12ToGX3)),
        QStringLiteral("kind"),
        keyword(BatchKind::R13ToR12)};
    QCommandLineOption destination{{QStringLiteral("d"), QStringLiteral("destination")},
                                   TessivaBatch::tr("Destination folder of the converted drawings."),
                                   QStringLiteral("folder")};
    QCommandLineOption autocad{{QStringLiteral("a"), QStringLiteral("autocad")},
                               TessivaBatch::tr("AutoCAD folder, the folder that holds DXFIX.EXE."),
                               QStringLiteral("folder")};
    QCommandLineOption r13{QStringLiteral("r13-parameter"),
                           TessivaBatch::tr("DXFIX parameter file of the R13 to R12 step."), QStringLiteral("name")};
    QCommandLineOption r12{QStringLiteral("r12-parameter"),
                           TessivaBatch::tr("DXFIX parameter file of the R12 to GX3 step."), QStringLiteral("name")};
    QCommandLineOption format{{QStringLiteral("f"), QStringLiteral("format")},
                              TessivaBatch::tr("Output format: %1 (default) or %2.")
                                  .arg(keyword(OutputFormat::Ascii), keyword(OutputFormat::Binary)),
                              QStringLiteral("format"),
                              keyword(OutputFormat::Ascii)};
    QCommandLineOption precision{{QStringLiteral("p"), QStringLiteral("precision")},
                                 TessivaBatch::tr("Precision of ASCII output, %1 to %2 (default %3).")
                                     .arg(PrecisionRange::kLowest)
                                     .arg(PrecisionRange::kHighest)
                                     .arg(PrecisionRange::kDefault),
                                 QStringLiteral("digits"),
                                 QString::number(PrecisionRange::kDefault)};
    QCommandLineOption output{{QStringLiteral("o"), QStringLiteral("output")},
                              TessivaBatch::tr("The batch file to write (a .BAT name); standard output when left out."),
                              QStringLiteral("file")};
    QCommandLineOption list{{QStringLiteral("l"), QStringLiteral("list")},
                            TessivaBatch::tr("Read sources one per line from <file> (\"-\": standard input). "
                                             "Given more than once, the lists are read in order."),
                            QStringLiteral("file")};
    QCommandLineOption listEncoding{
        QStringLiteral("list-encoding"),
        TessivaBatch::tr("Encoding of the list: auto (default: each line UTF-8 where it is valid UTF-8, "
                         "else code page 932), utf-8 or cp932."),
        QStringLiteral("encoding"), QStringLiteral("auto")};
    QCommandLineOption tree{QStringLiteral("tree"),
                            TessivaBatch::tr("Convert a drawing tree: every source lies under <root>, and each drawing "
                                             "goes to the same folder below the destination folder; the batch file "
                                             "makes the folders."),
                            QStringLiteral("root")};
    QCommandLineOption skipExisting{
        QStringLiteral("skip-existing"),
        TessivaBatch::tr("Convert a drawing only when its destination does not exist yet, so "
                         "that running the batch file again goes on where it stopped.")};
    QCommandLineOption checkExitStatus{
        QStringLiteral("check-exit-status"),
        TessivaBatch::tr(
            "With --skip-existing, --report or --jobs: take a converter that ends with any status but 0 as failed, "
            "and delete its output. Only for a converter known to report failure that way.")};
    QCommandLineOption report{
        QStringLiteral("report"),
        TessivaBatch::tr("The batch file reports its run (for cmd.exe, Windows NT and later): each drawing's "
                         "number and name on the console and in its title, each drawing's outcome in a report "
                         "beside it (NAME.LOG), and exit status 1 when any drawing failed.")};
    QCommandLineOption jobs{
        QStringLiteral("jobs"),
        TessivaBatch::tr("Run <n> converters at once, 1 to 16 (default 1). With more than one the batch file "
                         "reports its run as with --report, and needs a converter of which several may run at "
                         "once: try it on a few drawings first."),
        QStringLiteral("n"), QStringLiteral("1")};
    QCommandLineOption settingsFile{
        QStringLiteral("settings"),
        TessivaBatch::tr("Take the defaults from this settings file instead of the window's."), QStringLiteral("file")};

    // Every option, in the order --help lists them.
    QList<const QCommandLineOption *> all() const
    {
        return {&help,   &version,      &kind,        &destination,  &autocad,
                &r13,    &r12,          &format,      &precision,    &output,
                &list,   &listEncoding, &tree,        &skipExisting, &checkExitStatus,
                &report, &jobs,         &settingsFile};
    }

    void addTo(QCommandLineParser &parser) const
    {
        for (const QCommandLineOption *option : all())
            parser.addOption(*option);
    }
};

// What --help says of the tool, before its options.
QString description()
{
    return TessivaBatch::tr("Writes the DOS batch file that runs AutoCAD's DXFIX.EXE once for every source\n"
                            "drawing, exactly as the Tessiva window does. The folders and parameter file\n"
                            "names default to the ones last set in the window.");
}

// Each exit status, in the order of their numbers: what --help says of it,
// and the refusals of the save that end the tool with it (a precision is an
// option's value: a usage error, as any other).
struct ExitStatus
{
    ExitCode code;
    const char *help;
    std::initializer_list<SaveResult> results;
};
constexpr ExitStatus kExitStatuses[] = {
    {Success, QT_TRANSLATE_NOOP("TessivaBatch", "the batch file was written"), {SaveResult::Saved}},
    {UsageError,
     QT_TRANSLATE_NOOP("TessivaBatch", "wrong arguments, a source list or settings file that cannot be read"),
     {SaveResult::BadPrecision}},
    {NoSource, QT_TRANSLATE_NOOP("TessivaBatch", "no source file"), {SaveResult::NoSource}},
    {NoDestination, QT_TRANSLATE_NOOP("TessivaBatch", "no destination folder"), {SaveResult::NoDestination}},
    {NoAutocadFolder, QT_TRANSLATE_NOOP("TessivaBatch", "no AutoCAD folder"), {SaveResult::NoAutocadFolder}},
    {NotDxf, QT_TRANSLATE_NOOP("TessivaBatch", "a source is not a .DXF file"), {SaveResult::NotDxf}},
    {SameFolder,
     QT_TRANSLATE_NOOP("TessivaBatch", "a source lies in a folder that drawings are converted into"),
     {SaveResult::SameFolder}},
    {UnusableText,
     QT_TRANSLATE_NOOP("TessivaBatch",
                       "a text the batch file cannot carry: a character code page 932 cannot hold, a control character "
                       "(a line break, say) or one no Windows name holds (\" * ? < > |), a name Windows reads as "
                       "another (a part ending in a dot or a blank, a device such as CON or COM1, a \\ or : inside a "
                       "name), or a path longer than the converter takes (%1 bytes)"),
     {SaveResult::UnusableText, SaveResult::TooLong}},
    {NameClash,
     QT_TRANSLATE_NOOP(
         "TessivaBatch",
         "two sources would be converted onto one drawing, or two names would be one to Windows (folders, or a drawing "
         "and a folder, of two cases under Z:; a folder made where a file is written, deleted or moved)"),
     {SaveResult::NameClash}},
    {NotBat, QT_TRANSLATE_NOOP("TessivaBatch", "the output path does not end in .BAT"), {SaveResult::NotBat}},
    {CannotSave,
     QT_TRANSLATE_NOOP("TessivaBatch", "the output file or standard output cannot be written"),
     {SaveResult::CannotSave}},
    {OutsideTree,
     QT_TRANSLATE_NOOP("TessivaBatch", "with --tree, a source that does not lie under the root"),
     {SaveResult::OutsideTree}},
};
constexpr bool everyStatusInItsPlace()
{
    for (size_t i = 0; i < std::size(kExitStatuses); ++i) {
        if (size_t(kExitStatuses[i].code) != i)
            return false;
    }
    return std::size(kExitStatuses) == size_t(ExitCodeCount);
}
static_assert(everyStatusInItsPlace(), "one row for each exit status, in the order of their numbers");

// A kind by its keyword, in any case, or by its index in the window.
bool parseKind(const QString &text, BatchKind *kind)
{
    for (const ConversionKind &k : kConversionKinds) {
        if (text.compare(k.keyword, Qt::CaseInsensitive) == 0 || text == QString::number(int(k.kind))) {
            *kind = k.kind;
            return true;
        }
    }
    return false;
}

// A list of sources and where it came from.
struct NamedList
{
    QString name; // "list.txt", "standard input"
    sourcelistfile::List list; // holds the texts of the list's lines
};

// The sources as given: the arguments, then the lines of each list.
struct Sources
{
    QStringList arguments;
    std::vector<NamedList> lists;

    qsizetype size() const
    {
        qsizetype n = arguments.size();
        for (const NamedList &l : lists)
            n += l.list.size();
        return n;
    }
    QString given(qsizetype i) const
    {
        if (i < arguments.size())
            return arguments.at(i);
        const auto [l, line] = locate(i);
        return l->list.text(line);
    }
    QString place(qsizetype i) const
    {
        if (i < arguments.size())
            return TessivaBatch::tr("source argument %1").arg(i + 1);
        const auto [l, line] = locate(i);
        return TessivaBatch::tr("%1, line %2").arg(l->name).arg(l->list.number(line));
    }

private:
    std::pair<const NamedList *, qsizetype> locate(qsizetype i) const
    {
        i -= arguments.size();
        for (const NamedList &l : lists) {
            if (i < l.list.size())
                return {&l, i};
            i -= l.list.size();
        }
        return {nullptr, -1};
    }
};

// A usage error: the message, and exit status 1.
struct Usage
{
    QString message;
};

// Reads a list to its end; the reason when a read fails, as a list taken
// as shorter than it is would leave drawings out without a word, or when
// it is longer than the tool reads.
QString readToEnd(QIODevice &device, QByteArray &bytes)
{
    char chunk[1 << 16];
    for (;;) {
        const qint64 n = device.read(chunk, sizeof chunk);
        if (n < 0)
            return device.errorString();
        if (n == 0)
            return QString();
        bytes.append(chunk, n);
        if (bytes.size() > sourcelistfile::kMaxBytes)
            return TessivaBatch::tr("it is longer than %1 MiB, the most the tool reads")
                .arg(sourcelistfile::kMaxBytes >> 20);
    }
}

// Reads the sources of one --list.
std::optional<Usage> readList(const QString &name, sourcelistfile::Encoding encoding, QIODevice &in, Sources &sources)
{
    NamedList &read = sources.lists.emplace_back();
    read.name = name;
    const auto cannotRead = [](const QString &list, const QString &reason) {
        return Usage{TessivaBatch::tr("cannot read the list %1: %2").arg(list, reason)};
    };
    QByteArray bytes;
    if (name == QLatin1String("-")) {
        read.name = TessivaBatch::tr("standard input");
        if (!in.isReadable())
            return cannotRead(read.name, TessivaBatch::tr("it is closed"));
        if (const QString error = readToEnd(in, bytes); !error.isEmpty())
            return cannotRead(read.name, error);
    } else {
        QFile file(name);
        if (!file.open(QIODevice::ReadOnly))
            return cannotRead(name, file.errorString());
        // Read, not mapped: a file that shrinks while it is read must not
        // end the program.
        if (const QString error = readToEnd(file, bytes); !error.isEmpty())
            return cannotRead(name, error);
    }
    read.list = sourcelistfile::List::parse(bytes, encoding);
    const QString &where = read.name;
    const sourcelistfile::List &list = read.list;
    if (list.badLine() > 0) {
        const QString expected = encoding == sourcelistfile::Encoding::Utf8 ? TessivaBatch::tr("UTF-8")
            : encoding == sourcelistfile::Encoding::Cp932                   ? TessivaBatch::tr("code page 932")
                                                          : TessivaBatch::tr("UTF-8 or code page 932");
        return Usage{TessivaBatch::tr("%1, line %2: not %3 text (see --list-encoding)")
                         .arg(where)
                         .arg(list.badLine())
                         .arg(expected)};
    }
    return std::nullopt;
}

// The defaults the window last stored, or those of --settings.
std::optional<Usage> loadDefaults(const QCommandLineParser &parser, const Options &o, const Environment &env,
                                  settings::StoredSettings &values)
{
    values = settings::StoredSettings::defaults();
    if (!parser.isSet(o.settingsFile)) {
        values = SettingsFile(env.windowExecutable, env.userSettingsFolder).load(values);
        return std::nullopt;
    }
    // The file given is read, whatever it is: a pipe (--settings <(...),
    // /dev/stdin) to its end, or as much of a device as four lines take.
    const QString name = parser.value(o.settingsFile);
    // Windows' empty device says "no settings", as /dev/null does.
    if (env.pathStyle == jobpath::Style::Windows && jobpath::namesNullDevice(name))
        return std::nullopt;
    const auto cannotRead = [&name](const QString &why) {
        return Usage{TessivaBatch::tr("cannot read the settings file %1: %2").arg(name, why)};
    };
    if (QFileInfo(name).isDir())
        return cannotRead(TessivaBatch::tr("it is a folder"));
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly))
        return cannotRead(file.errorString());
    values = settings::valuesOf(settings::readLines(file), values);
    return std::nullopt;
}

// The kind, the output format and the precision, which the checks judge.
std::optional<Usage> takeConversion(const QCommandLineParser &parser, const Options &o, ConversionJob &job)
{
    if (!parseKind(parser.value(o.kind), &job.kind))
        return Usage{TessivaBatch::tr("unknown kind '%1' (%2, %3 or %4)")
                         .arg(parser.value(o.kind), keyword(BatchKind::R13ToR12), keyword(BatchKind::R13ToGX3),
                              keyword(BatchKind::R12ToGX3))};
    const QString formatText = parser.value(o.format);
    const auto format = std::find_if(kOutputFormats.begin(), kOutputFormats.end(), [&](const OutputFormatKind &f) {
        return formatText.compare(f.keyword, Qt::CaseInsensitive) == 0;
    });
    if (format == kOutputFormats.end())
        return Usage{TessivaBatch::tr("unknown format '%1' (%2 or %3)")
                         .arg(formatText, keyword(OutputFormat::Ascii), keyword(OutputFormat::Binary))};
    job.outputFormat = format->format;
    job.precision = parser.value(o.precision);
    return std::nullopt;
}

// The parameter files and the folders, from the command line or else the
// settings file, and the tree and re-run options.
std::optional<Usage> takeFolders(const QCommandLineParser &parser, const Options &o, const Environment &env,
                                 ConversionJob &job)
{
    settings::StoredSettings stored;
    if (std::optional<Usage> failed = loadDefaults(parser, o, env, stored))
        return failed;
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
    job.skipExisting = parser.isSet(o.skipExisting);
    job.checkExitStatus = parser.isSet(o.checkExitStatus);
    job.report = parser.isSet(o.report);
    bool number = false;
    job.jobs = parser.value(o.jobs).toInt(&number);
    if (!number || job.jobs < 1 || job.jobs > BatchLimits::kMaxJobs)
        return Usage{TessivaBatch::tr("--jobs takes a number from 1 to %1").arg(BatchLimits::kMaxJobs)};
    if (job.checkExitStatus && !canCheckExitStatus(job))
        return Usage{TessivaBatch::tr("--check-exit-status goes with --skip-existing, --report or --jobs")};
    return std::nullopt;
}

// The sources: the arguments, then the lines of each list in order, each
// made a path of the job.
std::optional<Usage> takeSources(const QCommandLineParser &parser, const Options &o, const Environment &env,
                                 QIODevice &in, ConversionJob &job, Sources &sources)
{
    const std::optional<sourcelistfile::Encoding> encoding
        = sourcelistfile::encodingFromName(parser.value(o.listEncoding));
    if (!encoding)
        return Usage{
            TessivaBatch::tr("unknown list encoding '%1' (auto, utf-8 or cp932)").arg(parser.value(o.listEncoding))};
    sources.arguments = parser.positionalArguments();
    if (env.expandWildcards) {
        QString unmatched;
        const std::optional<QStringList> expanded = wildcards::expanded(sources.arguments, &unmatched);
        if (!expanded)
            return Usage{TessivaBatch::tr("no file matches %1").arg(unmatched)};
        sources.arguments = *expanded;
    }
    const QStringList lists = parser.values(o.list);
    sources.lists.reserve(size_t(lists.size()));
    for (const QString &name : lists) {
        if (std::optional<Usage> failed = readList(name, *encoding, in, sources))
            return failed;
    }
    job.sources.reserve(sources.size());
    for (qsizetype i = 0; i < sources.size(); ++i)
        job.sources.append(jobpath::toJob(sources.given(i), env.pathStyle, env.workingFolder));
    return std::nullopt;
}

// Builds the job from the command line; a usage error when it cannot.
std::optional<Usage> buildJob(const QCommandLineParser &parser, const Options &o, const Environment &env, QIODevice &in,
                              ConversionJob &job, Sources &sources)
{
    if (std::optional<Usage> failed = takeConversion(parser, o, job))
        return failed;
    if (std::optional<Usage> failed = takeFolders(parser, o, env, job))
        return failed;
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

int exitCodeFor(SaveResult result)
{
    for (const ExitStatus &status : kExitStatuses) {
        if (std::find(status.results.begin(), status.results.end(), result) != status.results.end())
            return status.code;
    }
    return UsageError;
}

QList<int> exitCodes()
{
    QList<int> codes;
    for (const ExitStatus &status : kExitStatuses)
        codes << status.code;
    return codes;
}

namespace {
// How --help is laid out: for a console of at least this many columns (a
// narrower one gets the layout of this width), and one column short of its
// edge, as a line that fills the last column makes the console break it.
constexpr int kNarrowestConsole = 40;
// The blanks before an option's head, and between a head and its text.
constexpr int kHeadIndent = 2;
constexpr int kHeadGap = 2;
// A text beside its head gets at least this many columns; where the heads
// leave less, each head stands on a line of its own, its text below it,
// indented this far.
constexpr int kNarrowestText = 20;
constexpr int kTextBelowIndent = 8;

// One entry of --help: an option's names, an argument or an exit status,
// and what it says of it.
struct HelpEntry
{
    QString head;
    QString text;
};

// The column every text of `entries` starts at: past the widest head (its
// real width, a Japanese character counting two), or, where the console is
// too narrow for that, below each head (a negative column).
int textColumn(const QList<HelpEntry> &entries, int width)
{
    int headColumns = 0;
    for (const HelpEntry &entry : entries)
        headColumns = qMax(headColumns, consolewrap::columns(entry.head));
    const int column = headColumns + kHeadGap;
    return width - column < kNarrowestText ? -kTextBelowIndent : column;
}

// The entries as a table, their texts from `column` on.
QString entryTable(const QList<HelpEntry> &entries, int width, int column)
{
    const int indent = qAbs(column);
    QString out;
    for (const HelpEntry &entry : entries) {
        out += entry.head;
        if (column < 0)
            out += u'\n' + QString(indent, u' ');
        else
            out += QString(column - consolewrap::columns(entry.head), u' ');
        out += consolewrap::wrapped(consolewrap::joined(entry.text), width, indent, indent) + u'\n';
    }
    return out;
}

// An option as --help names it: "-k, --kind <kind>".
QString optionHead(const QCommandLineOption &option)
{
    QStringList names;
    for (const QString &name : option.names())
        names << (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
    QString head = QString(kHeadIndent, u' ') + names.join(QStringLiteral(", "));
    if (!option.valueName().isEmpty())
        head += QStringLiteral(" <%1>").arg(option.valueName());
    return head;
}
} // namespace

QString helpText(int columns)
{
    const int width = qMax(kNarrowestConsole, columns) - 1;
    const Options o;
    // The usage line breaks only between its words.
    QString text = TessivaBatch::tr("Usage: ").trimmed();
    int used = consolewrap::columns(text);
    for (const QString &word : {kProgram, TessivaBatch::tr("[options]"), TessivaBatch::tr("[source...]")}) {
        if (used + 1 + consolewrap::columns(word) > width) {
            text += u'\n' + QString(kTextBelowIndent, u' ') + word;
            used = kTextBelowIndent + consolewrap::columns(word);
        } else {
            text += u' ' + word;
            used += 1 + consolewrap::columns(word);
        }
    }
    text += u'\n' + consolewrap::wrapped(consolewrap::joined(description()), width, 0, 0) + u'\n';

    // The options and the argument, their texts in one column.
    QList<HelpEntry> options;
    for (const QCommandLineOption *option : o.all())
        options.append({optionHead(*option), option->description()});
    const QList<HelpEntry> arguments{
        {QString(kHeadIndent, u' ') + TessivaBatch::tr("sources"), TessivaBatch::tr("Source DXF files.")}};
    const int column = textColumn(options + arguments, width);
    text += u'\n' + TessivaBatch::tr("Options:") + u'\n' + entryTable(options, width, column) + u'\n'
        + TessivaBatch::tr("Arguments:") + u'\n' + entryTable(arguments, width, column);

    // The exit statuses, each number in four columns.
    QList<HelpEntry> statuses;
    for (const ExitStatus &status : kExitStatuses) {
        // "%1" in a line is the longest path the converter takes.
        const QString says
            = TessivaBatch::tr(status.help).replace(QStringLiteral("%1"), QString::number(BatchLimits::kMaxPathBytes));
        statuses.append({QStringLiteral("%1").arg(int(status.code), 4), says});
    }
    text += u'\n' + TessivaBatch::tr("Exit status:") + u'\n' + entryTable(statuses, width, textColumn(statuses, width));
    return text;
}

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
    if (const std::optional<Usage> failed = buildJob(parser, o, env, in, job, sources)) {
        say(env, err, kProgram + QStringLiteral(": ") + failed->message);
        return UsageError;
    }

    if (parser.isSet(o.output)) {
        const QString path = parser.value(o.output);
        return report(saveflow::saveAs(job, path), sources, env, err);
    }
    return report(saveflow::writeTo(job, out), sources, env, err, TessivaBatch::tr("cannot write standard output: "));
}

} // namespace batchtool
