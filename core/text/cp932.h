#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// Code page 932 (Shift-JIS as Windows uses it) is the encoding of every file
// the program reads and writes. Inside the program texts are QString.
//
// The mapping is taken once from the toolkit's "Shift_JIS" converter (the
// Windows flavour, windows-31j) and kept as two tables, so that encoding
// and decoding are a lookup per character. Only round-trip mappings are
// kept: a character that the converter would write as a "best fit" (¥ as
// 0x5C, say) counts as one the code page cannot hold.
namespace cp932 {

// The bytes of `text`. A character the code page cannot hold comes out as
// "?"; use canEncode() first where that matters.
QByteArray encode(QStringView text);

// The text of `bytes`. A byte sequence that is not code page 932 becomes
// U+FFFD; `ok`, when given, says whether there was none.
QString decode(QByteArrayView bytes, bool *ok = nullptr);
// The same, written at `out`, which has room for one unit a byte. Returns
// the end of what was written.
char16_t *decodeInto(char16_t *out, QByteArrayView bytes, bool *ok = nullptr);

// True when every character of `text` has bytes of its own, so that
// decoding them gives `text` back exactly.
bool canEncode(QStringView text);

// Length of `text` once encoded, in bytes.
qsizetype encodedLength(QStringView text);

// For each of the 65,536 UTF-16 units its code: 0x00–0xFF for a single
// byte, 0x8140 and up for a double-byte character, or kNoCode.
constexpr quint16 kNoCode = 0xFFFF;
const quint16 *codeTable();

// Writes the bytes of one code of codeTable() at `dst` and moves it on: one
// byte, two, or "?" for kNoCode. The one place a code becomes bytes.
inline void putCode(char *&dst, quint16 code)
{
    if (code == kNoCode) {
        *dst++ = '?';
    } else if (code < 0x100) {
        *dst++ = char(code);
    } else {
        *dst++ = char(code >> 8);
        *dst++ = char(code & 0xFF);
    }
}

// True for the first byte of a double-byte character.
constexpr bool isLeadByte(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

} // namespace cp932
