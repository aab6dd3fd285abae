#include "consolewrap.h"

#include <QList>

#include <algorithm>
#include <vector>

namespace consolewrap {
namespace {
bool isWide(char16_t c)
{
    return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0x303E) || (c >= 0x3041 && c <= 0x33FF)
        || (c >= 0x3400 && c <= 0x4DBF) || (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xA000 && c <= 0xA4CF)
        || (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F)
        || (c >= 0xFF00 && c <= 0xFF60)
        || (c >= 0xFFE0 && c <= 0xFFE6)
        // Drawn wide by a Japanese console, whose code page holds them in
        // two bytes.
        || (c >= 0x2190 && c <= 0x21FF) || c == 0x2015 || c == 0x2018 || c == 0x2019 || c == 0x201C || c == 0x201D
        || c == 0x2026 || c == 0x00D7 || c == 0x00F7;
}

// Marks no line starts with, and marks no line ends with.
bool closes(char16_t c)
{
    return QStringView(u"、。，．）」』】〕！？：；ーぁぃぅぇぉっゃゅょァィゥェォッャュョ)]},.:;!?").contains(QChar(c));
}
bool opens(char16_t c) { return QStringView(u"（「『【〔([{").contains(QChar(c)); }
bool isDigit(QChar c) { return c >= u'0' && c <= u'9'; }

// Whether the word that ends at `end` (before a blank) is a number, an
// opening mark before it aside: "18", "(259"; not "r12-gx3" or "UTF-8".
bool numberEndsAt(QStringView text, qsizetype end)
{
    qsizetype begin = end;
    while (begin > 0 && text[begin - 1] != u' ' && !isWide(text[begin - 1].unicode()))
        --begin;
    while (begin < end && opens(text[begin].unicode()))
        ++begin;
    return begin < end && std::all_of(text.begin() + begin, text.begin() + end, isDigit);
}

// Whether the word that starts at `begin` (after a blank) is a number, a
// closing mark after it aside: "6)", "18", "1".
bool numberStartsAt(QStringView text, qsizetype begin)
{
    qsizetype end = begin;
    while (end < text.size() && isDigit(text[end]))
        ++end;
    return end > begin && (end == text.size() || text[end] == u' ' || closes(text[end].unicode()));
}

// A piece of text no line breaks inside.
struct Piece
{
    QStringView text;
    bool blankBefore; // the break before it is a blank, dropped at a line's end
};

// Where a line may break before a character.
enum class Break : char {
    None,
    Between, // between two characters, as Japanese text breaks
    Blank, // at the blanks before it, which are dropped
};

// A number keeps its word: the Japanese one after it ("6 件", "259 バイト"),
// and the one before it ("既定 6", "default 6") unless that word already
// belongs to the number before ("0 から 18" may break before 18). Japanese
// marks no word's end, so a Japanese word is taken as its first (or last)
// few characters.
constexpr int kBoundWord = 4;

QList<Piece> pieces(QStringView text)
{
    const qsizetype n = text.size();
    std::vector<Break> breaks(size_t(n + 1), Break::None);
    // Japanese breaks between any two characters, but not before a
    // closing mark or after an opening one; after a Japanese mark,
    // English may start a line ("、utf-8").
    for (qsizetype i = 1; i < n; ++i) {
        const char16_t before = text[i - 1].unicode();
        const char16_t at = text[i].unicode();
        const bool japanese = isWide(before) && isWide(at);
        const bool afterMark = isWide(before) && closes(before) && at != u' ';
        if ((japanese || afterMark) && !closes(at) && !opens(before))
            breaks[size_t(i)] = Break::Between;
    }
    // Blanks, and the numbers that hold on to the words beside them.
    std::vector<bool> heldByNumber(size_t(n), false); // a word's character held by the number before it
    for (qsizetype s = 0; s < n; ++s) {
        if (text[s] != u' ')
            continue;
        qsizetype e = s;
        while (e < n && text[e] == u' ')
            ++e;
        // A Japanese word after a number ("6 件") holds on to it; a number
        // holds on to the word before it ("default 6", "既定 6"), unless
        // that word ends in a mark or already holds on to another number.
        const bool forward = e < n && isWide(text[e].unicode()) && s > 0 && numberEndsAt(text, s);
        const bool backward = !forward && e < n && s > 0 && numberStartsAt(text, e) && !heldByNumber[size_t(s - 1)]
            && !closes(text[s - 1].unicode());
        if (forward) {
            for (qsizetype k = e; k < n && k < e + kBoundWord && isWide(text[k].unicode()); ++k) {
                heldByNumber[size_t(k)] = true;
                if (k > e)
                    breaks[size_t(k)] = Break::None;
            }
        } else if (backward) {
            for (qsizetype k = s - 1; k > 0 && k > s - kBoundWord && isWide(text[k].unicode()); --k)
                breaks[size_t(k)] = Break::None;
        } else if (s > 0 && e < n) {
            breaks[size_t(e)] = Break::Blank;
        }
        s = e - 1;
    }

    QList<Piece> out;
    qsizetype start = 0;
    while (start < n && text[start] == u' ')
        ++start;
    bool blank = false;
    for (qsizetype i = start + 1; i <= n; ++i) {
        if (i < n && breaks[size_t(i)] == Break::None)
            continue;
        qsizetype end = i;
        if (i == n || breaks[size_t(i)] == Break::Blank) {
            while (end > start && text[end - 1] == u' ')
                --end;
        }
        if (end > start)
            out.append({text.sliced(start, end - start), blank});
        blank = i < n && breaks[size_t(i)] == Break::Blank;
        start = i;
    }
    return out;
}
} // namespace

int columns(QChar c) { return isWide(c.unicode()) ? 2 : 1; }

int columns(QStringView text)
{
    int n = 0;
    for (QChar c : text)
        n += columns(c);
    return n;
}

QString wrapped(QStringView text, int width, int first, int indent)
{
    QString out;
    int column = first;
    bool lineStart = true;
    for (const Piece &piece : pieces(text)) {
        const int needed = columns(piece.text) + (piece.blankBefore && !lineStart ? 1 : 0);
        if (!lineStart && column + needed > width) {
            out += u'\n' + QString(indent, u' ');
            column = indent;
            lineStart = true;
        }
        if (piece.blankBefore && !lineStart) {
            out += u' ';
            ++column;
        }
        out += piece.text;
        column += columns(piece.text);
        lineStart = false;
    }
    return out;
}

QString joined(QStringView lines)
{
    QString out;
    for (QStringView line : lines.split(u'\n')) {
        const QStringView text = line.trimmed();
        if (text.isEmpty())
            continue;
        // Japanese text takes no blank between its characters, nor after
        // its marks ("、Windows").
        const char16_t last = out.isEmpty() ? 0 : out.back().unicode();
        const bool noBlank = isWide(last) && (isWide(text.front().unicode()) || closes(last));
        if (!out.isEmpty() && !noBlank)
            out += u' ';
        out += text;
    }
    return out;
}

} // namespace consolewrap
