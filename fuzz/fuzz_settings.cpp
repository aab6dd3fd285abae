// The settings reader and writer: whatever a file holds, reading never takes
// more than the cap, and writing back what was read, unchanged, keeps each
// line's bytes; whatever the window stores comes back as it was, or as the
// line's default where it cannot be stored.
#include "core/settings/settingscodec.h"
#include "core/text/cp932.h"

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
    using settings::StoredSettings;
    FuzzedDataProvider provider(data, size);
    if (provider.ConsumeBool()) {
        // A file of arbitrary bytes.
        const std::string bytes = provider.ConsumeRemainingBytesAsString();
        const QByteArray file(bytes.data(), qsizetype(bytes.size()));
        const settings::RawLines raw = settings::parseLines(file, true);
        for (int i = 0; i < StoredSettings::kCount; ++i) {
            check(!raw.lines[i] || raw.lines[i]->size() <= settings::kMaxLineBytes);
            check(!raw.lines[i] || !raw.lines[i]->contains('\n'));
        }
        const StoredSettings shown = settings::valuesOf(raw, StoredSettings::defaults());
        const settings::RawLines again = settings::parseLines(settings::encodeValues(shown, shown, raw), true);
        for (int i = 0; i < StoredSettings::kCount; ++i)
            check(!raw.lines[i] || (again.lines[i] && *again.lines[i] == *raw.lines[i]));
    } else {
        // Values as the window's fields may hold them, typed into a window
        // that started without a file.
        StoredSettings now;
        for (int i = 0; i < StoredSettings::kCount; ++i)
            now[i] = QString::fromUtf8(provider.ConsumeRandomLengthString(300));
        const settings::RawLines back
            = settings::parseLines(settings::encodeValues(now, StoredSettings::defaults(), settings::RawLines{}), true);
        for (int i = 0; i < StoredSettings::kCount; ++i) {
            check(back.lines[i].has_value());
            const QString stored = cp932::decode(*back.lines[i]);
            if (settings::isStorable(now[i]))
                check(stored == now[i]);
            else
                check(stored == StoredSettings::defaults()[i]);
        }
    }
    return 0;
}
