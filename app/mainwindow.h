#pragma once

#include "core/job/conversionjob.h"
#include "core/settings/settingsfile.h"

#include <QMainWindow>

#include <functional>
#include <memory>

class AboutWindow;
class ConversionOptions;
class FolderField;
class HelpMenu;
class HowToUseWindow;
class LeaveWatcher;
class PlatformServices;
class QAction;
class QActionGroup;
class SaveAction;
class SourceList;

// The main window. It builds the window from its parts (the conversion
// options, the source list, the two folder fields, the save action and the
// help menu) and wires them. Each part handles its own controls, through
// the window's guard; the window handles its menu and its close.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(PlatformServices &services, QWidget *parent = nullptr);
    ~MainWindow() override;

    // The help and About windows the Help menu shows; set by start-up.
    void setHelpWindows(HowToUseWindow *howToUse, AboutWindow *about);

    // The job as the controls hold it now.
    ConversionJob currentJob() const;

    // Writes the settings file, as every close does. A value the user
    // changed that cannot be kept is named: in a message with `tell`, on
    // standard error without.
    void storeSettings(bool tell = true);
    // Closes the window for a request from outside (a logout, a kill): the
    // settings are stored as at any close, without asking anything.
    void closeWithoutAsking();

    // Runs `handler` as every handler of the window runs: an exception that
    // escapes it is shown in the error box.
    void guarded(const std::function<void()> &handler);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    QAction *menuItem(QMenu *menu, const char *name, const QString &caption);
    void buildMenu();
    void buildClient();
    void buildParts();
    void orderTabs();
    void connectMenu();
    void restoreState();
    ConversionJob runOptions() const;
    settings::StoredSettings fieldSettings() const;
    void setFieldSettings(const settings::StoredSettings &values);

    PlatformServices &m_services;
    QWidget *m_client;
    ConversionOptions *m_options = nullptr;
    SourceList *m_sources = nullptr;
    FolderField *m_destinationField = nullptr;
    FolderField *m_autocadField = nullptr;
    SaveAction *m_save = nullptr;
    HelpMenu *m_helpMenu = nullptr;
    QAction *m_addFolderAction = nullptr; // the drawings below a folder, as a tree
    QAction *m_exitAction = nullptr;
    QAction *m_defaultParametersAction = nullptr;
    QAction *m_reportAction = nullptr; // the batch file reports its run
    QAction *m_skipExistingAction = nullptr; // the batch file skips the drawings already there
    QAction *m_checkExitStatusAction = nullptr; // any status but 0 fails a drawing
    QActionGroup *m_jobsGroup = nullptr; // how many converters run at once: 1, 2, 4 or 8
    bool m_reportChosen = false; // the report's item as the user left it, while more than one job implies it
    QAction *m_howToUseAction = nullptr;
    QAction *m_aboutAction = nullptr;
    SettingsFile m_settings;
    std::unique_ptr<LeaveWatcher> m_leaving;
    bool m_quietClose = false;
};
