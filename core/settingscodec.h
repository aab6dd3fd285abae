#pragma once

#include "filewrite.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

class QIODevice;

// The settings file: four lines of code page 932 text ending in CR LF, no
// header and no keys: the two parameter file names, the destination folder
// and the AutoCAD folder.
namespace settings {

constexpr int kValueCount = 4;
// Longest line taken from a file; a longer one ends the reading there, so a
// hostile file costs at most four such lines of memory.
constexpr qsizetype kMaxLineBytes = 32 * 1024;

// The bytes of each line, CR bytes dropped; nullopt where the file has no
// such line (or it was too long to take).
using RawLines = std::array<std::optional<QByteArray>, kValueCount>;
// The decoded values; nullopt leaves the field's text as it is.
using Values = std::array<std::optional<QString>, kValueCount>;

// Splits the first bytes of a file into its first four lines. `atEnd` says
// whether `head` holds the whole file, so that a last line without a line
// end is taken whole.
RawLines parseLines(const QByteArray &head, bool atEnd);
// Reads the lines from an open device, without reading more of it than four
// lines of the longest length taken.
RawLines readLines(QIODevice &device);
Values decodeLines(const RawLines &lines);

// True when `value` can be written as one line of code page 932.
bool isStorable(const QString &value);

// The file content for `values`. A value unchanged since it was read from
// `previous` is written as the bytes it was read from; a value that cannot
// be stored keeps the bytes the file held for that line, or becomes an
// empty line.
QByteArray encodeValues(const std::array<QString, kValueCount> &values, const RawLines &previous);

// Where the file is looked for and written.
struct Locations
{
    QStringList readOrder;  // first existing one is read
    QStringList writeOrder; // first one that can be written is written
};
// Beside the executable under its base name with ".ini", the name
// lower-cased when written; the per-user folder `userFolder` after it.
Locations locations(const QString &executablePath, const QString &userFolder);
QString pathBesideExecutable(const QString &executablePath);

struct Loaded
{
    bool found = false;
    RawLines lines;
};
Loaded load(const QStringList &readOrder);
// Writes to the first path of `writeOrder` that can be written, creating its
// folder for the per-user location.
WriteResult save(const QStringList &writeOrder, const std::array<QString, kValueCount> &values,
                 const RawLines &previous);

} // namespace settings
