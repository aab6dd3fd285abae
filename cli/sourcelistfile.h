#pragma once

#include <QByteArrayView>
#include <QList>
#include <QString>

#include <limits>
#include <optional>
#include <vector>

// A list of source files, one per line, as tessiva-batch reads it with
// --list. Blank lines are passed over; CR LF and LF both end a line.
namespace sourcelistfile {

// The longest list the tool reads, far beyond any job of drawings: a longer
// one (or one that never ends, /dev/zero) is refused before it fills the
// memory, and no offset into it can wrap.
constexpr qsizetype kMaxBytes = qsizetype(256) << 20;

enum class Encoding {
    Auto, // the whole list in the one encoding it is text of; UTF-8 after a byte-order mark
    Utf8,
    Cp932,
};
// The encoding --list-encoding names (any case): the first name of each is
// the one the help and messages show, the others are what people also type.
std::optional<Encoding> encodingFromName(const QString &name);
QString encodingName(Encoding encoding);

// The lines of a list. Their texts lie one after another in one buffer, so
// that a list of any length costs no allocation per line: a QStringList of
// the lines makes the tool 1.18 times as slow on a list of 100,000.
class List
{
public:
    qsizetype size() const { return qsizetype(m_lines.size()); }
    // The text of line `i`, as a string that reads the list's own buffer:
    // valid as long as the list is.
    QString text(qsizetype i) const;
    // Its number in the file, from 1, counting every line.
    int number(qsizetype i) const { return int(m_lines[i].number); }
    // The first line that is not text of the encoding, or 0. Read with
    // Auto: the first that is text of neither.
    int badLine() const { return m_badLine; }
    // Read with Auto, a list that is text of both encodings, read as other
    // names in each: the first line they read differently, and how. Or a
    // list of lines of one and lines of the other: the first line that is
    // not UTF-8 and the first that is not code page 932. Either way the
    // list has no lines: which one it is, only its writer can tell.
    struct TwoReadings
    {
        int line = 0;
        QString utf8;
        QString cp932;
    };
    const TwoReadings &ambiguous() const { return m_ambiguous; }
    struct Mixed
    {
        int notUtf8 = 0;
        int notCp932 = 0;
    };
    const Mixed &mixed() const { return m_mixed; }
    bool refused() const { return m_badLine > 0 || m_ambiguous.line > 0 || m_mixed.notUtf8 > 0; }

    static List parse(QByteArrayView bytes, Encoding encoding);

private:
    struct Line
    {
        quint32 start; // in m_text, which holds at most one unit for each byte of the list
        quint32 end;
        quint32 number;
    };
    static_assert(kMaxBytes <= qsizetype(std::numeric_limits<quint32>::max()));

    bool readWhole(QByteArrayView bytes);
    void readLineByLine(QByteArrayView bytes, Encoding encoding);
    void readInOne(QByteArrayView bytes);
    void findTwoReadings(QByteArrayView bytes);
    void findWhereEachFails(QByteArrayView bytes);
    void addLine(qsizetype start, qsizetype end, int number);

    QString m_text;
    std::vector<Line> m_lines;
    int m_badLine = 0;
    TwoReadings m_ambiguous;
    Mixed m_mixed;
};

} // namespace sourcelistfile
