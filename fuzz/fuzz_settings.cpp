// The settings reader and writer: whatever a file holds, reading never takes
// more than the cap, and writing back what was read keeps each line's bytes;
// whatever the window stores comes back as it was.
#include "core/cp932.h"
#include "core/settingscodec.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>

namespace {
void check(bool condition)
{
    if (!condition)
        std::abort();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider provider(data, size);
    if (provider.ConsumeBool()) {
        // A file of arbitrary bytes.
        const std::string bytes = provider.ConsumeRemainingBytesAsString();
        const QByteArray file(bytes.data(), qsizetype(bytes.size()));
        const settings::RawLines raw = settings::parseLines(file, true);
        const settings::Values values = settings::decodeLines(raw);
        std::array<QString, settings::kValueCount> texts;
        for (int i = 0; i < settings::kValueCount; ++i) {
            check(!raw[i] || raw[i]->size() <= settings::kMaxLineBytes);
            check(!raw[i] || !raw[i]->contains('\n'));
            texts[i] = values[i].value_or(QString());
        }
        const settings::RawLines again = settings::parseLines(settings::encodeValues(texts, raw), true);
        for (int i = 0; i < settings::kValueCount; ++i)
            check(!raw[i] || (again[i] && *again[i] == *raw[i]));
    } else {
        // Values as the window's fields may hold them.
        std::array<QString, settings::kValueCount> texts;
        for (QString &text : texts)
            text = QString::fromStdU16String(std::u16string(provider.ConsumeRandomLengthString(300).size() / 2, u' '))
                + QString::fromUtf8(provider.ConsumeRandomLengthString(300));
        const settings::Values back =
            settings::decodeLines(settings::parseLines(settings::encodeValues(texts, {}), true));
        for (int i = 0; i < settings::kValueCount; ++i) {
            if (settings::isStorable(texts[i]))
                check(back[i] && *back[i] == texts[i]);
            else
                check(back[i] && back[i]->isEmpty());
        }
    }
    return 0;
}
