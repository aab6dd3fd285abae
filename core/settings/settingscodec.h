#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <array>
#include <optional>

class QIODevice;

// The settings file: four lines of code page 932 text ending in CR LF, no
// header and no keys: the two parameter file names, the destination folder
// and the AutoCAD folder.
namespace settings {

// The four values, in the order of their lines.
struct StoredSettings
{
    QString r13ToR12Parameter;
    QString r12ToGx3Parameter;
    QString destinationFolder;
    QString autocadFolder;

    // What a new window shows before anything is loaded.
    static StoredSettings defaults();

    static constexpr int kCount = 4;
    QString &operator[](int line);
    // What the messages call the value of a line.
    static QString nameOf(int line);
    const QString &operator[](int line) const;
    bool operator==(const StoredSettings &) const = default;
};

// Longest line taken from a file; a longer one ends the reading there, so a
// hostile file costs at most four such lines of memory.
constexpr qsizetype kMaxLineBytes = 32 * 1024;

// The bytes of the lines of a file, without the CR of a CR LF line end (a
// CR inside a line is kept, and dropped from its value); nullopt where the
// file has no such line, or where the reading stopped before it.
struct RawLines
{
    std::array<std::optional<QByteArray>, StoredSettings::kCount> lines;
    // False when the reading stopped at a line longer than the cap, so that
    // the lines from there on were not taken.
    bool complete = true;
};

// Splits the first bytes of a file into its first four lines. `atEnd` says
// whether `head` holds the whole file, so that a last line without a line
// end is taken whole. With `cap` no line longer than it is taken.
RawLines parseLines(QByteArrayView head, bool atEnd, qsizetype cap = kMaxLineBytes);
// Reads the lines from an open device (a file, or a pipe to its end),
// without reading more of it than four lines of the longest length taken.
RawLines readLines(QIODevice &device);

// The values the lines give: each line the file has, decoded, replaces the
// value in `values`.
StoredSettings valuesOf(const RawLines &file, StoredSettings values);

// True when `value` can be written as one line that reads back whole.
bool isStorable(const QString &value);

// The file content for the values `now`. Line by line:
// - a value the user did not change (it equals `shown`, what the field
//   showed after loading) is written as the bytes of its line in `file`,
//   where the file has one, whether or not it was read;
// - a changed value is encoded; one that cannot be stored keeps the bytes of
//   its line in `file`, or, where there is none, becomes its default.
QByteArray encodeValues(const StoredSettings &now, const StoredSettings &shown, const RawLines &file);

} // namespace settings
