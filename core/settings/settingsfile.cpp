#include "settingsfile.h"

#include "core/files/filelock.h"
#include "core/text/textrules.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

using textrules::Separators;

namespace {
// Only a regular file is read: a FIFO or a device could make the start
// wait for ever.
bool isReadableFile(const QString &path)
{
    const QFileInfo info(path);
    return info.isFile() && info.isReadable();
}

// The file is read again in full when it is saved, so that lines the
// user did not change (and the lines after an over-long one) go back as
// the file holds them then. A file too large even for that is not
// rewritten at all.
constexpr qsizetype kMaxWholeFile = 64 * 1024 * 1024;

std::optional<settings::RawLines> readAllLines(const QString &path)
{
    QFile file(path);
    if (!isReadableFile(path) || !file.open(QIODevice::ReadOnly))
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

QString SettingsFile::userFolder() { return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation); }

QString SettingsFile::windowIn(const QString &folder) { return QDir(folder).filePath(windowName()); }

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
        values = settings::valuesOf(m_loaded, values);
        break;
    }
    m_shown = values;
    return values;
}

namespace {
// The values the user changed since they were shown.
QList<int> changedValues(const settings::StoredSettings &now, const settings::StoredSettings &shown)
{
    QList<int> changed;
    for (int i = 0; i < settings::StoredSettings::kCount; ++i) {
        if (now[i] != shown[i])
            changed << i;
    }
    return changed;
}

// The changed values no settings file can hold.
QList<int> notStorable(const settings::StoredSettings &now, const QList<int> &changed)
{
    QList<int> notKept;
    for (int i : changed) {
        if (!settings::isStorable(now[i]))
            notKept << i;
    }
    return notKept;
}
} // namespace

// The file that was read (or the usual one beside the executable), then
// the per-user file.
QStringList SettingsFile::saveTargets() const
{
    QStringList targets{m_loadedPath.isEmpty() ? m_besideLowered : m_loadedPath};
    if (!m_user.isEmpty() && !targets.contains(m_user))
        targets << m_user;
    return targets;
}

// The changed values written over what `path` holds now or, where it is
// new, what the file that was read holds now. A settings file that is not
// a regular file (a FIFO, a device) is neither read nor written.
WriteResult SettingsFile::writeOver(const QString &path, const settings::StoredSettings &now) const
{
    const QString base = QFileInfo::exists(path) || m_loadedPath.isEmpty() ? path : m_loadedPath;
    std::optional<settings::RawLines> lines = readAllLines(base);
    if (!lines) {
        if (base == path)
            return WriteError{WriteFailure::SettingsTooLarge, 0};
        lines = m_loaded; // the other file may still be written
    }
    return writeWholeFile(path, settings::encodeValues(now, m_shown, *lines), SpecialFiles::Refuse);
}

SettingsFile::SaveReport SettingsFile::save(const settings::StoredSettings &now)
{
    const QList<int> changed = changedValues(now, m_shown);
    if (changed.isEmpty() && !m_loadedPath.isEmpty() && QFileInfo::exists(m_loadedPath))
        return {WriteResult(), {}};
    // The first reason a file could not be written is the one told: a
    // later one (a per-user folder that cannot be made) follows from it.
    std::optional<WriteResult> firstFailure;
    for (const QString &path : saveTargets()) {
        if (path == m_user)
            QDir().mkpath(QFileInfo(path).absolutePath());
        // The read, merge and write of a save is one step across processes:
        // two windows closed at once (a logout) each keep their own changes.
        // A lock that cannot be had in time is not waited for longer, and
        // the values are then not written.
        const FileLock lock(path, FileLock::kWait);
        if (!lock.held()) {
            // Another process is saving this file: written elsewhere, the
            // values would be split between two files.
            firstFailure = firstFailure.value_or(WriteResult(lock.error()));
            break;
        }
        const WriteResult result = writeOver(path, now);
        if (result.passed())
            return {result, notStorable(now, changed)};
        firstFailure = firstFailure.value_or(result);
    }
    return {firstFailure.value_or(WriteResult(WriteError{WriteFailure::NoSettingsPlace, 0})), changed};
}
