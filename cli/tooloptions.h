#pragma once

#include "core/job/conversionjob.h"
#include "sourcelistfile.h"
#include "toolwords.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QList>

namespace batchtool {

// The word for a kind on the command line: "r13-r12"; for an output
// format: "ascii".
QString keyword(BatchKind kind);
QString keyword(OutputFormat format);
// Every kind's keyword, in the order of the kinds' table: "r13-r12, …".
QString kindKeywords();
// A kind by its keyword, in any case, or by its index in the window; a
// usage error that names them all where it is neither.
Result<Usage, BatchKind> kindNamed(const QString &text);

// What --help says of the tool, before its options.
QString description();

// The options, made once for parsing and for the help text.
struct Options
{
    QCommandLineOption help{{QStringLiteral("h"), QStringLiteral("help")}, TessivaBatch::tr("Show this help.")};
    QCommandLineOption version{QStringLiteral("version"), TessivaBatch::tr("Show the version.")};
    QCommandLineOption kind{{QStringLiteral("k"), QStringLiteral("kind")},
                            TessivaBatch::tr("Conversion, one of %1 (the first is the default).").arg(kindKeywords()),
                            QStringLiteral("kind"),
                            keyword(kConversionKinds.front().kind)};
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
        TessivaBatch::tr("Encoding of the lists: %1 (default: each list whole in the one it is text of, UTF-8 "
                         "after a byte-order mark; a list that reads as other names in each is refused), %2 or %3.")
            .arg(sourcelistfile::encodingName(sourcelistfile::Encoding::Auto),
                 sourcelistfile::encodingName(sourcelistfile::Encoding::Utf8),
                 sourcelistfile::encodingName(sourcelistfile::Encoding::Cp932)),
        QStringLiteral("encoding"), sourcelistfile::encodingName(sourcelistfile::Encoding::Auto)};
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
    QCommandLineOption noDrawingCheck{
        QStringLiteral("no-drawing-check"),
        TessivaBatch::tr("Do not read the sources. By default each source this system can open is read before the "
                         "batch file is written: one that is not there, cannot be read, is empty, is no drawing or "
                         "is a DWG refuses the batch file (status 12); a DXF of another version than the conversion "
                         "takes is a warning, and a run that reports says it is to be looked at.")};
    QCommandLineOption settingsFile{
        QStringLiteral("settings"),
        TessivaBatch::tr("Take the defaults from this settings file instead of the window's."), QStringLiteral("file")};

    // Every option, in the order --help lists them.
    QList<const QCommandLineOption *> all() const
    {
        return {&help,   &version,      &kind,           &destination,  &autocad,
                &r13,    &r12,          &format,         &precision,    &output,
                &list,   &listEncoding, &tree,           &skipExisting, &checkExitStatus,
                &report, &jobs,         &noDrawingCheck, &settingsFile};
    }

    void addTo(QCommandLineParser &parser) const
    {
        for (const QCommandLineOption *option : all())
            parser.addOption(*option);
    }
};

} // namespace batchtool
