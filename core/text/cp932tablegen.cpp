// Writes the tables of code page 932 as C++ source, from what the toolkit's
// "Shift_JIS" converter gives: run once at build time, so that the program
// starts with the tables made.
#include "cp932.h"
#include "cp932tables.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <QStringList>

#include <cstdio>
#include <memory>

using namespace cp932;

namespace {
// ICU's "Shift_JIS" converter is the Windows flavour (windows-31j): U+FF5E,
// U+FF0D and the NEC extensions map as code page 932 maps them.
constexpr const char *kName = "Shift_JIS";

// One character decoded by the converter, or kInvalid. The converter marks
// what it cannot map with U+FFFD or with U+001A (SUB).
char16_t single(const QString &decoded)
{
    if (decoded.size() != 1)
        return kInvalid;
    const char16_t c = decoded.at(0).unicode();
    return c == kInvalid || c == 0x1A ? kInvalid : c;
}

// Every byte sequence beyond ASCII that can be one character: the bytes
// 0x80 to 0xFF that are no lead byte (trail -1), and every lead byte with
// every trail byte.
template <class F>
void forEachSequence(F &&f)
{
    for (int b = 0x80; b < 0x100; ++b) {
        if (!isLeadByte(b))
            f(b, -1);
    }
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        if (!isLeadByte(lead))
            continue;
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            if (trail != 0x7F)
                f(lead, trail);
        }
    }
}

std::unique_ptr<Tables> buildTables()
{
    auto t = std::make_unique<Tables>();
    std::fill(std::begin(t->encode), std::end(t->encode), kNoCode);
    std::fill(std::begin(t->single), std::end(t->single), kInvalid);
    for (auto &row : t->pair)
        std::fill(std::begin(row), std::end(row), kInvalid);

    // ASCII is ASCII, control characters included.
    for (int b = 0; b < 0x80; ++b) {
        t->single[b] = char16_t(b);
        t->encode[b] = quint16(b);
    }

    // Every other byte sequence, each on a line of its own, decoded in one
    // call; a line feed is never part of a character, so each line's
    // result belongs to its byte sequence alone.
    QByteArray probe;
    forEachSequence([&probe](int first, int trail) {
        probe += char(first);
        if (trail >= 0)
            probe += char(trail);
        probe += '\n';
    });
    QStringDecoder decoder(kName);
    const QString decoded = decoder.decode(probe);
    const QStringList results = decoded.split(u'\n');
    qsizetype at = 0;
    forEachSequence([&](int first, int trail) {
        const char16_t c = single(results.value(at++));
        if (trail < 0)
            t->single[first] = c;
        else
            t->pair[first - 0x80][trail] = c;
    });

    // The converter's encoder picks one of several byte sequences for a
    // character the way Windows does (NEC before IBM extensions).
    QString wanted;
    for (int b = 0x80; b < 0x100; ++b) {
        if (t->single[b] != kInvalid)
            wanted += QChar(t->single[b]);
    }
    for (const auto &row : t->pair) {
        for (char16_t c : row) {
            if (c != kInvalid)
                wanted += QChar(c);
        }
    }
    QStringEncoder encoder(kName);
    const QByteArray bytes = encoder.encode(wanted);
    qsizetype pos = 0;
    for (QChar c : std::as_const(wanted)) {
        if (pos >= bytes.size())
            break;
        const auto b0 = static_cast<unsigned char>(bytes.at(pos));
        quint16 code = b0;
        char16_t back = t->single[b0];
        if (isLeadByte(b0) && pos + 1 < bytes.size()) {
            const auto b1 = static_cast<unsigned char>(bytes.at(pos + 1));
            code = quint16(b0 << 8 | b1);
            back = t->pair[b0 - 0x80][b1];
            pos += 2;
        } else {
            pos += 1;
        }
        // Keep round trips only; a best-fit mapping decodes to another character.
        if (back == c.unicode() && t->encode[c.unicode()] == kNoCode)
            t->encode[c.unicode()] = code;
    }
    return t;
}

template <class T>
void printRow(const T *values, int count)
{
    std::printf("{");
    for (int i = 0; i < count; ++i)
        std::printf("%s%s0x%X", i ? "," : "", i % 16 == 0 ? "\n" : "", unsigned(values[i]));
    std::printf("}");
}
} // namespace

int main()
{
    // Without the toolkit's converter the tables would map nothing beyond
    // ASCII: the build stops rather than make a program that cannot write
    // a Japanese name.
    if (!QStringDecoder(kName).isValid() || !QStringEncoder(kName).isValid()) {
        std::fprintf(stderr, "cp932tablegen: the toolkit has no %s converter (Qt built without ICU?)\n", kName);
        return 1;
    }
    const std::unique_ptr<Tables> t = buildTables();
    std::printf("// Made by cp932tablegen at build time; not to be edited.\n"
                "#include \"core/text/cp932tables.h\"\n\nnamespace cp932 {\nconst Tables kTables = {\n");
    printRow(t->encode, 0x10000);
    std::printf(",\n");
    printRow(t->single, 0x100);
    std::printf(",\n{");
    for (int lead = 0; lead < 0x80; ++lead) {
        std::printf(lead ? ",\n" : "\n");
        printRow(t->pair[lead], 0x100);
    }
    std::printf("}};\n} // namespace cp932\n");
    return 0;
}
