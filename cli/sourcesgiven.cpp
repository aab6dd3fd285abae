#include "sourcesgiven.h"

#include "cli/wildcards.h"
#include "core/job/conversionjob.h"
#include "core/job/jobpath.h"
#include "tooloptions.h"

#include <QFile>

namespace batchtool {
namespace {
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
Result<Usage> readList(const QString &name, sourcelistfile::Encoding encoding, QIODevice &in, Sources &sources)
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
    if (const sourcelistfile::List::TwoReadings &two = list.ambiguous(); two.line > 0)
        return Usage{TessivaBatch::tr("%1, line %2 reads as \"%3\" in UTF-8 and as \"%4\" in code page 932: name "
                                      "the list's encoding with --list-encoding utf-8 or --list-encoding cp932")
                         .arg(where)
                         .arg(two.line)
                         .arg(two.utf8, two.cp932)};
    if (const sourcelistfile::List::Mixed &mixed = list.mixed(); mixed.notUtf8 > 0)
        return Usage{TessivaBatch::tr("%1 is not in one encoding: line %2 is not UTF-8 text, line %3 not code page "
                                      "932 text (see --list-encoding)")
                         .arg(where)
                         .arg(mixed.notUtf8)
                         .arg(mixed.notCp932)};
    if (list.badLine() > 0) {
        const QString expected = encoding == sourcelistfile::Encoding::Utf8 ? TessivaBatch::tr("UTF-8")
            : encoding == sourcelistfile::Encoding::Cp932                   ? TessivaBatch::tr("code page 932")
                                                          : TessivaBatch::tr("UTF-8 or code page 932");
        return Usage{TessivaBatch::tr("%1, line %2: not %3 text (see --list-encoding)")
                         .arg(where)
                         .arg(list.badLine())
                         .arg(expected)};
    }
    return {};
}
} // namespace

Result<Usage> takeSources(const QCommandLineParser &parser, const Options &o, const Environment &env, QIODevice &in,
                          ConversionJob &job, Sources &sources)
{
    const std::optional<sourcelistfile::Encoding> encoding
        = sourcelistfile::encodingFromName(parser.value(o.listEncoding));
    if (!encoding)
        return Usage{TessivaBatch::tr("unknown list encoding '%1' (%2, %3 or %4)")
                         .arg(parser.value(o.listEncoding),
                              sourcelistfile::encodingName(sourcelistfile::Encoding::Auto),
                              sourcelistfile::encodingName(sourcelistfile::Encoding::Utf8),
                              sourcelistfile::encodingName(sourcelistfile::Encoding::Cp932))};
    sources.arguments = parser.positionalArguments();
    if (env.expandWildcards) {
        QString unmatched;
        const std::optional<QStringList> expanded = wildcards::expanded(sources.arguments, &unmatched);
        if (!expanded)
            // A pattern that names no file gives no source: a job without
            // sources, as the window's empty list is.
            return Usage{TessivaBatch::tr("no file matches %1").arg(unmatched), NoSource};
        sources.arguments = *expanded;
    }
    const QStringList lists = parser.values(o.list);
    sources.lists.reserve(size_t(lists.size()));
    for (const QString &name : lists) {
        if (Result<Usage> taken = readList(name, *encoding, in, sources); taken.refused())
            return taken;
    }
    job.sources.reserve(sources.size());
    for (qsizetype i = 0; i < sources.size(); ++i)
        job.sources.append(jobpath::toJob(sources.given(i), env.pathStyle, env.workingFolder));
    return {};
}

} // namespace batchtool
