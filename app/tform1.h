#pragma once

#include "core/conversionjob.h"
#include "core/settingscodec.h"

#include <QMainWindow>
#include <QString>

#include <functional>

class PlatformServices;
class QAction;
class QButtonGroup;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QStringListModel;
class SourceListView;
class TForm4;
class TForm5;

// The open dialog's state that lasts as long as the window: the filter the
// user chose last.
struct OpenDialogState
{
    QString filter;
};

// The main window. It holds every input of a batch job; the other windows
// and the save action read and write its controls.
class TForm1 : public QMainWindow
{
    Q_OBJECT

public:
    explicit TForm1(PlatformServices &services, QWidget *parent = nullptr);
    ~TForm1() override;

    // The help and About windows the Help menu shows; set by start-up.
    void setAuxiliaryWindows(TForm4 *help, TForm5 *about);

    // Controls, in the order of the window's description.
    QLineEdit *Edit1 = nullptr;
    QLineEdit *Edit2 = nullptr;
    QLineEdit *Edit4 = nullptr;
    QComboBox *ComboBox1 = nullptr;
    SourceListView *ListBox1 = nullptr;
    QGroupBox *RadioGroup1 = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *Label3 = nullptr;
    QLabel *Label4 = nullptr;
    QLabel *Label5 = nullptr;
    QLabel *Label6 = nullptr;
    QMenu *File1 = nullptr;
    QAction *Exit1 = nullptr;
    QMenu *Help1 = nullptr;
    QAction *HowtoUseHelp1 = nullptr;
    QAction *About1 = nullptr;
    OpenDialogState OpenDialog1;
    QLineEdit *Edit5 = nullptr;
    QLineEdit *Edit6 = nullptr;
    QLabel *Label8 = nullptr;
    QComboBox *ComboBox2 = nullptr;
    QLabel *Label9 = nullptr;
    QAction *DP1 = nullptr;
    QMenu *SET1 = nullptr;
    QFrame *Bevel1 = nullptr;
    QPushButton *Button1 = nullptr;
    QPushButton *Button2 = nullptr;
    QPushButton *Button3 = nullptr;
    QPushButton *Button4 = nullptr;
    QPushButton *Button5 = nullptr;
    QPushButton *Button6 = nullptr;
    QLabel *Label10 = nullptr;

    int FileCount = 0;       // number of lines of ListBox1
    QString SavedFormatText; // ComboBox2's text when it last took the focus
    QString LastBatchFolder; // where the save dialog opens next

    // The job as the controls hold it now.
    ConversionJob currentJob() const;
    // The lines of the source list.
    QStringList sourceLines() const;
    // The index of the selected source line, or -1.
    int sourceItemIndex() const;
    int kindIndex() const;

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
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void buildControls();
    void buildMenu();
    void connectHandlers();
    void LoadSettings();
    void SaveSettings();
    void replaceSources(const QStringList &jobPaths);
    void appendSources(const QStringList &jobPaths);
    void refreshCount(bool selectLast);
    void selectSourceLine(int row);
    void browseFolderFor(QLineEdit *field, const QString &title);
    void leaveFolderField(QLineEdit *field);
    bool addModifierHeld() const;

    PlatformServices &m_services;
    QStringListModel *m_sourceModel = nullptr;
    QButtonGroup *m_kindButtons = nullptr;
    TForm4 *m_help = nullptr;
    TForm5 *m_about = nullptr;
    settings::RawLines m_loadedSettings;
    bool m_placed = false;
    bool m_committingFormatText = false;
};
