#pragma once

#include "core/files/filewrite.h"
#include "settingscodec.h"

#include <QString>
#include <QStringList>

// Where the settings file lives, and the file across one run of the window:
// loaded once, saved at every close.
//
// - Beside the executable, under its base name with ".ini"; a file that
//   does not exist yet is created with its name lower-cased.
// - In the per-user folder, under the lower-cased name. Where that file
//   exists it comes first, as user settings override shared ones; it is
//   written when the file beside the executable cannot be.
// - The file that was read is the file that is written, so two files under
//   names that differ in case never both take changes.
class SettingsFile
{
public:
    // `userFolder` may be empty: no per-user file.
    SettingsFile(const QString &executablePath, const QString &userFolder);

    // Reads the first existing candidate. Each value the file has replaces
    // the one in `current`; the result is taken as what the window shows.
    settings::StoredSettings load(const settings::StoredSettings &current);
    // What the window shows once the loaded values are set, when it differs.
    void setShown(const settings::StoredSettings &shown) { m_shown = shown; }

    // What a save did: whether a file was written (or needed none), and
    // the changed values that no file holds now.
    struct SaveReport
    {
        WriteResult written;
        QList<int> notKept; // lines whose changed value was not stored
    };
    // Writes the values the user changed since the load over what the file
    // holds now, so that a value another window stored in the meantime is
    // kept where this one did not change it. A file that exists and has no
    // changed value is left as it is.
    SaveReport save(const settings::StoredSettings &now);

    // The per-user folder of the window's settings, for the window and for
    // tessiva-batch alike (both run as the application "tessiva").
    static QString userFolder();
    // The window's executable in `folder`: tessiva-batch lies beside it,
    // installed and in the build alike.
    static QString windowIn(const QString &folder);
    // The window's file name on this system (settingsfile_unix.cpp,
    // settingsfile_win.cpp).
    static QString windowName();

private:
    friend class TestSettingsCodec; // the candidates, without files to find

    // Candidates to read, the first existing one wins.
    QStringList readOrder() const;
    // The settings file beside an executable, under its exact name.
    static QString besideExecutable(const QString &executablePath);
    QStringList saveTargets() const;
    WriteResult writeOver(const QString &path, const settings::StoredSettings &now) const;

    QString m_beside;
    QString m_besideLowered;
    QString m_user;
    QString m_loadedPath;
    settings::RawLines m_loaded;
    settings::StoredSettings m_shown = settings::StoredSettings::defaults();
};
