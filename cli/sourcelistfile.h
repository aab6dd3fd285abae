#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <optional>

// A list of source files, one per line, as tessiva-batch reads it with
// --list. Blank lines are passed over; CR LF and LF both end a line.
namespace sourcelistfile {

enum class Encoding {
    Auto, // each line on its own: UTF-8 where it is valid UTF-8, else code page 932
    Utf8,
    Cp932,
};
std::optional<Encoding> encodingFromName(const QString &name);

struct Line
{
    QString text;
    int number = 0; // from 1, counting every line of the file
};

struct Result
{
    QList<Line> lines;
    int badLine = 0; // the first line that is not text of the encoding, or 0
};

Result parse(QByteArrayView bytes, Encoding encoding);

} // namespace sourcelistfile
