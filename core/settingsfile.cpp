#include "settingsfile.h"

#include "filelock.h"
#include "hostsystem.h"
#include "textrules.h"

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

// The read, merge and write of a save is one step across processes: two
// windows closed at once (a logout) each keep their own changes. A lock
// that cannot be had within a few seconds is not waited for longer, and
// the values are then not written.
constexpr std::chrono::milliseconds kSaveLockWait(5000);

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

QString SettingsFile::userFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
}

QString SettingsFile::windowIn(const QString &folder)
{
    return QDir(folder).filePath(hostsystem::windowExecutableName());
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
        values = settings::valuesOf(m_loaded, values);
        break;
    }
    m_shown = values;
    return values;
}

SettingsFile::SaveReport SettingsFile::save(const settings::StoredSettings &now)
{
    QList<int> changed;
    for (int i = 0; i < settings::StoredSettings::kCount; ++i) {
        if (now[i] != m_shown[i])
            changed << i;
    }
    if (changed.isEmpty() && !m_loadedPath.isEmpty() && QFileInfo::exists(m_loadedPath))
        return {{true, QString()}, {}};

    QStringList targets;
    if (m_loadedPath.isEmpty())
        targets << m_besideLowered;
    else
        targets << m_loadedPath;
    if (!m_user.isEmpty() && !targets.contains(m_user))
        targets << m_user;

    // The first reason a file could not be written is the one told: a
    // later one (a per-user folder that cannot be made) follows from it.
    std::optional<WriteResult> firstFailure;
    for (const QString &path : std::as_const(targets)) {
        if (path == m_user)
            QDir().mkpath(QFileInfo(path).absolutePath());
        const FileLock lock(path, kSaveLockWait);
        if (!lock.held()) {
            // Another process is saving this file: written elsewhere, the
            // values would be split between two files.
            firstFailure = firstFailure.value_or(WriteResult{false, lock.error()});
            break;
        }
        // What the file holds now, or where it is new, what the file that
        // was read holds now.
        const QString base = QFileInfo::exists(path) || m_loadedPath.isEmpty() ? path : m_loadedPath;
        std::optional<settings::RawLines> lines = readAllLines(base);
        if (!lines) {
            const WriteResult tooLarge{false, writereason::settingsTooLarge()};
            if (base == path) {
                firstFailure = firstFailure.value_or(tooLarge);
                continue;
            }
            lines = m_loaded; // the other file may still be written
        }
        // A settings file that is not a regular file (a FIFO, a device) is
        // neither read nor written.
        const WriteResult result =
            writeWholeFile(path, settings::encodeValues(now, m_shown, *lines), SpecialFiles::Refuse);
        if (result.ok) {
            QList<int> notKept;
            for (int i : std::as_const(changed)) {
                if (!settings::isStorable(now[i]))
                    notKept << i;
            }
            return {result, notKept};
        }
        firstFailure = firstFailure.value_or(result);
    }
    return {firstFailure.value_or(WriteResult{false, writereason::noSettingsPlace()}), changed};
}
