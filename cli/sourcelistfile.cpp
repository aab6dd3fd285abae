#include "sourcelistfile.h"

#include "core/cp932.h"
#include "core/textrules.h"

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
std::optional<QString> decodeLine(QByteArrayView line, Encoding encoding)
{
    if (encoding != Encoding::Cp932 && line.isValidUtf8())
        return QString::fromUtf8(line);
    if (encoding == Encoding::Utf8)
        return std::nullopt;
    bool ok = false;
    QString text = cp932::decode(line, &ok);
    if (!ok)
        return std::nullopt;
    return text;
}
} // namespace

Result parse(QByteArrayView bytes, Encoding encoding)
{
    Result result;
    if (encoding != Encoding::Cp932 && bytes.startsWith("\xEF\xBB\xBF"))
        bytes = bytes.sliced(3); // a byte-order mark
    qsizetype pos = 0;
    int number = 0;
    while (pos < bytes.size()) {
        qsizetype end = bytes.indexOf('\n', pos);
        if (end < 0)
            end = bytes.size();
        QByteArrayView line = bytes.sliced(pos, end - pos);
        pos = end + 1;
        ++number;
        if (line.endsWith('\r'))
            line.chop(1);
        std::optional<QString> text = decodeLine(line, encoding);
        if (!text) {
            result.badLine = number;
            return result;
        }
        if (!textrules::trimmedView(*text).isEmpty())
            result.lines.append({*text, number});
    }
    return result;
}

} // namespace sourcelistfile
