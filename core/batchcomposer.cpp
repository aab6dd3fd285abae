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

// Appends the path token made of `parts` to `out`, quoted and with every %
// doubled as cmd.exe needs it.
void appendToken(QString &out, std::initializer_list<QStringView> parts)
{
    bool quote = false;
    bool percent = false;
    for (QStringView part : parts) {
        for (QChar c : part) {
            quote = quote || needsQuotes(c);
            percent = percent || c == u'%';
        }
    }
    if (quote)
        out += u'"';
    for (QStringView part : parts) {
        if (!percent) {
            out += part;
            continue;
        }
        for (QChar c : part) {
            out += c;
            if (c == u'%')
                out += u'%';
        }
    }
    if (quote)
        out += u'"';
}

void upperCaseInPlace(QString &line)
{
    for (QChar &c : line) {
        if (c >= u'a' && c <= u'z')
            c = QChar(c.unicode() - 0x20);
    }
}

// Builds the lines of a job one at a time in a reused buffer and hands each
// finished, upper-cased line to `sink`.
template <class Sink>
void composeLines(const ConversionJob &job, Sink &&sink)
{
    const QString option = precisionOption(job);
    const QStringView acad = job.autocadFolder;
    const QStringView destination = job.destinationFolder;
    const QStringView dxf = destinationExtension();

    QString converter;
    appendToken(converter, {acad, u"DXFIX.EXE"});
    QString r13Parameter;
    appendToken(r13Parameter, {acad, job.r13ToR12Parameter});
    QString r12Parameter;
    appendToken(r12Parameter, {acad, job.r12ToGx3Parameter});

    QString line;
    // Starts a command line up to and including the parameter token.
    const auto begin = [&](const QString &parameter) {
        line.resize(0); // keeps the buffer, unlike clear()
        line += converter;
        line += option;
        line += QLatin1String(" -t");
        line += parameter;
        line += u' ';
    };
    const auto finish = [&] {
        upperCaseInPlace(line);
        sink(line);
    };

    if (job.kind != BatchKind::R13ToGX3) {
        const QString &parameter = job.kind == BatchKind::R13ToR12 ? r13Parameter : r12Parameter;
        for (const QString &source : job.sources) {
            begin(parameter);
            appendToken(line, {source});
            line += u' ';
            appendToken(line, {destination, textrules::baseNameView(source), dxf});
            finish();
        }
        return;
    }

    const QString name = intermediateName(job);
    QString intermediate;
    appendToken(intermediate, {destination, name});
    for (const QString &source : job.sources) {
        begin(r13Parameter);
        appendToken(line, {source});
        line += u' ';
        line += intermediate;
        finish();

        begin(r12Parameter);
        line += intermediate;
        line += u' ';
        appendToken(line, {destination, textrules::baseNameView(source), dxf});
        finish();

        line.resize(0); // keeps the buffer, unlike clear()
        line += QLatin1String("DEL ");
        line += intermediate;
        finish();
    }
}
} // namespace

QString quoteToken(const QString &token)
{
    QString out;
    appendToken(out, {token});
    return out;
}

QString destinationPath(const ConversionJob &job, const QString &source)
{
    return job.destinationFolder % textrules::baseNameView(source) % destinationExtension();
}

QString intermediateName(const ConversionJob &job)
{
    // A drawing is written over the intermediate file only when its base
    // name is the intermediate's, so only "dummy…" names need a look.
    QSet<QString> taken;
    for (const QString &source : job.sources) {
        const QStringView base = textrules::baseNameView(source);
        if (base.startsWith(u"dummy", Qt::CaseInsensitive))
            taken.insert(upperCased(base.toString()));
    }
    if (!taken.contains(QStringLiteral("DUMMY")))
        return QStringLiteral("dummy.dxf");
    for (int n = 1;; ++n) {
        if (!taken.contains(QStringLiteral("DUMMY%1").arg(n)))
            return QStringLiteral("dummy%1.dxf").arg(n);
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
    QStringList lines;
    lines.reserve(job.kind == BatchKind::R13ToGX3 ? job.sources.size() * 3 : job.sources.size());
    batch::composeLines(job, [&lines](const QString &line) { lines.append(line); });
    return lines;
}

QByteArray batchFileBytes(const QStringList &lines)
{
    QByteArray bytes;
    for (const QString &line : lines) {
        cp932::appendEncoded(bytes, line);
        bytes += "\r\n";
    }
    return bytes;
}

QByteArray batchFileBytes(const ConversionJob &job)
{
    QByteArray bytes;
    batch::composeLines(job, [&bytes, &job](const QString &line) {
        if (bytes.isEmpty()) // a fair guess of the whole size from the first line
            bytes.reserve((line.size() + 8) * job.sources.size() * (job.kind == BatchKind::R13ToGX3 ? 3 : 1));
        cp932::appendEncoded(bytes, line);
        bytes += "\r\n";
    });
    return bytes;
}

WriteResult writeBatchFile(const QString &path, const ConversionJob &job)
{
    return writeWholeFile(path, [&job](QIODevice &file) {
        // Lines are encoded into a small buffer that goes to the file
        // whenever it fills, so a job of any size needs little memory.
        constexpr qsizetype chunk = 256 * 1024;
        QByteArray buffer;
        buffer.reserve(chunk + 4096);
        bool written = true;
        const auto flush = [&] {
            written = written && file.write(buffer) == buffer.size();
            buffer.resize(0);
        };
        batch::composeLines(job, [&](const QString &line) {
            cp932::appendEncoded(buffer, line);
            buffer += "\r\n";
            if (buffer.size() >= chunk)
                flush();
        });
        flush();
        return written;
    });
}

bool WriteBatchLines(QIODevice &file, const QStringList &lines)
{
    const QByteArray bytes = batchFileBytes(lines);
    return file.write(bytes) == bytes.size();
}
