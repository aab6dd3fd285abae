#include "settingscodec.h"

#include "cp932.h"
#include "textrules.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace settings {

RawLines parseLines(const QByteArray &head, bool atEnd)
{
    RawLines lines;
    qsizetype pos = 0;
    for (auto &line : lines) {
        if (pos >= head.size())
            break;
        qsizetype end = head.indexOf('\n', pos);
        if (end < 0) {
            if (!atEnd)
                break; // the line runs past what was read: too long to take
            end = head.size();
        }
        QByteArray bytes = head.mid(pos, end - pos);
        bytes.replace('\r', QByteArray());
        if (bytes.size() > kMaxLineBytes)
            break;
        line = bytes;
        pos = end + 1;
    }
    return lines;
}

RawLines readLines(QIODevice &device)
{
    const qsizetype limit = kValueCount * (kMaxLineBytes + 2); // value, CR, LF
    const QByteArray head = device.read(limit);
    return parseLines(head, device.atEnd());
}

Values decodeLines(const RawLines &lines)
{
    Values values;
    for (int i = 0; i < kValueCount; ++i) {
        if (lines[i])
            values[i] = cp932::decode(*lines[i]);
    }
    return values;
}

bool isStorable(const QString &value)
{
    return !value.contains(u'\n') && !value.contains(u'\r') && cp932::canEncode(value);
}

QByteArray encodeValues(const std::array<QString, kValueCount> &values, const RawLines &previous)
{
    QByteArray out;
    for (int i = 0; i < kValueCount; ++i) {
        // A value as it was read goes back byte for byte, even where the
        // file held bytes that decode and encode to other bytes.
        if (previous[i] && cp932::decode(*previous[i]) == values[i])
            out += *previous[i];
        else if (isStorable(values[i]))
            out += cp932::encode(values[i]);
        else if (previous[i])
            out += *previous[i];
        out += "\r\n";
    }
    return out;
}

QString pathBesideExecutable(const QString &executablePath)
{
    using textrules::Separators;
    const QString ext = textrules::extension(executablePath, Separators::WindowsOrSlash);
    return executablePath.left(executablePath.size() - ext.size()) + QStringLiteral(".ini");
}

Locations locations(const QString &executablePath, const QString &userFolder)
{
    using textrules::Separators;
    const QString beside = pathBesideExecutable(executablePath);
    const QString folder = textrules::folderPart(beside, Separators::WindowsOrSlash);
    // Only the file's own name is lower-cased: on a case-sensitive file
    // system a lower-cased folder would be another folder.
    const QString name = textrules::lowerCased(textrules::namePart(beside, Separators::WindowsOrSlash));
    const QString lowered = folder + name;

    Locations where;
    where.readOrder << beside;
    if (lowered != beside)
        where.readOrder << lowered;
    where.writeOrder << lowered;
    if (!userFolder.isEmpty()) {
        const QString user = QDir(userFolder).filePath(name);
        where.readOrder << user;
        where.writeOrder << user;
    }
    return where;
}

Loaded load(const QStringList &readOrder)
{
    for (const QString &path : readOrder) {
        QFile file(path);
        if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
            continue;
        return Loaded{true, readLines(file)};
    }
    return Loaded{};
}

WriteResult save(const QStringList &writeOrder, const std::array<QString, kValueCount> &values,
                 const RawLines &previous)
{
    const QByteArray bytes = encodeValues(values, previous);
    WriteResult result{false, QStringLiteral("no location to write")};
    for (int i = 0; i < writeOrder.size(); ++i) {
        const QString &path = writeOrder.at(i);
        if (i > 0)
            QDir().mkpath(QFileInfo(path).absolutePath());
        result = writeWholeFile(path, bytes);
        if (result.ok)
            return result;
    }
    return result;
}

} // namespace settings
