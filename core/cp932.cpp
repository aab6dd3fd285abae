#include "cp932.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace cp932 {
namespace {
// ICU's "Shift_JIS" converter is the Windows flavour (windows-31j): U+FF5E,
// U+FF0D and the NEC extensions map as code page 932 maps them.
constexpr const char *kName = "Shift_JIS";

bool isAscii(const QString &text)
{
    for (QChar c : text) {
        if (c.unicode() >= 0x80)
            return false;
    }
    return true;
}
} // namespace

QByteArray encode(const QString &text)
{
    if (isAscii(text))
        return text.toLatin1();
    QStringEncoder encoder(kName);
    return encoder.encode(text);
}

void appendEncoded(QByteArray &out, QStringView text)
{
    const qsizetype start = out.size();
    out.resize(start + text.size());
    char *dst = out.data() + start;
    for (QChar c : text) {
        if (c.unicode() >= 0x80) {
            out.truncate(start);
            QStringEncoder encoder(kName);
            out += encoder.encode(text);
            return;
        }
        *dst++ = char(c.unicode());
    }
}

QString decode(const QByteArray &bytes)
{
    bool ascii = true;
    for (char b : bytes) {
        if (static_cast<unsigned char>(b) >= 0x80) {
            ascii = false;
            break;
        }
    }
    if (ascii)
        return QString::fromLatin1(bytes);
    QStringDecoder decoder(kName);
    return decoder.decode(bytes);
}

bool canEncode(const QString &text)
{
    if (isAscii(text))
        return true;
    QStringEncoder encoder(kName);
    const QByteArray bytes = encoder.encode(text);
    if (encoder.hasError())
        return false;
    // A round trip also rejects one-way "best fit" mappings.
    return decode(bytes) == text;
}

qsizetype encodedLength(const QString &text)
{
    return encode(text).size();
}

} // namespace cp932
