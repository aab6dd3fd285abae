#include "drawinghead.h"

#include <QStringBuilder>

namespace drawing {
namespace {

constexpr QByteArrayView kBom = "\xEF\xBB\xBF";
// A binary DXF starts with it, its NUL included.
constexpr QByteArrayView kBinarySentinel{"AutoCAD Binary DXF\r\n\x1a\0", 22};
// The longest line of an ASCII DXF: a value of 2049 characters; a group
// code line longer than this is no group code.
constexpr qsizetype kMaxLineBytes = 4096;

QString versionText(QByteArrayView bytes)
{
    QString text;
    for (const char c : bytes.first(std::min(bytes.size(), Head::kMaxVersionChars))) {
        const bool plain = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '.';
        text += plain ? QChar(QLatin1Char(c)) : QChar(u'?');
    }
    return text;
}

Head dxf(Kind kind, QByteArrayView version = {})
{
    Head head;
    head.kind = kind;
    head.version = versionText(version);
    return head;
}

Head notADrawing() { return dxf(Kind::NotADrawing); }

// The lines of an ASCII DXF, two to a group: its code, then its value.
class AsciiGroups
{
public:
    AsciiGroups(QByteArrayView bytes, bool whole)
        : m_bytes(bytes)
        , m_whole(whole)
    { }

    enum class Step { Group, End, Broken };
    // The next group; End where the bytes end, Broken where a line is no
    // group code or is too long.
    Step next(int &code, QByteArrayView &value)
    {
        QByteArrayView codeLine;
        if (!line(codeLine))
            return m_broken ? Step::Broken : Step::End;
        if (!groupCode(codeLine, code))
            return Step::Broken;
        if (!line(value))
            return m_broken ? Step::Broken : Step::End;
        value = value.trimmed();
        return Step::Group;
    }
    // Whether the bytes stopped where the file goes on.
    bool cutShort() const { return m_cutShort; }

private:
    bool line(QByteArrayView &out)
    {
        const qsizetype end = m_bytes.indexOf('\n', m_at);
        if (end < 0) {
            // The last line counts only where the file ends with it.
            const qsizetype rest = m_bytes.size() - m_at;
            m_broken = rest > kMaxLineBytes;
            m_cutShort = !m_broken && (!m_whole || rest > 0);
            if (m_whole && rest > 0 && !m_broken) {
                out = m_bytes.sliced(m_at);
                m_at = m_bytes.size();
                m_cutShort = false;
                return true;
            }
            return false;
        }
        if (end - m_at > kMaxLineBytes) {
            m_broken = true;
            return false;
        }
        out = m_bytes.sliced(m_at, end - m_at);
        if (out.endsWith('\r'))
            out.chop(1);
        m_at = end + 1;
        return true;
    }

    static bool groupCode(QByteArrayView text, int &code)
    {
        text = text.trimmed();
        if (text.isEmpty() || text.size() > 6)
            return false;
        qsizetype i = text.startsWith('-') ? 1 : 0;
        if (i == text.size())
            return false;
        int value = 0;
        for (; i < text.size(); ++i) {
            if (text[i] < '0' || text[i] > '9')
                return false;
            value = value * 10 + (text[i] - '0');
        }
        code = text.startsWith('-') ? -value : value;
        return true;
    }

    QByteArrayView m_bytes;
    bool m_whole;
    qsizetype m_at = 0;
    bool m_broken = false;
    bool m_cutShort = false;
};

// An ASCII DXF opens with a section (comments may come first). Its
// version is $ACADVER in the HEADER section, where there is one; a DXF may
// have none, or start with another section.
std::optional<Head> asciiHead(QByteArrayView bytes, bool whole)
{
    AsciiGroups groups(bytes, whole);
    int code = 0;
    QByteArrayView value;
    // What the file says, read so far.
    enum { Start, Opened, InHeader, AtVersion } state = Start;
    for (;;) {
        const AsciiGroups::Step step = groups.next(code, value);
        if (step == AsciiGroups::Step::Broken)
            return state == Start ? notADrawing() : dxf(Kind::AsciiDxf);
        if (step == AsciiGroups::Step::End) {
            if (groups.cutShort())
                return std::nullopt;
            return state == Start ? notADrawing() : dxf(Kind::AsciiDxf);
        }
        if (code == 999)
            continue;
        switch (state) {
        case Start:
            if (code != 0 || value != "SECTION")
                return notADrawing();
            state = Opened;
            break;
        case Opened:
            if (code != 2 || value != "HEADER")
                return dxf(Kind::AsciiDxf);
            state = InHeader;
            break;
        case InHeader:
            if (code == 0)
                return dxf(Kind::AsciiDxf); // the header ended without a version
            if (code == 9 && value == "$ACADVER")
                state = AtVersion;
            break;
        case AtVersion:
            if (code != 1)
                return dxf(Kind::AsciiDxf);
            return dxf(Kind::AsciiDxf, value);
        }
    }
}

// A binary DXF's groups: a code of one byte (R12 and before) or two (R13
// and after), then the value; the section's name and the version are
// strings ended by a NUL. Its version, where it states one, is the first
// variable of its header.
std::optional<Head> binaryHead(QByteArrayView bytes, bool whole)
{
    QByteArrayView rest = bytes.sliced(kBinarySentinel.size());
    if (rest.size() < 2)
        return whole ? std::optional(dxf(Kind::BinaryDxf)) : std::nullopt;
    // The first group is 0 SECTION: a second NUL says codes of two bytes.
    const qsizetype codeBytes = rest[0] == 0 && rest[1] == 0 ? 2 : 1;
    struct Expected
    {
        int code;
        QByteArrayView value; // empty: the value is the version
    };
    for (const Expected expected :
         {Expected{0, "SECTION"}, Expected{2, "HEADER"}, Expected{9, "$ACADVER"}, Expected{1, {}}}) {
        if (rest.size() < codeBytes + 1)
            return whole ? std::optional(dxf(Kind::BinaryDxf)) : std::nullopt;
        const int code = codeBytes == 2 ? int(uchar(rest[0])) | int(uchar(rest[1])) << 8 : int(uchar(rest[0]));
        if (code != expected.code)
            return dxf(Kind::BinaryDxf);
        rest = rest.sliced(codeBytes);
        const qsizetype end = rest.indexOf('\0');
        if (end < 0)
            return whole ? std::optional(dxf(Kind::BinaryDxf)) : std::nullopt;
        const QByteArrayView value = rest.first(end);
        rest = rest.sliced(end + 1);
        if (expected.value.isEmpty())
            return dxf(Kind::BinaryDxf, value);
        if (value != expected.value)
            return dxf(Kind::BinaryDxf);
    }
    return dxf(Kind::BinaryDxf);
}

// A DWG names its version in its first six bytes: "AC1015"; the oldest
// ones "AC1.50", "AC2.10".
bool isDwgMagic(QByteArrayView bytes)
{
    if (bytes.size() < 6 || !bytes.startsWith("AC"))
        return false;
    for (const char c : bytes.sliced(2, 4)) {
        if (!(c >= '0' && c <= '9') && c != '.')
            return false;
    }
    return true;
}

} // namespace

std::optional<Head> headOf(QByteArrayView bytes, bool whole)
{
    if (bytes.size() > kHeadBytes) {
        bytes = bytes.first(kHeadBytes);
        whole = true;
    }
    if (bytes.isEmpty())
        return whole ? std::optional(dxf(Kind::Empty)) : std::nullopt;
    if (bytes.size() < kBinarySentinel.size() && !whole && kBinarySentinel.startsWith(bytes))
        return std::nullopt;
    if (bytes.startsWith(kBinarySentinel))
        return binaryHead(bytes, whole);
    if (bytes.size() < 6 && !whole)
        return std::nullopt;
    if (isDwgMagic(bytes)) {
        Head head = dxf(Kind::Dwg, bytes.first(6));
        return head;
    }
    if (bytes.startsWith(kBom))
        bytes = bytes.sliced(kBom.size());
    return asciiHead(bytes, whole);
}

QStringView versionName(QStringView code)
{
    for (const DrawingVersion &v : kDrawingVersions) {
        if (v.code == code)
            return v.name;
    }
    return {};
}

QString shownVersion(QStringView code)
{
    const QStringView name = versionName(code);
    return name.isEmpty() ? code.toString() : name % u'（' % code % u'）';
}

} // namespace drawing
