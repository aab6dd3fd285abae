// The head reader: whatever a file starts with, telling what it is never
// crashes, never looks past the head, and never changes its answer with
// more of the file once the bytes read so far gave one; a version holds
// only letters, digits, dots and "?".
#include "core/drawing/drawinghead.h"

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
    // A head of the fuzzer's bytes, or one that runs past the 64 KiB read:
    // a start, then a piece repeated.
    const std::string start = provider.ConsumeRandomLengthString(2048);
    const std::string piece = provider.ConsumeRandomLengthString(64);
    const int repeats = provider.ConsumeIntegralInRange<int>(0, 3000);
    const size_t cut = provider.ConsumeIntegral<size_t>();
    QByteArray bytes(start.data(), qsizetype(start.size()));
    for (int i = 0; i < repeats && !piece.empty(); ++i)
        bytes.append(piece.data(), qsizetype(piece.size()));
    bytes += QByteArray::fromStdString(provider.ConsumeRemainingBytesAsString());

    const std::optional<drawing::Head> whole = drawing::headOf(bytes, true);
    check(whole.has_value());
    check(*whole == *drawing::headOf(bytes.left(drawing::kHeadBytes), true));
    check(whole->version.size() <= drawing::Head::kMaxVersionChars);
    for (const QChar c : whole->version)
        check(c.isLetterOrNumber() || c == u'.' || c == u'?');
    // The first part of the file, as a reader has it before the rest.
    const qsizetype part = bytes.isEmpty() ? 0 : qsizetype(cut % size_t(bytes.size() + 1));
    if (const std::optional<drawing::Head> early = drawing::headOf(bytes.left(part), false))
        check(*early == *whole);
    return 0;
}
