#include "batchtool.h"

#include "core/batchcomposer.h"
#include "core/conversionjob.h"
#include "core/cp932.h"
#include "core/filewrite.h"
#include "core/settingscodec.h"

#include <QCommandLineParser>
#include <QFile>
#include <QStringDecoder>

namespace batchtool {
namespace {

void say(QIODevice &err, const QString &text)
{
    err.write(text.toLocal8Bit() + '\n');
}

QString exitCodeHelp()
{
    return QStringLiteral(
        "\nExit status:\n"
        "   0  the batch file was written\n"
        "   1  wrong arguments, or a source list that cannot be read\n"
        "   2  no source file\n"
        "   3  no destination folder\n"
        "   4  no AutoCAD folder\n"
        "   5  a source is not a .DXF file\n"
        "   6  a source lies in the destination folder\n"
        "   7  a text that code page 932 cannot hold\n"
        "   8  two sources would be converted onto one drawing\n"
        "   9  the output path does not end in .BAT\n"
        "  10  the output file cannot be written\n");
}

// A list of sources, one per line: UTF-8, or code page 932 when the bytes
// are not UTF-8. Blank lines are passed over.
QStringList sourceLines(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        text = cp932::decode(bytes);
    QStringList lines;
    for (QString line : text.split(u'\n')) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (!textrules::trimmed(line).isEmpty())
            lines << line;
    }
    return lines;
}

bool parseKind(const QString &text, BatchKind *kind)
{
    const QString t = text.toLower();
    if (t == QLatin1String("r13-r12") || t == QLatin1String("0"))
        *kind = BatchKind::R13ToR12;
    else if (t == QLatin1String("r13-gx3") || t == QLatin1String("1"))
        *kind = BatchKind::R13ToGX3;
    else if (t == QLatin1String("r12-gx3") || t == QLatin1String("2"))
        *kind = BatchKind::R12ToGX3;
    else
        return false;
    return true;
}

} // namespace

int exitCodeFor(JobProblem problem)
{
    switch (problem) {
    case JobProblem::None: return Success;
    case JobProblem::NoSource: return NoSource;
    case JobProblem::NoDestination: return NoDestination;
    case JobProblem::NoAutocadFolder: return NoAutocadFolder;
    case JobProblem::NotDxf: return NotDxf;
    case JobProblem::SameFolder: return SameFolder;
    case JobProblem::Unencodable: return Unencodable;
    case JobProblem::DuplicateDestination: return DuplicateDestination;
    }
    return UsageError;
}

int run(const QStringList &arguments, const Environment &env, QIODevice &in, QIODevice &out,
        QIODevice &err)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Writes the DOS batch file that runs AutoCAD's DXFIX.EXE once for every source\n"
        "drawing, exactly as the Tessiva window does. The folders and parameter file\n"
        "names default to the ones last set in the window."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Show this help."));
    const QCommandLineOption version(QStringLiteral("version"), QStringLiteral("Show the version."));
    const QCommandLineOption kind({QStringLiteral("k"), QStringLiteral("kind")},
                                  QStringLiteral("Conversion: r13-r12 (default), r13-gx3 or r12-gx3."),
                                  QStringLiteral("kind"), QStringLiteral("r13-r12"));
    const QCommandLineOption destination({QStringLiteral("d"), QStringLiteral("destination")},
                                         QStringLiteral("Destination folder of the converted drawings."),
                                         QStringLiteral("folder"));
    const QCommandLineOption autocad({QStringLiteral("a"), QStringLiteral("autocad")},
                                     QStringLiteral("AutoCAD folder, the folder that holds DXFIX.EXE."),
                                     QStringLiteral("folder"));
    const QCommandLineOption r13(QStringLiteral("r13-parameter"),
                                 QStringLiteral("DXFIX parameter file of the R13 to R12 step."), QStringLiteral("name"));
    const QCommandLineOption r12(QStringLiteral("r12-parameter"),
                                 QStringLiteral("DXFIX parameter file of the R12 to GX3 step."), QStringLiteral("name"));
    const QCommandLineOption format({QStringLiteral("f"), QStringLiteral("format")},
                                    QStringLiteral("Output format: ascii (default) or binary."),
                                    QStringLiteral("format"), QStringLiteral("ascii"));
    const QCommandLineOption precision({QStringLiteral("p"), QStringLiteral("precision")},
                                       QStringLiteral("Precision of ASCII output, 0 to 18 (default 6)."),
                                       QStringLiteral("digits"), QStringLiteral("6"));
    const QCommandLineOption output({QStringLiteral("o"), QStringLiteral("output")},
                                    QStringLiteral("The batch file to write (a .BAT name); standard output when left out."),
                                    QStringLiteral("file"));
    const QCommandLineOption list({QStringLiteral("l"), QStringLiteral("list")},
                                  QStringLiteral("Read sources one per line from <file> (\"-\": standard input)."),
                                  QStringLiteral("file"));
    const QCommandLineOption settingsFile(QStringLiteral("settings"),
                                          QStringLiteral("Take the defaults from this settings file instead of the window's."),
                                          QStringLiteral("file"));
    parser.addOptions({help, version, kind, destination, autocad, r13, r12, format, precision, output, list,
                       settingsFile});
    parser.addPositionalArgument(QStringLiteral("sources"), QStringLiteral("Source DXF files."),
                                 QStringLiteral("[source...]"));

    if (!parser.parse(arguments)) {
        say(err, QStringLiteral("tessiva-batch: ") + parser.errorText());
        say(err, QStringLiteral("Try 'tessiva-batch --help'."));
        return UsageError;
    }
    if (parser.isSet(help)) {
        out.write((parser.helpText() + exitCodeHelp()).toLocal8Bit());
        return Success;
    }
    if (parser.isSet(version)) {
        out.write(QByteArrayLiteral("tessiva-batch " TESSIVA_VERSION "\n"));
        return Success;
    }

    ConversionJob job;
    if (!parseKind(parser.value(kind), &job.kind)) {
        say(err, QStringLiteral("tessiva-batch: unknown kind '%1' (r13-r12, r13-gx3 or r12-gx3)").arg(parser.value(kind)));
        return UsageError;
    }
    const QString formatText = parser.value(format).toLower();
    if (formatText == QLatin1String("ascii"))
        job.outputFormat = OutputFormat::ascii();
    else if (formatText == QLatin1String("binary"))
        job.outputFormat = OutputFormat::binary();
    else {
        say(err, QStringLiteral("tessiva-batch: unknown format '%1' (ascii or binary)").arg(parser.value(format)));
        return UsageError;
    }
    if (!textrules::isValidPrecision(parser.value(precision))) {
        say(err, QStringLiteral("tessiva-batch: the precision must be 0 to 18, not '%1'").arg(parser.value(precision)));
        return UsageError;
    }
    job.precision = parser.value(precision);

    // Defaults: what the window last stored.
    const QStringList readOrder =
        parser.isSet(settingsFile) ? QStringList{parser.value(settingsFile)} : env.settingsReadOrder;
    const settings::Values stored = settings::decodeLines(settings::load(readOrder).lines);
    job.r13ToR12Parameter = stored[0].value_or(job.r13ToR12Parameter);
    job.r12ToGx3Parameter = stored[1].value_or(job.r12ToGx3Parameter);
    job.destinationFolder = stored[2].value_or(QString());
    job.autocadFolder = stored[3].value_or(QString());
    if (parser.isSet(r13))
        job.r13ToR12Parameter = parser.value(r13);
    if (parser.isSet(r12))
        job.r12ToGx3Parameter = parser.value(r12);
    if (parser.isSet(destination))
        job.destinationFolder = parser.value(destination);
    if (parser.isSet(autocad))
        job.autocadFolder = parser.value(autocad);
    // Folders as the window leaves its fields: in the job's form, ending in "\".
    job.destinationFolder =
        textrules::EnsureTrailingBackslash(textrules::nativeToJobPath(job.destinationFolder, env.pathStyle));
    job.autocadFolder = textrules::EnsureTrailingBackslash(textrules::nativeToJobPath(job.autocadFolder, env.pathStyle));

    QStringList sources = parser.positionalArguments();
    if (parser.isSet(list)) {
        QByteArray bytes;
        if (parser.value(list) == QLatin1String("-")) {
            bytes = in.readAll();
        } else {
            QFile file(parser.value(list));
            if (!file.open(QIODevice::ReadOnly)) {
                say(err, QStringLiteral("tessiva-batch: cannot read %1: %2").arg(parser.value(list), file.errorString()));
                return UsageError;
            }
            bytes = file.readAll();
        }
        sources += sourceLines(bytes);
    }
    for (const QString &source : std::as_const(sources))
        job.sources << textrules::nativeToJobPath(source, env.pathStyle);

    const JobCheck check = checkJob(job);
    if (!check.ok()) {
        say(err, check.statusText);
        return exitCodeFor(check.problem);
    }

    if (!parser.isSet(output)) {
        const QByteArray bytes = batchFileBytes(job);
        return out.write(bytes) == bytes.size() ? Success : CannotSave;
    }
    const QString path = parser.value(output);
    if (!savetarget::isBatPath(path)) {
        say(err, savetarget::notBatText(path));
        return NotBat;
    }
    if (!writeBatchFile(path, job).ok) {
        say(err, savetarget::cannotSaveText(path));
        return CannotSave;
    }
    return Success;
}

} // namespace batchtool
