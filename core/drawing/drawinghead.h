#pragma once

#include "core/files/writeerror.h"

#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <array>
#include <optional>

// What a source file is, told by its first bytes: the run's converter takes
// a DXF of one version, and a file of any other kind fails at the run, or
// worse, comes out as something that is no drawing while the converter ends
// with 0.
namespace drawing {

// The most of a file that is read to tell what it is.
constexpr qsizetype kHeadBytes = 64 * 1024;

enum class Kind {
    Missing, // no file at the path
    Unreadable, // a file, or something else at the path, that cannot be read: Head::reason
    Empty, // a file of no bytes
    NotADrawing, // bytes of no drawing this program knows
    Dwg, // a drawing in AutoCAD's own format, not DXF
    AsciiDxf,
    BinaryDxf,
};

struct Head
{
    Kind kind = Kind::NotADrawing;
    // The version the file states: "AC1012". Letters, digits and dots
    // only (any other byte is "?"), at most kMaxVersionChars. Empty for
    // a DXF that states none, and for what is no drawing.
    QString version;
    // Why it could not be read, with Kind::Unreadable.
    WriteError reason;

    static constexpr qsizetype kMaxVersionChars = 12;
    static Head missing() { return {Kind::Missing, {}, {}}; }
    static Head unreadable(WriteError why) { return {Kind::Unreadable, {}, why}; }
    friend bool operator==(const Head &, const Head &) = default;
};

constexpr bool isDxf(Kind kind) { return kind == Kind::AsciiDxf || kind == Kind::BinaryDxf; }

// What `bytes`, the start of a file, say it is: only their first
// kHeadBytes are looked at. With `whole` false the bytes may stop short of
// what the file holds: the answer is then given only where the bytes
// settle it, and is empty where more of the file may tell.
std::optional<Head> headOf(QByteArrayView bytes, bool whole = true);

// Reads at most kHeadBytes of the file at `nativePath` (drawinghead_unix.cpp,
// drawinghead_win.cpp): no more than it takes to tell. A FIFO or a device
// is not read, so that no reading waits.
Head readHead(const QString &nativePath);

// The versions a drawing states, by their codes.
struct DrawingVersion
{
    QStringView code; // "AC1012"
    QStringView name; // "R13"
};
inline constexpr std::array<DrawingVersion, 9> kDrawingVersions{{
    {u"AC1009", u"R12"},
    {u"AC1012", u"R13"},
    {u"AC1014", u"R14"},
    {u"AC1015", u"2000"},
    {u"AC1018", u"2004"},
    {u"AC1021", u"2007"},
    {u"AC1024", u"2010"},
    {u"AC1027", u"2013"},
    {u"AC1032", u"2018"},
}};

// The name of a version by its code ("R14" for "AC1014"), or empty for a
// code that is older or unknown.
QStringView versionName(QStringView code);

// A version as the words show it: "R14（AC1014）", or the code alone where
// it has no name.
QString shownVersion(QStringView code);

} // namespace drawing
