#pragma once

#include <QByteArray>
#include <QString>

// Code page 932 (Shift-JIS as Windows uses it) is the encoding of every file
// the program reads and writes. Inside the program texts are QString.
namespace cp932 {

// The bytes of `text`. A character the code page cannot hold comes out as a
// replacement byte pair; use canEncode() first where that matters.
QByteArray encode(const QString &text);

// Appends the bytes of `text` to `out`, without a temporary for ASCII text.
void appendEncoded(QByteArray &out, QStringView text);

// The text of `bytes`; byte sequences that are not code page 932 become U+FFFD.
QString decode(const QByteArray &bytes);

// True when every character of `text` has its own code page 932 bytes, so
// that decoding the bytes gives `text` back exactly.
bool canEncode(const QString &text);

// Length of `text` once encoded, in bytes.
qsizetype encodedLength(const QString &text);

} // namespace cp932
