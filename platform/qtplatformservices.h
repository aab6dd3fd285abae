#pragma once

#include "platformservices.h"

class QFileDialog;

// Qt's own file dialog takes a filter "(*.*)" as names with a dot in them;
// to a user, and on Windows, it means every file. Makes such a filter of
// `dialog` show every file, whenever it is chosen.
void showEveryFileForStarDotStar(QFileDialog &dialog);

// The services as Qt provides them on the desktop the program runs on.
class QtPlatformServices : public PlatformServices
{
public:
    Cancellable<OpenFilesResult> openFiles(QWidget *parent, const OpenFilesRequest &request) override;
    Cancellable<QString> saveFile(QWidget *parent, const SaveFileRequest &request) override;
    Cancellable<QString> browseFolder(QWidget *parent, const QString &title, const QString &startFolder) override;
    Qt::KeyboardModifiers keyboardModifiers() const override;
    void beep() override;
    Cancellable<drawing::Findings> readSources(const ConversionJob &job, drawing::ReadProgress &progress) override;
    bool isExistingFile(const QString &nativePath) const override;
    bool isExistingFolder(const QString &nativePath) const override;
    QString executablePath() const override;
    bool canCreateFileIn(const QString &nativeFolder) const override;
    QString documentsFolder() const override;
    QString userSettingsFolder() const override;
    jobpath::Style pathStyle() const override;
    void showErrorBox(QWidget *parent, const QString &caption, const QString &message) override;
    void removeSizeCommand(QWidget *window) override;
};
