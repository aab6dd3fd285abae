#include "qtplatformservices.h"

#include "desktop.h"

#include "core/files/filewrite.h"
#include "core/settings/settingsfile.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QGuiApplication>
#include <QHeaderView>
#include <QMessageBox>
#include <QStandardPaths>
#include <QTreeView>

void showEveryFileForStarDotStar(QFileDialog &dialog)
{
    auto *model = dialog.findChild<QFileSystemModel *>();
    auto *types = dialog.findChild<QComboBox *>(QStringLiteral("fileTypeCombo"));
    if (!model || !types)
        return;
    const auto apply = [model, types] {
        if (types->currentText().endsWith(QLatin1String("(*.*)")))
            model->setNameFilters({QStringLiteral("*")});
    };
    // After the dialog has set the filter's own patterns.
    QObject::connect(types, &QComboBox::currentIndexChanged, model, apply, Qt::QueuedConnection);
    QObject::connect(types, &QComboBox::activated, model, apply, Qt::QueuedConnection);
    apply();
}

// On Windows the system's own dialogs; elsewhere Qt's own, which match
// "*.DXF" without regard to case on every file system and behave alike on
// every desktop.
namespace {
QFileDialog::Options dialogOptions()
{
    return desktop::nativeFileDialogs() ? QFileDialog::Options() : QFileDialog::DontUseNativeDialog;
}

// The size every file and folder dialog opens at: wide enough that a name,
// its size and its type read whole, and, once the user has made one larger,
// that size for the rest of the run. The system's own dialogs keep theirs.
QSize &dialogSize()
{
    static QSize size(760, 480);
    return size;
}

// A dialog of `title`, with the options, size and filters every dialog of
// the window has; a question it asks (a file to replace) wide enough for its
// title.
void prepare(QFileDialog &dialog, const QStringList &nameFilters = {})
{
    dialog.setOptions(dialog.options() | dialogOptions());
    dialog.resize(dialogSize());
    // The name takes the width left once the size, the type and the date
    // have what they need to read whole.
    if (auto *details = dialog.findChild<QTreeView *>(QStringLiteral("treeView"))) {
        QHeaderView *header = details->header();
        header->setStretchLastSection(false);
        header->setSectionResizeMode(0, QHeaderView::Stretch);
        for (int column = 1; column < header->count(); ++column)
            header->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    }
    dialog.setStyleSheet(QStringLiteral("QMessageBox QLabel#qt_msgbox_label { min-width: 420px; }"));
    if (!nameFilters.isEmpty()) {
        dialog.setNameFilters(nameFilters);
        showEveryFileForStarDotStar(dialog);
    }
}

// Runs `dialog`; true when accepted. Its size is kept for the next one.
bool run(QFileDialog &dialog)
{
    const bool accepted = dialog.exec() == QDialog::Accepted;
    if (!dialog.testOption(QFileDialog::DontUseNativeDialog))
        return accepted;
    dialogSize() = dialog.size().expandedTo(QSize(640, 400));
    return accepted;
}
} // namespace

Cancellable<OpenFilesResult> QtPlatformServices::openFiles(QWidget *parent, const OpenFilesRequest &request)
{
    QFileDialog dialog(parent, request.title);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    prepare(dialog, request.nameFilters);
    if (!request.selectedFilter.isEmpty())
        dialog.selectNameFilter(request.selectedFilter);
    if (!run(dialog))
        return kCancelled;
    OpenFilesResult result;
    for (const QString &file : dialog.selectedFiles())
        result.files << QDir::toNativeSeparators(file);
    result.selectedFilter = dialog.selectedNameFilter();
    return result;
}

Cancellable<QString> QtPlatformServices::saveFile(QWidget *parent, const SaveFileRequest &request)
{
    QFileDialog dialog(parent, request.title);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    prepare(dialog, request.nameFilters);
    dialog.setDefaultSuffix(request.defaultSuffix);
    dialog.setDirectory(request.initialFolder);
    dialog.selectFile(request.proposedName);
    if (!run(dialog) || dialog.selectedFiles().isEmpty())
        return kCancelled;
    return QDir::toNativeSeparators(dialog.selectedFiles().constFirst());
}

Cancellable<QString> QtPlatformServices::browseFolder(QWidget *parent, const QString &title, const QString &startFolder)
{
    QFileDialog dialog(parent, title, startFolder);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    prepare(dialog);
    if (!run(dialog) || dialog.selectedFiles().isEmpty())
        return kCancelled;
    return QDir::toNativeSeparators(dialog.selectedFiles().constFirst());
}

Qt::KeyboardModifiers QtPlatformServices::keyboardModifiers() const
{
    return QGuiApplication::queryKeyboardModifiers();
}

void QtPlatformServices::beep() { desktop::beep(); }

bool QtPlatformServices::isExistingFile(const QString &nativePath) const { return QFileInfo(nativePath).isFile(); }

bool QtPlatformServices::isExistingFolder(const QString &nativePath) const { return QFileInfo(nativePath).isDir(); }

QString QtPlatformServices::executablePath() const
{
    return QDir::toNativeSeparators(QCoreApplication::applicationFilePath());
}

bool QtPlatformServices::canCreateFileIn(const QString &nativeFolder) const { return ::canCreateFileIn(nativeFolder); }

QString QtPlatformServices::documentsFolder() const
{
    // A new account or a server may have no documents folder: a dialog
    // handed one would open in the working folder instead.
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString folder = QFileInfo(documents).isDir() ? documents : QDir::homePath();
    return QDir::toNativeSeparators(folder);
}

QString QtPlatformServices::userSettingsFolder() const { return SettingsFile::userFolder(); }

jobpath::Style QtPlatformServices::pathStyle() const { return jobpath::hostStyle(); }

void QtPlatformServices::showErrorBox(QWidget *parent, const QString &caption, const QString &message)
{
    QMessageBox box(QMessageBox::Critical, caption, message, QMessageBox::Ok, parent);
    // The window's faces, not the toolkit's: a path reads as in the window.
    if (parent)
        box.setFont(parent->window()->font());
    box.exec();
}

void QtPlatformServices::removeSizeCommand(QWidget *window) { desktop::removeSizeCommand(window); }

Cancellable<drawing::Findings> QtPlatformServices::readSources(const ConversionJob &job,
                                                               drawing::ReadProgress &progress)
{
    return drawing::readSources(job, pathStyle(), &progress);
}
