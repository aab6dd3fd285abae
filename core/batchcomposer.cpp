#include "batchcomposer.h"

#include "cp932.h"
#include "jobcheck.h"
#include "textrules.h"

#include <QIODevice>
#include <QSet>

namespace batch {
namespace {
bool needsQuotes(char16_t c)
{
    switch (c) {
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

// The " -a<precision>" option for ASCII output, empty otherwise.
QString precisionOption(const ConversionJob &job)
{
    if (job.outputFormat != OutputFormat::Ascii)
        return QString();
    return QStringLiteral(" -a") + textrules::trimmed(job.precision);
}

using Parts = std::initializer_list<QStringView>;

// Appends the path token made of `parts` to `out` as the batch file holds
// it: quoted where cmd.exe needs it, every % doubled, a to z upper-cased,
// in code page 932 bytes. Characters are upper-cased before they are
// encoded, so the second byte of a double-byte character is never touched.
void appendToken(QByteArray &out, Parts parts)
{
    bool quote = false;
    qsizetype length = 0;
    for (QStringView part : parts) {
        length += part.size();
        for (QChar c : part)
            quote = quote || needsQuotes(c.unicode());
    }
    const qsizetype start = out.size();
    out.resize(start + 2 * length + 2); // at most two bytes a character, and the quotes
    char *dst = out.data() + start;
    if (quote)
        *dst++ = '"';
    for (QStringView part : parts) {
        for (QChar ch : part) {
            char16_t c = ch.unicode();
            if (c < 0x80) {
                if (c >= u'a' && c <= u'z')
                    c -= 0x20;
                else if (c == u'%')
                    *dst++ = '%';
                *dst++ = char(c);
                continue;
            }
            const quint16 code = cp932::codeOf(c);
            if (code == cp932::kNoCode) {
                *dst++ = '?';
            } else if (code < 0x100) {
                *dst++ = char(code);
            } else {
                *dst++ = char(code >> 8);
                *dst++ = char(code & 0xFF);
            }
        }
    }
    if (quote)
        *dst++ = '"';
    out.truncate(dst - out.constData());
}

QByteArray token(Parts parts)
{
    QByteArray out;
    appendToken(out, parts);
    return out;
}

// Everything of a command line up to and including the blank before its
// input path: converter, option, " -T" and the parameter file.
QByteArray commandHead(const QByteArray &converter, const QByteArray &option, const QByteArray &parameter)
{
    return converter + option + " -T" + parameter + ' ';
}

// Composes the lines of one job into a buffer that is handed on whenever
// it holds `chunk` bytes or more.
class Composer
{
public:
    Composer(const ConversionJob &job, const std::function<bool(const QByteArray &)> &sink, qsizetype chunk)
        : m_job(job), m_sink(sink), m_chunk(chunk)
    {
        m_out.reserve(chunk + 64 * 1024);
    }

    bool run()
    {
        const QStringView acad = m_job.autocadFolder;
        // The option is never quoted: " -A6".
        const QByteArray option = cp932::encode(textrules::upperCased(precisionOption(m_job)));
        const QByteArray converter = token({acad, u"DXFIX.EXE"});
        const QByteArray r13 = commandHead(converter, option, token({acad, m_job.r13ToR12Parameter}));
        const QByteArray r12 = commandHead(converter, option, token({acad, m_job.r12ToGx3Parameter}));
        const QByteArray &single = m_job.kind == BatchKind::R13ToR12 ? r13 : r12;
        QByteArray intermediate;
        if (m_job.kind == BatchKind::R13ToGX3)
            intermediate = token({m_job.destinationFolder, intermediateName(m_job)});
        const qsizetype labelWidth = QString::number(m_job.sources.size()).size();

        QByteArray source;
        QByteArray destination;
        for (qsizetype i = 0; i < m_job.sources.size(); ++i) {
            const QString &path = m_job.sources.at(i);
            const QStringView below = folderBelowRoot(m_job, path);
            if (!below.isEmpty())
                makeFolder(below);

            source.resize(0);
            appendToken(source, {path});
            destination.resize(0);
            appendToken(destination, {m_job.destinationFolder, below, textrules::baseNameView(path), u".DXF"});

            QByteArray label;
            if (m_job.skipExisting) {
                label = "DONE" + QByteArray::number(i + 1).rightJustified(labelWidth, '0');
                line({"IF EXIST ", destination, " GOTO ", label});
            }
            if (m_job.kind == BatchKind::R13ToGX3) {
                line({r13, source, " ", intermediate});
                line({r12, intermediate, " ", destination});
                line({"DEL ", intermediate});
            } else {
                line({single, source, " ", destination});
            }
            if (m_job.skipExisting)
                line({":", label});
            if (m_out.size() >= m_chunk && !flush())
                return false;
        }
        return flush();
    }

private:
    void line(std::initializer_list<QByteArrayView> pieces)
    {
        for (QByteArrayView piece : pieces)
            m_out.append(piece);
        m_out.append("\r\n", 2);
    }

    // The output folder of a tree job is made before the first drawing
    // that goes into it.
    void makeFolder(QStringView below)
    {
        const QString key = textrules::windowsFolded(below);
        if (m_madeFolders.contains(key))
            return;
        m_madeFolders.insert(key);
        const QStringView folder = below.left(below.size() - 1); // without its last "\"
        line({"IF NOT EXIST ", token({m_job.destinationFolder, below}), " MD ",
              token({m_job.destinationFolder, folder})});
    }

    bool flush()
    {
        if (m_out.isEmpty())
            return true;
        const bool ok = m_sink(m_out);
        m_out.resize(0); // keeps the buffer, unlike clear()
        return ok;
    }

    const ConversionJob &m_job;
    const std::function<bool(const QByteArray &)> &m_sink;
    const qsizetype m_chunk;
    QByteArray m_out;
    QSet<QString> m_madeFolders;
};
} // namespace

bool composeBytes(const ConversionJob &job, const std::function<bool(const QByteArray &)> &sink, qsizetype chunk)
{
    return Composer(job, sink, chunk).run();
}

} // namespace batch

QByteArray batchFileBytes(const ConversionJob &job)
{
    QByteArray bytes;
    batch::composeBytes(job, [&bytes](const QByteArray &piece) {
        bytes += piece;
        return true;
    });
    return bytes;
}

QStringList ComposeBatchLines(const ConversionJob &job)
{
    QStringList lines;
    const QByteArray bytes = batchFileBytes(job);
    qsizetype begin = 0;
    while (begin < bytes.size()) {
        const qsizetype end = bytes.indexOf("\r\n", begin);
        lines << cp932::decode(QByteArrayView(bytes).sliced(begin, end - begin));
        begin = end + 2;
    }
    return lines;
}

bool WriteBatchLines(QIODevice &file, const QStringList &lines)
{
    QByteArray bytes;
    for (const QString &line : lines) {
        cp932::appendEncoded(bytes, line);
        bytes += "\r\n";
    }
    return file.write(bytes) == bytes.size();
}
