#pragma once

#include "core/job/conversionjob.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QSet>
#include <QStringBuilder>
#include <QStringView>

#include <functional>
#include <initializer_list>

namespace job {
class JobPlan;
}

namespace batch {

using job::JobPlan;

// The parts a path token is made of, joined with nothing between them.
using Pieces = std::initializer_list<QStringView>;

// Bytes written through a cursor that checks its room: each write asks for
// the room it may take, at the place where it is written, and gives back
// where it ended.
class Bytes
{
public:
    char *room(qsizetype bytes);
    void wrote(const char *end);
    void put(QByteArrayView bytes);
    qsizetype size() const { return m_used; }
    QByteArrayView view() const { return {m_bytes.constData(), m_used}; }
    QByteArray bytes() const { return m_bytes.left(m_used); }
    void clear() { m_used = 0; }

private:
    QByteArray m_bytes;
    qsizetype m_used = 0;
};

// Appends the path token made of `parts` to `out` as the batch file holds
// it: every % doubled, a to z upper-cased, in code page 932 bytes, and in
// quotes where cmd.exe needs them (a blank or one of & | < > ^ ( ) , ; =).
// `prefix` is the start of the token already in the batch file's bytes (a
// folder that is the same for every drawing), with `quote` saying whether
// it asks for quotes; `last` is one more part after `parts`.
void appendToken(Bytes &out, Pieces parts, QByteArrayView prefix = {}, bool quote = false, QStringView last = {});
QByteArray token(Pieces parts, QStringView last = {});

// Appends `text` as an ECHO or TITLE line shows it, byte for byte as it is
// (no upper-casing): every % doubled, and & | < > ^ escaped with ^. The
// text never starts a line, so that ON, OFF or a blank at its start stay
// text, and no redirection follows it, so that a digit at its end stays
// text too.
void appendEchoText(Bytes &out, QStringView text);
QByteArray echoText(QStringView text);

// Words of the batch file's own, in code page 932.
QByteArray words(QStringView text);
template <typename A, typename B>
QByteArray words(const QStringBuilder<A, B> &text)
{
    return words(QString(text));
}

// Put after a name, "\\*" makes IF EXIST find it only where it is a folder.
inline constexpr QStringView kAnyName = u"\\*";

// Where the batch file's bytes go: whole lines, handed on in pieces of
// about `chunk` bytes, each ending with a whole line.
class BatchWriter
{
public:
    using Sink = std::function<bool(const QByteArray &)>;
    BatchWriter(const Sink &sink, qsizetype chunk);

    Bytes &out() { return m_out; }
    void put(QByteArrayView bytes) { m_out.put(bytes); }
    // One line: the pieces, then CR LF.
    void line(std::initializer_list<QByteArrayView> pieces);
    // Hands the output on once it holds a chunk; called between drawings.
    bool handOnWholeChunk() { return m_out.size() < m_chunk || handOn(); }
    // Hands on what is left.
    bool finish() { return m_out.size() == 0 || handOn(); }

private:
    bool handOn();

    const Sink &m_sink;
    const qsizetype m_chunk;
    Bytes m_out;
};

// What is the same on every drawing's lines, in the batch file's bytes.
struct JobTokens
{
    explicit JobTokens(const JobPlan &plan);

    QByteArray r13; // a first pass with the R13 to R12 parameter file, up to its source
    QByteArray r12; // a pass with the R12 to GX3 parameter file, up to its input
    QByteArray first; // the first pass of the job's kind, up to its source
    QByteArray folderToken; // the destination folder as a token
    QByteArrayView folder; // the same without quotes
    bool folderQuoted = false;
    qsizetype labelWidth = 0; // the digits of a drawing's number in its labels
};

// The output folders of a tree job, each made before the first drawing that
// goes into it; the destination folder itself (`below` empty) before any.
class TreeFolders
{
public:
    explicit TreeFolders(const ConversionJob &job)
        : m_job(job)
    { }
    void make(BatchWriter &w, QStringView below);
    // What every form does before drawing `i`: the file written so far
    // handed on where a chunk is whole (false where it could not be), and
    // the drawing's folder of the tree made where it has one.
    bool beforeDrawing(BatchWriter &w, const JobPlan &plan, qsizetype i);

private:
    const ConversionJob &m_job;
    QSet<QString> m_made;
};

// The drawing's number in its labels, all of one width so that no label is
// the start of another.
QByteArray labelNumber(qsizetype i, qsizetype width);

// The converter's line itself: `converter` up to its input, the input
// (`source` as a path, or `input` as a token), then `output`; with
// `joined`, its standard error joins its standard output.
void converterLine(BatchWriter &w, QByteArrayView converter, QStringView source, QByteArrayView output,
                   QByteArrayView input, bool joined);

} // namespace batch
