#pragma once

#include <QString>
#include <QStringList>

// The conversion chosen for a batch file, by its index in the choice.
enum class BatchKind { R13ToR12 = 0, R13ToGX3 = 1, R12ToGX3 = 2 };

// The two output formats, as the format box shows them.
namespace OutputFormat {
inline QString ascii() { return QStringLiteral("ASCII"); }
inline QString binary() { return QStringLiteral(u"ﾊﾞｲﾅﾘ"); }
} // namespace OutputFormat

// Default texts of the inputs that a new window starts with.
namespace JobDefaults {
inline QString r13ToR12Parameter() { return QStringLiteral("DXFIX13.DXT"); }
inline QString r12ToGx3Parameter() { return QStringLiteral("DXFIX.DXT"); }
inline QString precision() { return QStringLiteral("  6"); }
QStringList precisionItems();
QStringList formatItems();
QStringList kindItems();
} // namespace JobDefaults

// The inputs of one batch file, exactly as the window's fields hold them.
struct ConversionJob
{
    BatchKind kind = BatchKind::R13ToR12;
    QString precision = JobDefaults::precision(); // untrimmed, e.g. "  6"
    QString outputFormat = OutputFormat::ascii();
    QString r13ToR12Parameter = JobDefaults::r13ToR12Parameter();
    QString r12ToGx3Parameter = JobDefaults::r12ToGx3Parameter();
    QStringList sources;       // Windows paths, in list order
    QString destinationFolder; // ends in "\" once its field was left
    QString autocadFolder;     // the folder that holds DXFIX.EXE
};

// What differs between the kinds: the save dialog's title and proposed name.
struct BatchKindInfo
{
    QString dialogTitle;
    QString defaultFileName;
};
BatchKindInfo batchKindInfo(BatchKind kind);

// The kind for an index of the choice, or false for an index out of range.
bool batchKindFromIndex(int index, BatchKind *kind);

// The extension every converted drawing gets.
inline QString destinationExtension() { return QStringLiteral(".DXF"); }
