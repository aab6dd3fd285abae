#include "sourcelistfile.h"

#include "core/cp932.h"
#include "core/textrules.h"

#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace sourcelistfile {

std::optional<Encoding> encodingFromName(const QString &name)
{
    const QString n = name.toLower();
    if (n == QLatin1String("auto"))
        return Encoding::Auto;
    if (n == QLatin1String("utf-8") || n == QLatin1String("utf8"))
        return Encoding::Utf8;
    if (n == QLatin1String("cp932") || n == QLatin1String("shift-jis") || n == QLatin1String("shift_jis")
        || n == QLatin1String("sjis"))
        return Encoding::Cp932;
    return std::nullopt;
}

namespace {
// Decodes one line of UTF-8 at `out`; nullptr when it is not UTF-8. Most
// names are ASCII, which takes one step a byte.
char16_t *decodeUtf8(char16_t *out, QByteArrayView line)
{
    const auto *p = reinterpret_cast<const unsigned char *>(line.data());
    const auto *const end = p + line.size();
    while (p < end) {
#if defined(__SSE2__)
        // Eight ASCII bytes widened at once.
        while (end - p >= 8) {
            const __m128i bytes = _mm_loadl_epi64(reinterpret_cast<const __m128i *>(p));
            if (_mm_movemask_epi8(bytes) != 0)
                break;
            _mm_storeu_si128(reinterpret_cast<__m128i *>(out), _mm_unpacklo_epi8(bytes, _mm_setzero_si128()));
            out += 8;
            p += 8;
        }
        if (p == end)
            break;
#endif
        const unsigned b = *p;
        if (b < 0x80) {
            *out++ = char16_t(b);
            ++p;
            continue;
        }
        // The length of the sequence, the bits of its first byte, and the
        // smallest code point it may stand for.
        int more;
        char32_t c;
        char32_t least;
        if (b >= 0xC2 && b <= 0xDF) {
            more = 1, c = b & 0x1F, least = 0x80;
        } else if (b >= 0xE0 && b <= 0xEF) {
            more = 2, c = b & 0x0F, least = 0x800;
        } else if (b >= 0xF0 && b <= 0xF4) {
            more = 3, c = b & 0x07, least = 0x10000;
        } else {
            return nullptr;
        }
        if (end - p <= more)
            return nullptr;
        for (int k = 1; k <= more; ++k) {
            if ((p[k] & 0xC0) != 0x80)
                return nullptr;
            c = (c << 6) | (p[k] & 0x3F);
        }
        if (c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
            return nullptr;
        p += more + 1;
        if (c >= 0x10000) {
            *out++ = char16_t(0xD800 + ((c - 0x10000) >> 10));
            *out++ = char16_t(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            *out++ = char16_t(c);
        }
    }
    return out;
}
} // namespace

QString List::text(qsizetype i) const
{
    return QString::fromRawData(m_text.constData() + m_starts[i], m_starts[i + 1] - m_starts[i]);
}

List List::parse(QByteArrayView bytes, Encoding encoding)
{
    List list;
    if (encoding != Encoding::Cp932 && bytes.startsWith("\xEF\xBB\xBF"))
        bytes = bytes.sliced(3); // a byte-order mark
    // Neither encoding makes more than one UTF-16 unit of a byte, so the
    // buffer never grows and the texts never move.
    list.m_text.resize(bytes.size());
    char16_t *const begin = reinterpret_cast<char16_t *>(list.m_text.data());
    char16_t *end = begin;
    qsizetype lines = 1;
    for (const char *p = bytes.data(), *end = p + bytes.size();
         (p = static_cast<const char *>(memchr(p, '\n', size_t(end - p)))); ++p)
        ++lines;
    list.m_starts.reserve(lines + 1);
    list.m_numbers.reserve(lines);
    list.m_starts.push_back(0);

    qsizetype pos = 0;
    int number = 0;
    while (pos < bytes.size()) {
        const void *found = memchr(bytes.data() + pos, '\n', size_t(bytes.size() - pos));
        const qsizetype lineEnd = found ? static_cast<const char *>(found) - bytes.data() : bytes.size();
        QByteArrayView line = bytes.sliced(pos, lineEnd - pos);
        pos = lineEnd + 1;
        ++number;
        if (line.endsWith('\r'))
            line.chop(1);

        char16_t *const start = end;
        char16_t *decoded = encoding != Encoding::Cp932 ? decodeUtf8(start, line) : nullptr;
        if (!decoded && encoding != Encoding::Utf8) {
            bool ok = false;
            decoded = cp932::decodeInto(start, line, &ok);
            if (!ok)
                decoded = nullptr;
        }
        if (!decoded) {
            list.m_badLine = number;
            return list;
        }
        end = decoded;
        if (textrules::trimmedView(QStringView(start, end)).isEmpty()) {
            end = start; // a blank line
        } else {
            list.m_starts.push_back(quint32(end - begin));
            list.m_numbers.push_back(quint32(number));
        }
    }
    return list;
}

} // namespace sourcelistfile
