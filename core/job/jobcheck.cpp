#include "jobcheck.h"

#include "core/text/cp932.h"
#include "core/text/textrules.h"
#include "destinationtable.h"
#include "jobpath.h"

#include <QHash>
#include <QSet>

#include <algorithm>
#include <array>

using namespace textrules;

namespace {
SaveOutcome refuse(SaveResult result, const QString &text, int line = -1)
{
    return SaveOutcome::of(result, text, line);
}

bool isDxfExtension(QStringView ext)
{
    // Upper-cased a to z only, then compared exactly.
    if (ext.size() != 4 || ext[0] != u'.')
        return false;
    static constexpr char16_t want[] = u"DXF";
    for (int i = 0; i < 3; ++i) {
        if (upperCasedUnit(ext[i + 1].unicode()) != want[i])
            return false;
    }
    return true;
}

// The characters Windows allows in no name. Besides, cmd.exe and the
// converter take * and ? as wildcards, so that a DEL or a conversion of
// such a name would act on every file it matches.
constexpr bool isForbiddenInNames(char16_t c)
{
    return c == u'"' || c == u'*' || c == u'?' || c == u'<' || c == u'>' || c == u'|';
}

// Which ASCII characters a path may hold: the printable ones but those.
constexpr std::array<bool, 0x80> kUsableAscii = [] {
    std::array<bool, 0x80> usable{};
    for (char16_t c = 0x20; c < 0x7f; ++c)
        usable[c] = !isForbiddenInNames(c);
    return usable;
}();

// A text the batch file can carry: code page 932 bytes, no control
// character (a line break would end the command and start another one),
// and no character Windows allows in no name (a double quote would also
// end the quoting around a path).
bool isUsable(QStringView text, const quint16 *codes)
{
    for (QChar ch : text) {
        const char16_t c = ch.unicode();
        if (c < 0x80 ? !kUsableAscii[c] : codes[c] == cp932::kNoCode)
            return false;
    }
    return true;
}

QString unusableText(const QString &what, const QString &text)
{
    return what % QLatin1String("( ") % text % QStringLiteral(u" )に使用できない文字が含まれています！");
}

QString tooLongText(const QString &path, qsizetype limit = BatchLimits::kMaxPathBytes)
{
    // The whole path, so that its file's name can be read (the status line
    // elides in the middle, its tooltip holds the whole text); a path of
    // any length is named by its start and its end.
    constexpr qsizetype kShown = 1000;
    const QString shown
        = path.size() > kShown ? path.left(kShown / 2 - 1) + QStringLiteral(u"…") + path.right(kShown / 2) : path;
    return QStringLiteral(u"ﾊﾟｽ( ") % shown % QStringLiteral(u" )が長すぎます！") % QString::number(limit)
        % QStringLiteral(u"ﾊﾞｲﾄまでです。");
}

// Whether two sources that Windows would take as one name are one file.
// Under Z:, the root of a system whose names tell case apart, "Plan.dxf"
// and "plan.dxf" are two drawings; elsewhere they are one file listed twice.
bool sameSourceFile(QStringView a, QStringView b)
{
    if (a == b)
        return true;
    return !jobpath::onUnixRoot(a) && sameWindowsName(a, b);
}

struct NamedText
{
    QString what;
    QString text;
    jobpath::PathEnd end; // a folder, or a file of its own
};

// The texts the batch file names apart from the sources, with what they are.
QList<NamedText> jobTexts(const ConversionJob &job)
{
    using jobpath::PathEnd;
    QList<NamedText> texts{{JobFieldNames::destinationFolder(), job.destinationFolder, PathEnd::Folder},
                           {JobFieldNames::autocadFolder(), job.autocadFolder, PathEnd::Folder}};
    if (usesR13ToR12Parameter(job.kind))
        texts.append({JobFieldNames::r13ToR12Parameter(), job.r13ToR12Parameter, PathEnd::Name});
    if (usesR12ToGx3Parameter(job.kind))
        texts.append({JobFieldNames::r12ToGx3Parameter(), job.r12ToGx3Parameter, PathEnd::Name});
    return texts;
}

QString clashText(const QString &what, const QString &name)
{
    return what % QStringLiteral(u"( ") % upperCased(name) % QStringLiteral(u" )が重複しています！");
}

SaveOutcome clash(const QString &text, int line, int otherLine)
{
    SaveOutcome outcome = refuse(SaveResult::NameClash, text, line);
    outcome.otherLine = otherLine;
    return outcome;
}

// Under Z:, the root of a system whose names tell case apart, two folders
// whose names differ only in case, or a drawing and a folder, are two
// things; the batch file, in upper case, names them as one, and Windows
// finds only one of them.
// Each folder of the sources under Z:, folded, ending in "\", with its name
// as first seen and the source it was seen in.
struct SeenFolder
{
    QStringView name;
    int source;
};
using SeenFolders = QHash<QString, SeenFolder>;

// Two folders under Z: whose names differ in case alone; each folder seen
// goes into `folders`.
Checked foldersOfTwoCases(const job::JobPlan &plan, SeenFolders &folders)
{
    QSet<QStringView> walked;
    for (int i = 0; i < plan.size(); ++i) {
        const QStringView folder = plan.folder(i);
        if (!jobpath::onUnixRoot(folder) || walked.contains(folder))
            continue;
        walked.insert(folder);
        for (qsizetype end = folder.indexOf(u'\\') + 1; end > 0; end = folder.indexOf(u'\\', end) + 1) {
            const QStringView prefix = folder.left(end);
            const QString key = windowsFolded(prefix);
            const auto it = folders.constFind(key);
            if (it == folders.cend())
                folders.insert(key, SeenFolder{prefix, i});
            else if (it->name != prefix)
                return clash(clashText(JobFieldNames::sourceFolder(), prefix.toString()), i, it->source);
        }
    }
    return {};
}

// A drawing under Z: named as one of those folders. Every source is a .DXF
// file by now, so only a folder whose name ends in ".DXF" can share a
// drawing's name; most jobs have none.
Checked drawingsNamedAsFolders(const QStringList &sources, const SeenFolders &folders)
{
    const bool dxfFolders = std::any_of(folders.keyBegin(), folders.keyEnd(),
                                        [](const QString &key) { return key.endsWith(QStringLiteral(".DXF\\")); });
    if (!dxfFolders)
        return {};
    for (int i = 0; i < sources.size(); ++i) {
        if (!jobpath::onUnixRoot(sources.at(i)))
            continue;
        const auto it = folders.constFind(windowsFolded(QString(sources.at(i) + u'\\')));
        if (it != folders.cend())
            return clash(clashText(JobFieldNames::sourceFile(), sources.at(i)), i, it->source);
    }
    return {};
}

Checked sourcesOfOneName(const job::JobPlan &plan)
{
    SeenFolders folders;
    if (Checked checked = foldersOfTwoCases(plan, folders); checked.refused())
        return checked;
    return drawingsNamedAsFolders(plan.job().sources, folders);
}

// A tree job makes folders below the destination folder. None of them may
// take the name of a file the batch file writes, deletes or moves there: a
// drawing's own name, or the intermediate file of the plain form (a checked
// run keeps its own in its work folder). DEL of a folder would ask a
// question that a run without a console waits on for ever, and empty the
// folder once answered.
Checked foldersOfAFileName(const job::JobPlan &plan)
{
    const ConversionJob &job = plan.job();
    if (job.treeRoot.isEmpty())
        return {};
    const QString &destination = job.destinationFolder;
    QHash<QString, int> folders; // folded, without the last "\"
    QSet<QStringView> walked;
    for (int i = 0; i < job.sources.size(); ++i) {
        const QStringView below = plan.below(i);
        if (below.isEmpty() || walked.contains(below))
            continue;
        walked.insert(below);
        for (qsizetype end = below.indexOf(u'\\'); end >= 0; end = below.indexOf(u'\\', end + 1))
            folders.insert(windowsFolded(QString(destination % below.left(end))), i);
    }
    if (folders.isEmpty())
        return {};
    const auto folderOf = [&](const QString &file) { return folders.value(windowsFolded(file), -1); };
    const QString folderWord = JobFieldNames::destinationFolder();
    if (convertsInTwoPasses(job.kind) && !usesTemporaryNames(job)) {
        const QString intermediate = destination + plan.intermediateName();
        if (const int folder = folderOf(intermediate); folder >= 0)
            return clash(clashText(folderWord, intermediate + u'\\'), folder, -1);
    }
    for (int i = 0; i < job.sources.size(); ++i) {
        const QString file = plan.destination(i);
        if (const int folder = folderOf(file); folder >= 0)
            return clash(clashText(folderWord, file + u'\\'), i, folder);
    }
    // A checked run holds the destination by its work folder, whose name is
    // the same for every run there: a tree's drawings in a folder of that
    // name would be taken for a run's leftovers, and a run of this job
    // would meet another at a lock of another name.
    if (usesTemporaryNames(job)) {
        const QString work = destination + job::JobPlan::kWorkFolderName;
        if (const int folder = folderOf(work); folder >= 0)
            return clash(folderWord % QStringLiteral(u"( ") % upperCased(work)
                             % QStringLiteral(u"\\ )は作業用のﾌｫﾙﾀﾞなので、図面をそこへ変換できません！"),
                         folder, -1);
    }
    return {};
}

// The precision the converter is given, 0 to 18, whatever the format: the
// window puts any other text back as its box is left, and the command line
// refuses it before anything else.
Checked precisionInRange(const job::JobPlan &plan)
{
    const QString &precision = plan.job().precision;
    if (isValidPrecision(precision))
        return {};
    return refuse(SaveResult::BadPrecision,
                  QStringLiteral(u"出力精度( ") % trimmed(precision)
                      % QStringLiteral(u" )は%1から%2で指定してください！")
                            .arg(PrecisionRange::kLowest)
                            .arg(PrecisionRange::kHighest));
}

// The three inputs without which there is no job.
Checked emptyInputs(const job::JobPlan &plan)
{
    const ConversionJob &job = plan.job();
    if (job.sources.isEmpty())
        return refuse(SaveResult::NoSource,
                      JobFieldNames::sourceFile() % QStringLiteral(u"が一つも選択されていません！"));
    if (trimmedView(job.destinationFolder).isEmpty())
        return refuse(SaveResult::NoDestination,
                      JobFieldNames::destinationFolder() % QStringLiteral(u"が指定されていません！"));
    if (trimmedView(job.autocadFolder).isEmpty())
        return refuse(SaveResult::NoAutocadFolder, QStringLiteral(u"AutoCadｲﾝｽﾄｰﾙﾌｫﾙﾀﾞが指定されていません！"));
    return {};
}

// Each source in list order: a .DXF file, under the tree's root, and not in
// a folder that drawings are converted into (the destination folder, and
// for a tree job each source's folder below it), where a converted drawing
// would overwrite it.
Checked sourcePlaces(const job::JobPlan &plan)
{
    const ConversionJob &job = plan.job();
    const bool tree = !job.treeRoot.isEmpty();
    QSet<QString> outputFolders;
    if (tree) {
        for (qsizetype i = 0; i < plan.size(); ++i) {
            if (plan.underRoot(i))
                outputFolders.insert(windowsFolded(QString(job.destinationFolder + plan.below(i))));
        }
    }
    for (int i = 0; i < job.sources.size(); ++i) {
        if (!isDxfExtension(plan.extension(i)))
            return refuse(SaveResult::NotDxf, QStringLiteral(u"DXFﾌｧｲﾙではありません！"), i);
        if (!plan.underRoot(i))
            return refuse(SaveResult::OutsideTree,
                          JobFieldNames::sourceFile() % QStringLiteral(u"( ") % job.sources.at(i)
                              % QStringLiteral(u" )が") % JobFieldNames::sourceFolder() % QStringLiteral(u"( ")
                              % job.treeRoot % QStringLiteral(u" )の下にありません！"),
                          i);
        const QStringView folder = plan.folder(i);
        const bool same
            = tree ? outputFolders.contains(windowsFolded(folder)) : sameWindowsName(folder, job.destinationFolder);
        if (same)
            return refuse(SaveResult::SameFolder,
                          QStringLiteral(u"変換元と変換先のﾌｫﾙﾀﾞ名が同一です！変換先ﾌｫﾙﾀﾞを変更してください。"), i);
    }
    return {};
}

// A character without code page 932 bytes would be written as a wrong byte
// and name a file that does not exist; the others refused would end or
// change the command.
Checked unusableTexts(const job::JobPlan &plan)
{
    const ConversionJob &job = plan.job();
    const quint16 *const codes = cp932::codeTable();
    for (const NamedText &t : jobTexts(job)) {
        if (!isUsable(t.text, codes))
            return refuse(SaveResult::UnusableText, unusableText(t.what, t.text));
    }
    for (int i = 0; i < job.sources.size(); ++i) {
        if (!isUsable(job.sources.at(i), codes))
            return refuse(SaveResult::UnusableText, unusableText(JobFieldNames::sourceFile(), job.sources.at(i)), i);
    }
    return {};
}

QString otherNameText(const QString &what, const QString &text, QStringView part)
{
    return what % QLatin1String("( ") % text % QStringLiteral(u" )の「") % part
        % QStringLiteral(u"」はWindowsでは別の名前になります！");
}

// Names that Windows reads as other names: a drawing would be converted
// from another file, onto a device, or not at all. The folders and
// parameter files first, then each source in list order.
Checked namesReadOtherwise(const job::JobPlan &plan)
{
    const ConversionJob &job = plan.job();
    QList<NamedText> texts = jobTexts(job);
    if (!job.treeRoot.isEmpty())
        texts.append({JobFieldNames::sourceFolder(), job.treeRoot, jobpath::PathEnd::Folder});
    for (const NamedText &t : std::as_const(texts)) {
        // A parameter file is named below the AutoCAD folder: no drive.
        const QString path = t.end == jobpath::PathEnd::Name ? u'\\' + t.text : t.text;
        const QString part = jobpath::partReadOtherwise(path, t.end).toString();
        if (!part.isNull())
            return refuse(SaveResult::UnusableText, otherNameText(t.what, t.text, part));
    }
    for (int i = 0; i < job.sources.size(); ++i) {
        const QStringView part = jobpath::partReadOtherwise(job.sources.at(i), jobpath::PathEnd::Name);
        if (!part.isNull())
            return refuse(SaveResult::UnusableText, otherNameText(JobFieldNames::sourceFile(), job.sources.at(i), part),
                          i);
    }
    return {};
}

// Names in the shape of a Windows short name: the batch file would open a
// long file whose short name it is, and convert onto it or skip it as
// already there. Only the names the batch file makes are judged: each
// drawing's, and for a tree each folder below its root.
Checked shortNames(const job::JobPlan &plan)
{
    const ConversionJob &job = plan.job();
    for (int i = 0; i < job.sources.size(); ++i) {
        const QString &source = job.sources.at(i);
        QStringView part;
        if (jobpath::hasShortNameShape(plan.baseName(i)))
            part = QStringView(source).mid(plan.folder(i).size());
        const QStringView below = plan.below(i);
        for (qsizetype start = 0, end = below.indexOf(u'\\'); part.isNull() && end >= 0;
             start = end + 1, end = below.indexOf(u'\\', start)) {
            if (jobpath::hasShortNameShape(below.sliced(start, end - start)))
                part = below.sliced(start, end - start);
        }
        if (!part.isNull())
            return refuse(SaveResult::UnusableText, otherNameText(JobFieldNames::sourceFile(), source, part), i);
    }
    return {};
}

// A path longer than the converter takes would make no drawing, and
// nothing would say so.
Checked tooLongPaths(const job::JobPlan &plan)
{
    const ConversionJob &job = plan.job();
    const QString &folder = job.destinationFolder;
    QList<QString> jobPaths{job.autocadFolder + kConverterName};
    if (usesR13ToR12Parameter(job.kind))
        jobPaths << job.autocadFolder + job.r13ToR12Parameter;
    if (usesR12ToGx3Parameter(job.kind))
        jobPaths << job.autocadFolder + job.r12ToGx3Parameter;
    // A checked run makes each drawing in its work folder, under a name as
    // long as the longest of the others there.
    // In parallel, in the folder of its worker in the run's own folder
    // there, named by its number; and each drawing's claim is a folder.
    QList<QString> folderPaths;
    if (runsInParallel(job)) {
        const QString run = plan.workFolder() % job::JobPlan::kLongestRunFolder % u'\\';
        jobPaths << run % QString::number(job.jobs) % u'\\' % job::JobPlan::kWorkDrawing;
        folderPaths << run % job::JobPlan::kClaims % u'\\' % QString::number(job.sources.size());
    } else if (usesTemporaryNames(job))
        jobPaths << plan.workFolder() + job::JobPlan::kWorkDrawing;
    else if (convertsInTwoPasses(job.kind))
        jobPaths << folder + plan.intermediateName();
    for (const QString &path : std::as_const(jobPaths)) {
        if (cp932::encodedLength(path) > BatchLimits::kMaxPathBytes)
            return refuse(SaveResult::TooLong, tooLongText(path));
    }
    for (const QString &path : std::as_const(folderPaths)) {
        if (cp932::encodedLength(path) > BatchLimits::kMaxFolderBytes)
            return refuse(SaveResult::TooLong, tooLongText(path, BatchLimits::kMaxFolderBytes));
    }
    // The drawing's own name but for its folder below the root and its
    // base name.
    const qsizetype destinationFixed = cp932::encodedLength(folder) + kDestinationExtension.size();
    for (int i = 0; i < job.sources.size(); ++i) {
        const QStringView source = job.sources.at(i);
        // No character takes more than two bytes: most sources are too
        // short to need measuring.
        if (destinationFixed + 2 * source.size() <= BatchLimits::kMaxPathBytes)
            continue;
        const qsizetype sourceLength = cp932::encodedLength(source);
        if (sourceLength > BatchLimits::kMaxPathBytes)
            return refuse(SaveResult::TooLong, tooLongText(source.toString()), i);
        // The folder below the root and the base name are parts of the
        // source: only a source near the limit can make a name too long.
        if (destinationFixed + sourceLength <= BatchLimits::kMaxPathBytes)
            continue;
        const qsizetype destination
            = destinationFixed + cp932::encodedLength(plan.below(i)) + cp932::encodedLength(plan.baseName(i));
        if (destination > BatchLimits::kMaxPathBytes)
            return refuse(SaveResult::TooLong, tooLongText(plan.destination(i)), i);
    }
    return {};
}

// Two different sources must not be converted onto one drawing: the second
// would silently overwrite the first. Names are compared as Windows
// compares them. The same source listed twice is harmless.
Checked sharedDestinations(const job::JobPlan &plan)
{
    const ConversionJob &job = plan.job();
    DestinationTable destinations(plan);
    for (int i = 0; i < job.sources.size(); ++i) {
        const int first = destinations.firstWithSameDestination(i);
        if (first >= 0 && !sameSourceFile(job.sources.at(first), job.sources.at(i)))
            return clash(clashText(JobFieldNames::destinationFile(), plan.destination(i)), i, first);
    }
    return {};
}
} // namespace

Checked checkJob(const job::JobPlan &plan)
{
    // In this order; the first refusal wins.
    for (const auto check : {precisionInRange, emptyInputs, sourcePlaces, unusableTexts, namesReadOtherwise, shortNames,
                             tooLongPaths, sharedDestinations, sourcesOfOneName, foldersOfAFileName}) {
        if (Checked checked = check(plan); checked.refused())
            return checked;
    }
    return {};
}
