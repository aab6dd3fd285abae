#include "settingscodec.h"

#include "core/job/conversionjob.h"
#include "core/text/cp932.h"

#include <QIODevice>

namespace settings {

StoredSettings StoredSettings::defaults()
{
    return {JobDefaults::r13ToR12Parameter(), JobDefaults::r12ToGx3Parameter(), QString(), QString()};
}

namespace {
// Each line of the file: the value it holds, and what the messages call it.
struct Line
{
    QString StoredSettings::*value;
    QString (*name)();
};
constexpr Line kLines[StoredSettings::kCount] = {
    {&StoredSettings::r13ToR12Parameter, JobFieldNames::r13ToR12Parameter},
    {&StoredSettings::r12ToGx3Parameter, JobFieldNames::r12ToGx3Parameter},
    {&StoredSettings::destinationFolder, JobFieldNames::destinationFolder},
    {&StoredSettings::autocadFolder, JobFieldNames::autocadFolder},
};
} // namespace

QString &StoredSettings::operator[](int line) { return this->*kLines[line].value; }

QString StoredSettings::nameOf(int line) { return kLines[line].name(); }

const QString &StoredSettings::operator[](int line) const { return const_cast<StoredSettings &>(*this)[line]; }

RawLines parseLines(QByteArrayView head, bool atEnd, qsizetype cap)
{
    RawLines raw;
    qsizetype pos = 0;
    for (auto &line : raw.lines) {
        if (pos >= head.size())
            break;
        qsizetype end = head.indexOf('\n', pos);
        if (end < 0) {
            if (!atEnd) { // the line runs past what was read: too long to take
                raw.complete = false;
                break;
            }
            end = head.size();
        }
        // The line as the file holds it, but for the CR of its CR LF: a CR
        // inside it goes back into the file with the line.
        QByteArray bytes = head.sliced(pos, end - pos).toByteArray();
        if (bytes.endsWith('\r'))
            bytes.chop(1);
        if (bytes.size() - bytes.count('\r') > cap) {
            raw.complete = false;
            break;
        }
        line = bytes;
        pos = end + 1;
    }
    return raw;
}

RawLines readLines(QIODevice &device)
{
    const qsizetype limit = StoredSettings::kCount * (kMaxLineBytes + 2); // value, CR, LF
    // A pipe gives its bytes as they come: read until its end or the limit.
    QByteArray head;
    while (head.size() < limit) {
        const QByteArray more = device.read(limit - head.size());
        if (more.isEmpty())
            return parseLines(head, true);
        head += more;
    }
    return parseLines(head, device.atEnd());
}

StoredSettings valuesOf(const RawLines &file, StoredSettings values)
{
    for (int i = 0; i < StoredSettings::kCount; ++i) {
        if (file.lines[i])
            values[i] = cp932::decode(QByteArray(*file.lines[i]).replace('\r', QByteArray()));
    }
    return values;
}

bool isStorable(const QString &value)
{
    return !value.contains(u'\n') && !value.contains(u'\r') && cp932::canEncode(value)
        && cp932::encodedLength(value) <= kMaxLineBytes;
}

QByteArray encodeValues(const StoredSettings &now, const StoredSettings &shown, const RawLines &file)
{
    const StoredSettings defaults = StoredSettings::defaults();
    QByteArray out;
    for (int i = 0; i < StoredSettings::kCount; ++i) {
        const std::optional<QByteArray> &bytes = file.lines[i];
        const bool changed = now[i] != shown[i];
        // A line the user left alone goes back byte for byte, even where the
        // file held bytes that would decode and encode to other bytes.
        if (bytes && (!changed || !isStorable(now[i])))
            out += *bytes;
        else if (isStorable(now[i]))
            out += cp932::encode(now[i]);
        else
            out += cp932::encode(defaults[i]);
        out += "\r\n";
    }
    return out;
}

} // namespace settings
