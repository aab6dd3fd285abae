#include "consolewrap.h"

#include <QList>

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

// Where the text may break: before position i (a break between two
// characters), or at a blank at i (the blank is dropped).
struct Piece
{
    QStringView text;
    bool blankBefore; // the break before it is a blank, dropped at a line's end
};

QList<Piece> pieces(QStringView text)
{
    QList<Piece> out;
    qsizetype start = 0;
    bool blank = false;
    // A Japanese word bound to a number before it: its first few
    // characters, as Japanese marks no word's end.
    constexpr int kBoundWord = 4;
    int bound = 0;
    for (qsizetype i = 1; i <= text.size(); ++i) {
        if (i == text.size()) {
            out.append({text.sliced(start), blank});
            break;
        }
        const QChar before = text[i - 1];
        const QChar at = text[i];
        if (at == u' ') {
            // A blank next to a number joins them, and the number with the
            // whole Japanese word beside it ("既定 6", "259 バイト").
            if (isDigit(before) || (i + 1 < text.size() && isDigit(text[i + 1]))) {
                // The pieces before it that a break between Japanese
                // characters parted from it, while the word stays short.
                while (!blank && !out.isEmpty() && isWide(out.last().text.back().unicode())
                       && i - (out.last().text.data() - text.data()) <= kBoundWord) {
                    start = out.last().text.data() - text.data();
                    blank = out.last().blankBefore;
                    out.removeLast();
                }
                bound = isDigit(before) ? kBoundWord : 0;
                continue;
            }
            bound = 0;
            out.append({text.sliced(start, i - start), blank});
            while (i < text.size() && text[i] == u' ')
                ++i;
            start = i;
            blank = true;
            if (i == text.size())
                break;
            continue;
        }
        if (!isWide(at.unicode()))
            bound = 0;
        if (bound > 0 && isWide(at.unicode())) {
            --bound;
            continue;
        }
        const bool japanese = isWide(before.unicode()) && isWide(at.unicode());
        const bool afterMark = isWide(before.unicode()) && closes(before.unicode()); // "、utf-8"
        if ((japanese || afterMark) && !closes(at.unicode()) && !opens(before.unicode())) {
            out.append({text.sliced(start, i - start), blank});
            start = i;
            blank = false;
        }
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
