#pragma once

#include <QByteArray>
#include <QStringBuilder>

// The first bytes of drawings, as the tests make them: an ASCII DXF with
// its header, a binary DXF, a DWG.
namespace drawingheads {

// An ASCII DXF whose header states `version` (none where empty), with the
// line ends given and a comment before it.
inline QByteArray ascii(const QByteArray &version, const QByteArray &eol = "\r\n")
{
    QByteArray bytes
        = "999" + eol + "made by a test" + eol + "  0" + eol + "SECTION" + eol + "  2" + eol + "HEADER" + eol;
    if (!version.isEmpty())
        bytes += "  9" + eol + "$ACADVER" + eol + "  1" + eol + version + eol;
    bytes += "  9" + eol + "$INSBASE" + eol + " 10" + eol + "0.0" + eol + "  0" + eol + "ENDSEC" + eol;
    return bytes + "  0" + eol + "EOF" + eol;
}

// A binary DXF stating `version`, with group codes of one byte (R12 and
// before) or two.
inline QByteArray binary(const QByteArray &version, int codeBytes)
{
    QByteArray bytes("AutoCAD Binary DXF\r\n\x1a\0", 22);
    const auto group = [&](int code, const QByteArray &text) {
        bytes += char(code);
        if (codeBytes == 2)
            bytes += char(0);
        bytes += text;
        bytes += '\0';
    };
    group(0, "SECTION");
    group(2, "HEADER");
    group(9, "$ACADVER");
    group(1, version);
    group(0, "ENDSEC");
    return bytes;
}

inline QByteArray dwg(const QByteArray &version) { return version + QByteArray(122, '\0') + "\x01\x02"; }

} // namespace drawingheads
