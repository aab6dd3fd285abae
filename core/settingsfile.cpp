#include "settingsfile.h"

#include "cp932.h"
#include "textrules.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

using textrules::Separators;

namespace {
bool isReadableFile(const QString &path)
{
    const QFileInfo info(path);
    return info.isFile() && info.isReadable();
}

// A file that stopped being read at an over-long line is read again in
// full when it is saved, so that the lines from there on go back as they
// were. A file too large even for that is not rewritten at all.
constexpr qsizetype kMaxWholeFile = 64 * 1024 * 1024;

std::optional<settings::RawLines> readAllLines(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return settings::RawLines{};
    const QByteArray bytes = file.read(kMaxWholeFile + 1);
    if (bytes.size() > kMaxWholeFile)
        return std::nullopt;
    return settings::parseLines(bytes, true, kMaxWholeFile);
}
} // namespace

SettingsFile::SettingsFile(const QString &executablePath, const QString &userFolder)
    : m_beside(besideExecutable(executablePath))
{
    const QString folder = textrules::folderPart(m_beside, Separators::WindowsOrSlash);
    // Only the file's own name is lower-cased: on a case-sensitive file
    // system a lower-cased folder would be another folder.
    const QString name = textrules::lowerCased(textrules::namePart(m_beside, Separators::WindowsOrSlash));
    m_besideLowered = folder + name;
    if (!userFolder.isEmpty())
        m_user = QDir(userFolder).filePath(name);
}

QString SettingsFile::besideExecutable(const QString &executablePath)
{
    const QString ext = textrules::extension(executablePath, Separators::WindowsOrSlash);
    return executablePath.left(executablePath.size() - ext.size()) + QStringLiteral(".ini");
}

QStringList SettingsFile::readOrder() const
{
    QStringList order;
    if (!m_user.isEmpty())
        order << m_user;
    order << m_besideLowered;
    if (m_beside != m_besideLowered)
        order << m_beside;
    return order;
}

settings::StoredSettings SettingsFile::load(const settings::StoredSettings &current)
{
    settings::StoredSettings values = current;
    for (const QString &path : readOrder()) {
        QFile file(path);
        if (!isReadableFile(path) || !file.open(QIODevice::ReadOnly))
            continue;
        m_loadedPath = path;
        m_loaded = settings::readLines(file);
        for (int i = 0; i < settings::StoredSettings::kCount; ++i) {
            if (m_loaded.lines[i])
                values[i] = cp932::decode(*m_loaded.lines[i]);
        }
        break;
    }
    m_shown = values;
    return values;
}

WriteResult SettingsFile::save(const settings::StoredSettings &now)
{
    settings::RawLines file = m_loaded;
    if (!m_loaded.complete) {
        const std::optional<settings::RawLines> whole = readAllLines(m_loadedPath);
        if (!whole)
            return {false, QStringLiteral("The settings file is too large to rewrite")};
        file = *whole;
    }
    const QByteArray bytes = settings::encodeValues(now, m_shown, file);

    QStringList targets;
    if (m_loadedPath.isEmpty())
        targets << m_besideLowered;
    else
        targets << m_loadedPath;
    if (!m_user.isEmpty() && !targets.contains(m_user))
        targets << m_user;

    WriteResult result{false, QStringLiteral("No place to write the settings file")};
    for (const QString &path : std::as_const(targets)) {
        if (path == m_user)
            QDir().mkpath(QFileInfo(path).absolutePath());
        result = writeWholeFile(path, bytes);
        if (result.ok)
            return result;
    }
    return result;
}
