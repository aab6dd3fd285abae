#include "cp932.h"

#include "cp932tables.h"

namespace cp932 {

const quint16 *codeTable() { return kTables.encode; }

QByteArray encode(QStringView text)
{
    QByteArray out(2 * text.size(), Qt::Uninitialized); // at most two bytes a character
    char *dst = out.data();
    for (QChar ch : text) {
        const char16_t c = ch.unicode();
        if (c < 0x80)
            *dst++ = char(c);
        else
            putCode(dst, kTables.encode[c]);
    }
    out.truncate(dst - out.constData());
    return out;
}

QString decode(QByteArrayView bytes, bool *ok)
{
    QString out(bytes.size(), Qt::Uninitialized);
    char16_t *start = reinterpret_cast<char16_t *>(out.data());
    out.truncate(decodeInto(start, bytes, ok) - start);
    return out;
}

char16_t *decodeInto(char16_t *dst, QByteArrayView bytes, bool *ok)
{
    const Tables &t = kTables;
    bool valid = true;
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n; ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b < 0x80) {
            *dst++ = b;
            continue;
        }
        char16_t c = kInvalid;
        if (isLeadByte(b)) {
            if (i + 1 < n) {
                const auto trail = static_cast<unsigned char>(bytes[i + 1]);
                c = t.pair[b - 0x80][trail];
                if (c != kInvalid)
                    ++i;
            }
        } else {
            c = t.single[b];
        }
        valid = valid && c != kInvalid;
        *dst++ = c;
    }
    if (ok)
        *ok = valid;
    return dst;
}

bool canEncode(QStringView text)
{
    const Tables &t = kTables;
    for (QChar c : text) {
        if (c.unicode() >= 0x80 && t.encode[c.unicode()] == kNoCode)
            return false;
    }
    return true;
}

qsizetype encodedLength(QStringView text)
{
    // A byte a character, and a second one for a double-byte character;
    // one with no code is written as the one byte "?".
    const Tables &t = kTables;
    qsizetype n = text.size();
    for (QChar c : text) {
        if (c.unicode() >= 0x80) {
            const quint16 code = t.encode[c.unicode()];
            n += code != kNoCode && code >= 0x100;
        }
    }
    return n;
}

} // namespace cp932
