#include "tform1.h"

#include "app/errorguard.h"
#include "app/screencentring.h"
#include "app/settingsnotice.h"
#include "helpwindows/helpmenu.h"
#include "inputs/conversionoptions.h"
#include "inputs/folderfield.h"
#include "inputs/sourcelist.h"
#include "platform/platformservices.h"
#include "savebar/saveaction.h"
#include "ui/appicon.h"
#include "ui/captionfit.h"
#include "ui/controls.h"
#include "ui/enterpressesbutton.h"
#include "ui/fonts.h"
#include "ui/leavewatcher.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QToolTip>

namespace {
// The client area below the menu bar.
constexpr int kClientWidth = 553;
constexpr int kClientHeight = 434;

} // namespace

TForm1::TForm1(PlatformServices &services, QWidget *parent)
    : QMainWindow(parent,
                  Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                      | Qt::WindowCloseButtonHint)
    , m_services(services)
    , m_client(new QWidget(this))
    , m_settings(services.executablePath(), services.userSettingsFolder())
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Tessiva ( for DXF to DXF Data Convert )"));
    setWindowIcon(applicationIcon());
    setFont(fonts::proportional(12));
    // The tooltips (the status line's whole text), the toolkit's dialogs and
    // its questions (the save dialog's "replace?") in the window's face:
    // windows take no font from the window they belong to.
    QToolTip::setFont(font());
    for (const char *kind : {"QFileDialog", "QMessageBox"})
        QApplication::setFont(font(), kind);
    buildMenu();
    buildClient();
    buildParts();
    captionfit::condenseToFit(m_client);
    orderTabs();
    connectHandlers();
    EnterPressesButton::install(this);
    setFixedSize(kClientWidth, kClientHeight + menuBar()->sizeHint().height());
    new ScreenCentring(this);
    FormCreate();
}

// The client area below the menu bar, with the line along its top.
void TForm1::buildClient()
{
    m_client->setObjectName(QStringLiteral("Client"));
    m_client->setFixedSize(kClientWidth, kClientHeight);
    setCentralWidget(m_client);
    auto *bevel = controls::place<QFrame>(m_client, "Bevel1", QRect(0, 0, kClientWidth, 5));
    bevel->setFrameShape(QFrame::HLine);
    bevel->setFrameShadow(QFrame::Sunken);
    bevel->setContentsMargins(0, 0, 0, 3); // the line runs along the top edge
}

// The parts of the window, each building its own controls.
void TForm1::buildParts()
{
    // Watches the focus before the parts that listen to it are made.
    m_leaving = std::make_unique<LeaveWatcher>(this, m_client);
    m_options = new ConversionOptions(m_client, *m_leaving);
    m_sources = new SourceList(m_services, m_client);
    m_destination = new FolderField(m_services, m_client, *m_leaving,
                                    {"Label1", JobFieldNames::destinationFolder(), "Button2", "Edit1",
                                     QStringLiteral(u"変換先ﾌｫﾙﾀﾞを指定してください。"), 66, 311});
    m_autocad = new FolderField(m_services, m_client, *m_leaving,
                                {"Label2", JobFieldNames::autocadFolder(), "Button3", "Edit2",
                                 QStringLiteral(u"AutoCadｲﾝｽﾄｰﾙﾌｫﾙﾀﾞを指定してください。"), 74, 352});
    m_save = new SaveAction(m_services, m_client, *m_sources);
    m_helpMenu = new HelpMenu(this);
}

// The parts stop listening before the controls go.
TForm1::~TForm1() { m_leaving.reset(); }

void TForm1::setAuxiliaryWindows(TForm4 *help, TForm5 *about) { m_helpMenu->setWindows(help, about); }

QAction *TForm1::menuItem(QMenu *menu, const char *name, const QString &caption)
{
    QAction *action = menu->addAction(caption);
    action->setObjectName(QLatin1String(name));
    // Found by name from the window as well as from its menu.
    action->setParent(this);
    return action;
}

void TForm1::buildMenu()
{
    QMenuBar *bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));
    QMenu *file = bar->addMenu(QStringLiteral(u"ﾌｧｲﾙ(&F)"));
    file->setObjectName(QStringLiteral("File1"));
    AddFolder1 = menuItem(file, "AddFolder1", QStringLiteral(u"フォルダから追加..."));
    Exit1 = menuItem(file, "Exit1", QStringLiteral(u"終了(&X)"));
    QMenu *settingsMenu = bar->addMenu(QStringLiteral(u"設定"));
    settingsMenu->setObjectName(QStringLiteral("SET1"));
    DP1 = menuItem(settingsMenu, "DP1", QStringLiteral(u"ﾃﾞｨﾌｫﾙﾄﾊﾟﾗﾒｰﾀﾌｧｲﾙ"));
    // The options of the run, off at every start: only the four remembered
    // values outlive a run.
    Report1 = menuItem(settingsMenu, "Report1", QStringLiteral(u"実行結果を記録する"));
    SkipExisting1 = menuItem(settingsMenu, "SkipExisting1", QStringLiteral(u"既にある図面は飛ばす"));
    CheckExitStatus1 = menuItem(settingsMenu, "CheckExitStatus1", QStringLiteral(u"終了ステータスを確かめる"));
    for (QAction *option : {Report1, SkipExisting1, CheckExitStatus1})
        option->setCheckable(true);
    // The exit status is checked only by a run that makes its drawings
    // under temporary names.
    const auto offerCheck = [this] { CheckExitStatus1->setEnabled(canCheckExitStatus(runOptions())); };
    connect(Report1, &QAction::toggled, this, offerCheck);
    connect(SkipExisting1, &QAction::toggled, this, offerCheck);
    offerCheck();
    QMenu *help = bar->addMenu(QStringLiteral(u"ﾍﾙﾌﾟ(&H)"));
    help->setObjectName(QStringLiteral("Help1"));
    HowtoUseHelp1 = menuItem(help, "HowtoUseHelp1", QStringLiteral(u"説明(&H)"));
    About1 = menuItem(help, "About1", QStringLiteral(u"ﾊﾞｰｼﾞｮﾝ情報(&A)..."));
}

void TForm1::orderTabs()
{
    // Top to bottom, left to right; the count field takes no focus.
    const QList<QWidget *> order = m_options->tabStops() + m_sources->chooserTabStops() + m_destination->tabStops()
        + m_autocad->tabStops() + m_sources->removalTabStops() + m_save->tabStops();
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order.at(i - 1), order.at(i));
}

// Each part reports what happens to its own controls; the window answers
// with the handler of that event.
void TForm1::connectHandlers()
{
    connect(Exit1, &QAction::triggered, this, [this] { Exit1Click(Exit1); });
    connect(AddFolder1, &QAction::triggered, this, [this] { guarded([this] { m_sources->chooseFolder(); }); });
    connect(DP1, &QAction::triggered, this, [this] { DP1Click(DP1); });
    connect(HowtoUseHelp1, &QAction::triggered, this, [this] { HowtoUseHelp1Click(HowtoUseHelp1); });
    connect(About1, &QAction::triggered, this, [this] { About1Click(About1); });

    connect(m_save, &SaveAction::saveClicked, this, &TForm1::Button6Click);
    connect(m_sources, &SourceList::chooseClicked, this, &TForm1::Button1Click);
    connect(m_sources, &SourceList::filesDropped, this, &TForm1::WMDropFiles);
    connect(m_sources, &SourceList::deleteClicked, this, &TForm1::Button4Click);
    connect(m_sources, &SourceList::doubleClicked, this, &TForm1::ListBox1DblClick);
    connect(m_sources, &SourceList::deleteAllClicked, this, &TForm1::Button5Click);
    connect(m_destination, &FolderField::left, this, &TForm1::Edit1Exit);
    connect(m_autocad, &FolderField::left, this, &TForm1::Edit2Exit);
    connect(m_destination, &FolderField::browseClicked, this, &TForm1::Button2Click);
    connect(m_autocad, &FolderField::browseClicked, this, &TForm1::Button3Click);
    connect(m_options, &ConversionOptions::precisionLeft, this, &TForm1::ComboBox1Exit);
    connect(m_options, &ConversionOptions::formatEntered, this, &TForm1::ComboBox2Enter);
    connect(m_options, &ConversionOptions::formatChosen, this, &TForm1::ComboBox2Click);
    connect(m_options, &ConversionOptions::formatLeft, this, &TForm1::ComboBox2Exit);
}

void TForm1::guarded(const std::function<void()> &handler)
{
    runGuarded(m_services, this, handler);
    // A handler may have given the focus to another control while the
    // window was inactive; that leaves the control that had it.
    if (m_leaving)
        m_leaving->sync();
}

void TForm1::FormCreate()
{
    m_services.removeSizeCommand(this);
    // Only the source list takes dropped files; every other control of the
    // window refuses them (a line edit would otherwise take a path as text).
    const QWidget *list = m_sources->dropTarget();
    setAcceptDrops(false);
    for (QWidget *w : findChildren<QWidget *>()) {
        if (w != list && w->parentWidget() != list)
            w->setAcceptDrops(false);
    }
    m_save->clearStatus();
    setFieldSettings(m_settings.load(fieldSettings()));
    m_settings.setShown(fieldSettings());
    m_save->forgetLastBatchFolder();
}

void TForm1::closeEvent(QCloseEvent *event)
{
    // A close is never refused: the query stores the settings.
    bool CanClose = true;
    FormCloseQuery(this, CanClose);
    event->accept();
    m_helpMenu->hideAll();
}

settings::StoredSettings TForm1::fieldSettings() const
{
    return {m_options->r13ToR12Parameter(), m_options->r12ToGx3Parameter(), m_destination->text(), m_autocad->text()};
}

void TForm1::setFieldSettings(const settings::StoredSettings &values)
{
    m_options->setParameters(values.r13ToR12Parameter, values.r12ToGx3Parameter);
    m_destination->setText(values.destinationFolder);
    m_autocad->setText(values.autocadFolder);
}

void TForm1::storeSettings(bool tell)
{
    // The window closes all the same; the user is told only of a value they
    // changed that will not come back.
    const settings::StoredSettings values = fieldSettings();
    const QString lost = settingsNotKeptText(m_settings.save(values), values);
    if (lost.isEmpty())
        return;
    // Nobody is there to answer a box at a close from outside (a logout):
    // the words go to standard error, which the session keeps.
    if (tell)
        m_services.showErrorBox(this, applicationTitle(), lost);
    else
        qWarning().noquote() << lost;
}

void TForm1::closeWithoutAsking()
{
    m_quietClose = true;
    close();
}

// The options of the run the settings menu holds.
ConversionJob TForm1::runOptions() const
{
    ConversionJob options;
    options.report = Report1->isChecked();
    options.skipExisting = SkipExisting1->isChecked();
    options.checkExitStatus = CheckExitStatus1->isChecked() && canCheckExitStatus(options);
    return options;
}

ConversionJob TForm1::currentJob() const
{
    ConversionJob job;
    job.kind = m_options->kind();
    job.precision = m_options->precision();
    job.outputFormat = m_options->outputFormat();
    job.r13ToR12Parameter = m_options->r13ToR12Parameter();
    job.r12ToGx3Parameter = m_options->r12ToGx3Parameter();
    job.sources = m_sources->sources();
    job.treeRoot = m_sources->treeRoot();
    job.destinationFolder = m_destination->text();
    job.autocadFolder = m_autocad->text();
    const ConversionJob options = runOptions();
    job.report = options.report;
    job.skipExisting = options.skipExisting;
    job.checkExitStatus = options.checkExitStatus;
    return job;
}

// The handlers, each handing the event to the part that owns it; an
// exception that escapes one is shown in the error box.
// clang-format off: one line a handler
void TForm1::Exit1Click(QObject *)
{
    guarded([this] { close(); });
}
void TForm1::FormCloseQuery(QObject *, bool &)
{
    guarded([this] { storeSettings(!m_quietClose); });
}
void TForm1::Button6Click(QObject *)
{
    guarded([this] { m_save->save(currentJob()); });
}
void TForm1::Button1Click(QObject *)
{
    guarded([this] { m_sources->chooseFiles(); });
}
void TForm1::WMDropFiles(const QStringList &nativeNames)
{
    guarded([&] { m_sources->dropFiles(nativeNames); });
}
void TForm1::Button4Click(QObject *)
{
    guarded([this] { m_sources->deleteSelected(); });
}
void TForm1::ListBox1DblClick(QObject *Sender) { Button4Click(Sender); }
void TForm1::Button5Click(QObject *)
{
    guarded([this] { m_sources->deleteAll(); });
}
void TForm1::Edit1Exit(QObject *)
{
    guarded([this] { m_destination->leave(); });
}
void TForm1::Edit2Exit(QObject *)
{
    guarded([this] { m_autocad->leave(); });
}
void TForm1::Button2Click(QObject *)
{
    guarded([this] { m_destination->browse(); });
}
void TForm1::Button3Click(QObject *)
{
    guarded([this] { m_autocad->browse(); });
}
void TForm1::ComboBox1Exit(QObject *)
{
    guarded([this] { m_options->checkPrecision(); });
}
void TForm1::ComboBox2Enter(QObject *)
{
    guarded([this] { m_options->rememberFormat(); });
}
void TForm1::ComboBox2Click(QObject *)
{
    guarded([this] { m_options->applyFormatChoice(); });
}
void TForm1::ComboBox2Exit(QObject *)
{
    guarded([this] { m_options->restoreFormat(); });
}
void TForm1::DP1Click(QObject *)
{
    guarded([this] { m_options->defaultParameters(); });
}
void TForm1::HowtoUseHelp1Click(QObject *)
{
    guarded([this] { m_helpMenu->showHowToUse(); });
}
void TForm1::About1Click(QObject *)
{
    guarded([this] { m_helpMenu->showAbout(); });
}
// clang-format on
