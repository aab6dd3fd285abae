#pragma once

#include <QString>
#include <QStringList>

// The conversion a batch file makes, by its index in the window's choice.
enum class BatchKind { R13ToR12 = 0, R13ToGX3 = 1, R12ToGX3 = 2 };

// Which parameter files a kind of conversion uses, and whether it converts
// in two passes (R13 to R12, then R12 to GX3, through an intermediate file).
constexpr bool usesR13ToR12Parameter(BatchKind kind) { return kind != BatchKind::R12ToGX3; }
constexpr bool usesR12ToGx3Parameter(BatchKind kind) { return kind != BatchKind::R13ToR12; }
constexpr bool convertsInTwoPasses(BatchKind kind) { return kind == BatchKind::R13ToGX3; }

// The form of the converted drawings. Each front end maps its own words
// onto it: the window its format box, the command line its option.
enum class OutputFormat { Ascii, Binary };

// Default texts of the inputs that a new window starts with.
namespace JobDefaults {
inline QString r13ToR12Parameter() { return QStringLiteral("DXFIX13.DXT"); }
inline QString r12ToGx3Parameter() { return QStringLiteral("DXFIX.DXT"); }
inline QString precision() { return QStringLiteral("  6"); }
} // namespace JobDefaults

// What the messages call the inputs that the settings file keeps as well.
namespace JobFieldNames {
inline QString r13ToR12Parameter() { return QStringLiteral(u"R13->R12ﾊﾟﾗﾒｰﾀﾌｧｲﾙ"); }
inline QString r12ToGx3Parameter() { return QStringLiteral(u"R12->GX3ﾊﾟﾗﾒｰﾀﾌｧｲﾙ"); }
inline QString destinationFolder() { return QStringLiteral(u"変換先ﾌｫﾙﾀﾞ"); }
inline QString autocadFolder() { return QStringLiteral(u"AutoCadﾌｫﾙﾀﾞ"); }
} // namespace JobFieldNames

// The inputs of one batch file.
struct ConversionJob
{
    BatchKind kind = BatchKind::R13ToR12;
    QString precision = JobDefaults::precision(); // untrimmed, e.g. "  6"
    OutputFormat outputFormat = OutputFormat::Ascii;
    QString r13ToR12Parameter = JobDefaults::r13ToR12Parameter();
    QString r12ToGx3Parameter = JobDefaults::r12ToGx3Parameter();
    QStringList sources;       // Windows paths, in list order
    QString destinationFolder; // ends in "\" once its field was left
    QString autocadFolder;     // the folder that holds DXFIX.EXE

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
};

// Whether each drawing is made under a temporary name and moved onto its
// own name only once it was made.
constexpr bool usesTemporaryNames(const ConversionJob &job)
{
    return job.skipExisting || job.report;
}

// What the batch file and the programs it runs can take.
namespace BatchLimits {
// The classic Windows path limit of the converter: 260 bytes with the
// terminating NUL.
constexpr qsizetype kMaxPathBytes = 259;
// The longest line cmd.exe runs. With every path within kMaxPathBytes, no
// line comes near it.
constexpr qsizetype kMaxLineBytes = 8191;
} // namespace BatchLimits

// The extension every converted drawing gets.
constexpr QStringView kDestinationExtension = u".DXF";

// The converter, in the AutoCAD folder.
constexpr QStringView kConverterName = u"DXFIX.EXE";
