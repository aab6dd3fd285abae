#include "batchcomposer.h"

#include "cp932.h"
#include "textrules.h"

#include <QIODevice>
#include <QSet>

using textrules::upperCased;

namespace batch {
namespace {
bool needsQuotes(QChar c)
{
    switch (c.unicode()) {
    case u' ':
    case u'&':
    case u'|':
    case u'<':
    case u'>':
    case u'^':
    case u'(':
    case u')':
    case u',':
    case u';':
    case u'=':
        return true;
    default:
        return false;
    }
}

QString commandLine(const QString &converter, const QString &option, const QString &parameter,
                    const QString &input, const QString &output)
{
    return converter % option % QLatin1String(" -t") % parameter % u' ' % input % u' ' % output;
}
} // namespace

QString quoteToken(const QString &token)
{
    bool quote = false;
    bool percent = false;
    for (QChar c : token) {
        quote = quote || needsQuotes(c);
        percent = percent || c == u'%';
    }
    if (!quote && !percent)
        return token;
    QString out = token;
    if (percent)
        out.replace(QStringLiteral("%"), QStringLiteral("%%"));
    if (quote)
        out = u'"' + out + u'"';
    return out;
}

QString destinationPath(const ConversionJob &job, const QString &source)
{
    return job.destinationFolder % textrules::baseName(source) % destinationExtension();
}

QString intermediateName(const ConversionJob &job)
{
    const QString plain = QStringLiteral("dummy.dxf");
    const QString folder = upperCased(job.destinationFolder);
    QSet<QString> taken;
    taken.reserve(job.sources.size());
    for (const QString &source : job.sources)
        taken.insert(upperCased(destinationPath(job, source)));
    if (!taken.contains(folder + upperCased(plain)))
        return plain;
    for (int n = 1;; ++n) {
        const QString candidate = QStringLiteral("dummy%1.dxf").arg(n);
        if (!taken.contains(folder + upperCased(candidate)))
            return candidate;
    }
}

QString precisionOption(const ConversionJob &job)
{
    if (job.outputFormat != OutputFormat::ascii())
        return QString();
    return QStringLiteral(" -a") + textrules::trimmed(job.precision);
}

} // namespace batch

QStringList ComposeBatchLines(const ConversionJob &job)
{
    using batch::quoteToken;
    const QString option = batch::precisionOption(job);
    const QString converter = quoteToken(job.autocadFolder + QStringLiteral("DXFIX.EXE"));
    const QString r13Parameter = quoteToken(job.autocadFolder + job.r13ToR12Parameter);
    const QString r12Parameter = quoteToken(job.autocadFolder + job.r12ToGx3Parameter);

    QStringList lines;
    switch (job.kind) {
    case BatchKind::R13ToR12:
    case BatchKind::R12ToGX3: {
        const QString &parameter = job.kind == BatchKind::R13ToR12 ? r13Parameter : r12Parameter;
        lines.reserve(job.sources.size());
        for (const QString &source : job.sources) {
            lines.append(upperCased(batch::commandLine(converter, option, parameter,
                                                       quoteToken(source),
                                                       quoteToken(batch::destinationPath(job, source)))));
        }
        break;
    }
    case BatchKind::R13ToGX3: {
        const QString intermediate =
            quoteToken(job.destinationFolder + batch::intermediateName(job));
        const QString deleteLine = upperCased(QStringLiteral("DEL ") + intermediate);
        lines.reserve(job.sources.size() * 3);
        for (const QString &source : job.sources) {
            lines.append(upperCased(batch::commandLine(converter, option, r13Parameter,
                                                       quoteToken(source), intermediate)));
            lines.append(upperCased(batch::commandLine(converter, option, r12Parameter, intermediate,
                                                       quoteToken(batch::destinationPath(job, source)))));
            lines.append(deleteLine);
        }
        break;
    }
    }
    return lines;
}

QByteArray batchFileBytes(const QStringList &lines)
{
    if (lines.isEmpty())
        return QByteArray();
    const QString crlf = QStringLiteral("\r\n");
    return cp932::encode(lines.join(crlf) + crlf);
}

bool WriteBatchLines(QIODevice &file, const QStringList &lines)
{
    const QByteArray bytes = batchFileBytes(lines);
    return file.write(bytes) == bytes.size();
}
