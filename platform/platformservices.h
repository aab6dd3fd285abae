#pragma once

#include "core/base/result.h"
#include "core/drawing/sourcecheck.h"
#include "core/job/jobpath.h"

#include <QString>
#include <QStringList>
#include <Qt>

class QWidget;

// What the file-open dialog of the source list is asked for.
struct OpenFilesRequest
{
    QString title;
    QStringList nameFilters; // e.g. "ＤＸＦﾌｧｲﾙ(*.DXF)"
    QString selectedFilter; // the entry to preselect
};

struct OpenFilesResult
{
    QStringList files; // native paths of existing files, in dialog order
    QString selectedFilter; // the entry in use when the dialog closed
};

// What the batch file's save dialog is asked for.
struct SaveFileRequest
{
    QString title;
    QString initialFolder; // native
    QString proposedName;
    QString defaultSuffix; // added to a name typed without an extension
    QStringList nameFilters;
};

// The desktop services the windows use, so that tests can stand in for
// them. Every dialog is modal and returns nullopt when the user cancels.
// The rules themselves (paths, checks, files) live in core/ and are the
// same whatever stands behind this interface.
class PlatformServices
{
public:
    virtual ~PlatformServices();

    virtual Cancellable<OpenFilesResult> openFiles(QWidget *parent, const OpenFilesRequest &request) = 0;
    // Asks before an existing file is replaced. Returns a native path.
    virtual Cancellable<QString> saveFile(QWidget *parent, const SaveFileRequest &request) = 0;
    // Only file-system folders can be chosen. `startFolder` is native, may be empty.
    virtual Cancellable<QString> browseFolder(QWidget *parent, const QString &title, const QString &startFolder) = 0;

    // The Ctrl and Shift keys as they are now.
    virtual Qt::KeyboardModifiers keyboardModifiers() const = 0;
    virtual void beep() = 0;
    // True for an existing file that is not a folder.
    virtual bool isExistingFile(const QString &nativePath) const = 0;
    // True for an existing folder.
    virtual bool isExistingFolder(const QString &nativePath) const = 0;
    // The running executable's full native path.
    virtual QString executablePath() const = 0;
    // Whether a new file can be made in `nativeFolder` by this user.
    virtual bool canCreateFileIn(const QString &nativeFolder) const = 0;
    // A folder the user can save in, native: the documents folder where it
    // exists, else the home folder.
    virtual QString documentsFolder() const = 0;
    // The per-user folder for settings.
    virtual QString userSettingsFolder() const = 0;
    // How native paths map onto the Windows paths of a batch job.
    virtual jobpath::Style pathStyle() const = 0;
    // What each source of `job` is, read from its file (drawing::readSources).
    // Called on a thread of its own: it touches no window.
    virtual Cancellable<drawing::Findings> readSources(const ConversionJob &job, drawing::ReadProgress &progress) = 0;

    // The application's error box: the message, an error icon and one OK button.
    virtual void showErrorBox(QWidget *parent, const QString &caption, const QString &message) = 0;
    // Takes the Size command off a window's system menu, where there is one.
    virtual void removeSizeCommand(QWidget *window) = 0;
};
