#pragma once

#include "core/job/conversionjob.h"
#include "core/settings/settingsfile.h"

#include <QMainWindow>

#include <functional>
#include <memory>

class ConversionOptions;
class FolderField;
class HelpMenu;
class LeaveWatcher;
class PlatformServices;
class QAction;
class SaveAction;
class SourceList;
class TForm4;
class TForm5;

// The main window. It builds the window from its parts (the conversion
// options, the source list, the two folder fields, the save action and the
// help menu). Each part reports the events of its own controls, and each
// event arrives at one of the window's handler slots, which hands it back to
// the part that owns it.
class TForm1 : public QMainWindow
{
    Q_OBJECT

public:
    explicit TForm1(PlatformServices &services, QWidget *parent = nullptr);
    ~TForm1() override;

    // The help and About windows the Help menu shows; set by start-up.
    void setAuxiliaryWindows(TForm4 *help, TForm5 *about);

    // The job as the controls hold it now.
    ConversionJob currentJob() const;

    // Writes the settings file, as every close does. A value the user
    // changed that cannot be kept is named: in a message with `tell`, on
    // standard error without.
    void storeSettings(bool tell = true);
    // Closes the window for a request from outside (a logout, a kill): the
    // settings are stored as at any close, without asking anything.
    void closeWithoutAsking();

    // Runs `handler`; an exception that escapes it is shown in the error box.
    void guarded(const std::function<void()> &handler);

public slots:
    // Window
    void FormCreate();
    void Exit1Click(QObject *Sender);
    void FormCloseQuery(QObject *Sender, bool &CanClose);
    // Save action
    void Button6Click(QObject *Sender);
    // Source list
    void Button1Click(QObject *Sender);
    void WMDropFiles(const QStringList &nativeNames);
    void Button4Click(QObject *Sender);
    void ListBox1DblClick(QObject *Sender);
    void Button5Click(QObject *Sender);
    // Folder fields
    void Edit1Exit(QObject *Sender);
    void Edit2Exit(QObject *Sender);
    void Button2Click(QObject *Sender);
    void Button3Click(QObject *Sender);
    // Conversion options
    void ComboBox1Exit(QObject *Sender);
    void ComboBox2Enter(QObject *Sender);
    void ComboBox2Click(QObject *Sender);
    void ComboBox2Exit(QObject *Sender);
    void DP1Click(QObject *Sender);
    // Help menu
    void HowtoUseHelp1Click(QObject *Sender);
    void About1Click(QObject *Sender);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    QAction *menuItem(QMenu *menu, const char *name, const QString &caption);
    void buildMenu();
    void buildClient();
    void buildParts();
    void orderTabs();
    void connectHandlers();
    ConversionJob runOptions() const;
    settings::StoredSettings fieldSettings() const;
    void setFieldSettings(const settings::StoredSettings &values);

    PlatformServices &m_services;
    QWidget *m_client;
    ConversionOptions *m_options;
    SourceList *m_sources;
    FolderField *m_destination;
    FolderField *m_autocad;
    SaveAction *m_save;
    HelpMenu *m_helpMenu;
    QAction *AddFolder1 = nullptr; // the drawings below a folder, as a tree
    QAction *Exit1 = nullptr;
    QAction *DP1 = nullptr;
    QAction *Report1 = nullptr; // the batch file reports its run
    QAction *SkipExisting1 = nullptr; // the batch file skips the drawings already there
    QAction *CheckExitStatus1 = nullptr; // any status but 0 fails a drawing
    QAction *HowtoUseHelp1 = nullptr;
    QAction *About1 = nullptr;
    SettingsFile m_settings;
    std::unique_ptr<LeaveWatcher> m_leaving;
    bool m_quietClose = false;
};
