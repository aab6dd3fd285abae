#pragma once

#include <QByteArrayView>
#include <QList>
#include <QString>

#include <optional>
#include <vector>

// A list of source files, one per line, as tessiva-batch reads it with
// --list. Blank lines are passed over; CR LF and LF both end a line.
namespace sourcelistfile {

enum class Encoding {
    Auto, // each line on its own: UTF-8 where it is valid UTF-8, else code page 932
    Utf8,
    Cp932,
};
std::optional<Encoding> encodingFromName(const QString &name);

// The lines of a list. Their texts lie one after another in one buffer, so
// that a list of any length costs no allocation per line.
class List
{
public:
    qsizetype size() const { return qsizetype(m_numbers.size()); }
    // The text of line `i`, as a string that reads the list's own buffer:
    // valid as long as the list is.
    QString text(qsizetype i) const;
    // Its number in the file, from 1, counting every line.
    int number(qsizetype i) const { return int(m_numbers[i]); }
    // The first line that is not text of the encoding, or 0.
    int badLine() const { return m_badLine; }

    static List parse(QByteArrayView bytes, Encoding encoding);

private:
    // The lines lie one after another: line i from m_starts[i] to m_starts[i + 1].
    QString m_text;
    std::vector<quint32> m_starts;
    std::vector<quint32> m_numbers;
    int m_badLine = 0;
};

} // namespace sourcelistfile
