#pragma once

#include "platformservices.h"

#include "core/textrules.h"

// The services as Qt provides them on the desktop the program runs on.
class QtPlatformServices : public PlatformServices
{
public:
    QtPlatformServices();

    std::optional<OpenFilesResult> openFiles(QWidget *parent, const OpenFilesRequest &request) override;
    std::optional<QString> saveFile(QWidget *parent, const SaveFileRequest &request) override;
    std::optional<QString> browseFolder(QWidget *parent, const QString &title,
                                        const QString &startFolder) override;
    Qt::KeyboardModifiers keyboardModifiers() const override;
    void beep() override;
    bool isExistingFile(const QString &nativePath) const override;
    QString executablePath() const override;
    QString userSettingsFolder() const override;
    QString toJobPath(const QString &nativePath) const override;
    QString toNativePath(const QString &jobPath) const override;
    QString typedFolderToJob(const QString &text) const override;
    void showErrorBox(QWidget *parent, const QString &caption, const QString &message) override;
    void removeSizeCommand(QWidget *window) override;

    static textrules::PathStyle hostPathStyle();

private:
    textrules::PathStyle m_style;
};
