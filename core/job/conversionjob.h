#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <array>

// The conversion a batch file makes, by its index in the window's choice
// and in kConversionKinds.
enum class BatchKind { R13ToR12 = 0, R13ToGX3 = 1, R12ToGX3 = 2 };

// Everything that differs by the kind of conversion, in one place.
struct ConversionKind
{
    BatchKind kind;
    QStringView caption; // the window's choice: "DXF(R13) -> DXF(R12)"
    QStringView keyword; // tessiva-batch --kind: "r13-r12"
    QStringView dialogTitle; // the save dialog's title
    QStringView batchName; // the name the save dialog proposes
    bool r13ToR12Pass; // runs the converter with the R13 to R12 parameter file
    bool r12ToGx3Pass; // runs it with the R12 to GX3 parameter file
    QStringView sourceVersion; // the version of DXF its converter takes, as a drawing states it
};

inline constexpr std::array<ConversionKind, 3> kConversionKinds{{
    {BatchKind::R13ToR12, u"DXF(R13) -> DXF(R12)", u"r13-r12", u"ﾊﾞｯﾁﾌｧｲﾙ保存 R13DXF to R12DXF", u"R13TO12.BAT", true,
     false, u"AC1012"},
    {BatchKind::R13ToGX3, u"DXF(R13) -> DXF(GX3)", u"r13-gx3", u"ﾊﾞｯﾁﾌｧｲﾙ保存 R13DXF to GX3DXF", u"R13TOGX3.BAT", true,
     true, u"AC1012"},
    {BatchKind::R12ToGX3, u"DXF(R12) -> DXF(GX3)", u"r12-gx3", u"ﾊﾞｯﾁﾌｧｲﾙ保存 R12DXF to GX3DXF", u"R12TOGX3.BAT", false,
     true, u"AC1009"},
}};

constexpr const ConversionKind &conversionKind(BatchKind kind) { return kConversionKinds[size_t(kind)]; }

// Each table below is looked up by its enum's value: row i is value i.
template <typename Table, typename Key>
constexpr bool rowsInOrder(const Table &table, Key Table::value_type::*key)
{
    for (size_t i = 0; i < table.size(); ++i) {
        if (size_t(table[i].*key) != i)
            return false;
    }
    return true;
}
static_assert(rowsInOrder(kConversionKinds, &ConversionKind::kind));

// Which parameter files a kind of conversion uses, and whether it converts
// in two passes (R13 to R12, then R12 to GX3, through an intermediate file).
constexpr bool usesR13ToR12Parameter(BatchKind kind) { return conversionKind(kind).r13ToR12Pass; }
constexpr bool usesR12ToGx3Parameter(BatchKind kind) { return conversionKind(kind).r12ToGx3Pass; }
constexpr bool convertsInTwoPasses(BatchKind kind)
{
    return usesR13ToR12Parameter(kind) && usesR12ToGx3Parameter(kind);
}

// The form of the converted drawings, by its index in the window's format
// box and in kOutputFormats.
enum class OutputFormat { Ascii = 0, Binary = 1 };

struct OutputFormatKind
{
    OutputFormat format;
    QStringView caption; // the window's format box: "ASCII"
    QStringView keyword; // tessiva-batch --format: "ascii"
};

inline constexpr std::array<OutputFormatKind, 2> kOutputFormats{{
    {OutputFormat::Ascii, u"ASCII", u"ascii"},
    {OutputFormat::Binary, u"ﾊﾞｲﾅﾘ", u"binary"},
}};
static_assert(rowsInOrder(kOutputFormats, &OutputFormatKind::format));

constexpr const OutputFormatKind &outputFormatKind(OutputFormat format) { return kOutputFormats[size_t(format)]; }

// The precision of ASCII output the converter takes, in digits.
namespace PrecisionRange {
constexpr int kLowest = 0;
constexpr int kHighest = 18;
constexpr int kDefault = 6;
} // namespace PrecisionRange

// True for the precisions the converter takes: "0" to "18" once trimmed.
bool isValidPrecision(const QString &text);

// Default texts of the inputs that a new window starts with.
namespace JobDefaults {
inline QString r13ToR12Parameter() { return QStringLiteral("DXFIX13.DXT"); }
inline QString r12ToGx3Parameter() { return QStringLiteral("DXFIX.DXT"); }
// As the window's box shows it: "  6".
inline QString precision() { return QString::number(PrecisionRange::kDefault).rightJustified(3, u' '); }
} // namespace JobDefaults

// What the messages and the window's captions call the inputs of a job.
namespace JobFieldNames {
inline QString r13ToR12Parameter() { return QStringLiteral(u"R13->R12ﾊﾟﾗﾒｰﾀﾌｧｲﾙ"); }
inline QString r12ToGx3Parameter() { return QStringLiteral(u"R12->GX3ﾊﾟﾗﾒｰﾀﾌｧｲﾙ"); }
inline QString destinationFolder() { return QStringLiteral(u"変換先ﾌｫﾙﾀﾞ"); }
inline QString autocadFolder() { return QStringLiteral(u"AutoCadﾌｫﾙﾀﾞ"); }
inline QString sourceFile() { return QStringLiteral(u"変換元ﾌｧｲﾙ"); }
inline QString sourceFolder() { return QStringLiteral(u"変換元ﾌｫﾙﾀﾞ"); } // a tree's root, and the folders below it
inline QString destinationFile() { return QStringLiteral(u"変換先ﾌｧｲﾙ"); }
} // namespace JobFieldNames

// The inputs of one batch file.
struct ConversionJob
{
    BatchKind kind = BatchKind::R13ToR12;
    QString precision = JobDefaults::precision(); // untrimmed, e.g. "  6"
    OutputFormat outputFormat = OutputFormat::Ascii;
    QString r13ToR12Parameter = JobDefaults::r13ToR12Parameter();
    QString r12ToGx3Parameter = JobDefaults::r12ToGx3Parameter();
    QStringList sources; // Windows paths, in list order
    QString destinationFolder; // ends in "\" once its field was left
    QString autocadFolder; // the folder that holds DXFIX.EXE

    // Options of the command-line tool; the window leaves them off.
    // A folder the sources lie under: each drawing is converted into the
    // same folder below the destination folder as it lies below this one.
    QString treeRoot;
    // Each drawing is converted only when its destination does not exist yet.
    // It is converted under a temporary name and moved onto its own name
    // as its last step, so that a stopped run leaves no half-made drawing
    // under a name the next run trusts.
    bool skipExisting = false;
    // With skipExisting or report: a converter that ends with any status
    // but 0 is taken as failed, and its output is deleted (a negative
    // status, as a crash gives, is a failure in any case).
    bool checkExitStatus = false;
    // The batch file reports its own run: progress on the console and in
    // its title, a report file beside itself (NAME.LOG) with each drawing's
    // outcome and the counts, and exit status 1 when any drawing failed.
    // Each drawing is made under a temporary name, as with skipExisting.
    // For cmd.exe (Windows NT and later) only.
    bool report = false;
    // How many converters the batch file runs at once, 1 to
    // BatchLimits::kMaxJobs. With more than one it reports its run as with
    // `report`, whether or not that is set.
    int jobs = 1;
};

// Whether the batch file runs several converters at once.
constexpr bool runsInParallel(const ConversionJob &job) { return job.jobs > 1; }

// Whether the batch file reports its run: asked for, or run in parallel.
constexpr bool reportsRun(const ConversionJob &job) { return job.report || runsInParallel(job); }

// Whether each drawing is made under a work name and moved onto its own
// name only once it was made.
constexpr bool usesTemporaryNames(const ConversionJob &job) { return job.skipExisting || reportsRun(job); }

// Whether the job may check the converter's exit status: only a run whose
// drawings are made under temporary names has an output to delete.
constexpr bool canCheckExitStatus(const ConversionJob &job) { return usesTemporaryNames(job); }

// What the batch file and the programs it runs can take.
namespace BatchLimits {
// The classic Windows path limit of the converter: 260 bytes with the
// terminating NUL. With every path within it, no line of a batch file
// comes near the longest that cmd.exe runs.
constexpr qsizetype kMaxPathBytes = 259;
// The longest folder path Windows makes a folder at: 248 characters with
// the terminating NUL, room being kept for a file's 8.3 name in it.
constexpr qsizetype kMaxFolderBytes = 247;
// The most converters a batch file runs at once.
constexpr int kMaxJobs = 16;
} // namespace BatchLimits

// The extension every converted drawing gets.
constexpr QStringView kDestinationExtension = u".DXF";

// The converter, in the AutoCAD folder.
constexpr QStringView kConverterName = u"DXFIX.EXE";
