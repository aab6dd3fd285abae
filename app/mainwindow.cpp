#include "mainwindow.h"

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
#include "ui/focusstyle.h"
#include "ui/fonts.h"
#include "ui/handlerguard.h"
#include "ui/leavewatcher.h"

#include <QAction>
#include <QActionGroup>
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

MainWindow::MainWindow(PlatformServices &services, QWidget *parent)
    : QMainWindow(parent,
                  Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                      | Qt::WindowCloseButtonHint)
    , m_services(services)
    , m_client(new QWidget(this))
    , m_settings(services.executablePath(), services.userSettingsFolder())
{
    setObjectName(QStringLiteral("Form1"));
    FocusStyle::install();
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
    connectMenu();
    EnterPressesButton::install(this);
    setFixedSize(kClientWidth, kClientHeight + menuBar()->sizeHint().height());
    new ScreenCentring(this);
    restoreState();
}

// The client area below the menu bar, with the line along its top.
void MainWindow::buildClient()
{
    m_client->setObjectName(QStringLiteral("Client"));
    m_client->setFixedSize(kClientWidth, kClientHeight);
    setCentralWidget(m_client);
    auto *bevel = controls::place<QFrame>(m_client, "Bevel1", QRect(0, 0, kClientWidth, 5));
    bevel->setFrameShape(QFrame::HLine);
    bevel->setFrameShadow(QFrame::Sunken);
    bevel->setContentsMargins(0, 0, 0, 3); // the line runs along the top edge
}

// The parts of the window, each building and handling its own controls.
void MainWindow::buildParts()
{
    // Watches the focus before the parts that listen to it are made.
    m_leaving = std::make_unique<LeaveWatcher>(this, m_client);
    const HandlerGuard guard([this](const std::function<void()> &handler) { guarded(handler); });
    m_options = new ConversionOptions(m_client, *m_leaving, guard);
    m_sources = new SourceList(m_services, m_client, guard);
    m_destinationField = new FolderField(m_services, m_client, *m_leaving,
                                         {"Label1", JobFieldNames::destinationFolder(), "Button2", "Edit1",
                                          QStringLiteral(u"変換先ﾌｫﾙﾀﾞを指定してください。"), 66, 311},
                                         guard);
    m_autocadField = new FolderField(m_services, m_client, *m_leaving,
                                     {"Label2", JobFieldNames::autocadFolder(), "Button3", "Edit2",
                                      QStringLiteral(u"AutoCadｲﾝｽﾄｰﾙﾌｫﾙﾀﾞを指定してください。"), 74, 352},
                                     guard);
    m_save = new SaveAction(
        m_services, m_client, [this] { return currentJob(); }, guard);
    // A refused source line is shown selected.
    connect(m_save, &SaveAction::lineRefused, m_sources, &SourceList::selectAndFocus);
    // What a folder brought that the user should know goes to the status line.
    connect(m_sources, &SourceList::notice, m_save, &SaveAction::say);
    connect(m_sources, &SourceList::noticeWithdrawn, m_save, &SaveAction::unsay);
    m_helpMenu = new HelpMenu(this);
}

// The parts stop listening before the controls go.
MainWindow::~MainWindow() { m_leaving.reset(); }

void MainWindow::setHelpWindows(HowToUseWindow *howToUse, AboutWindow *about)
{
    m_helpMenu->setWindows(howToUse, about);
}

QAction *MainWindow::menuItem(QMenu *menu, const char *name, const QString &caption)
{
    QAction *action = menu->addAction(caption);
    action->setObjectName(QLatin1String(name));
    // Found by name from the window as well as from its menu.
    action->setParent(this);
    return action;
}

void MainWindow::buildMenu()
{
    QMenuBar *bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));
    QMenu *file = bar->addMenu(QStringLiteral(u"ﾌｧｲﾙ(&F)"));
    file->setObjectName(QStringLiteral("File1"));
    m_addFolderAction = menuItem(file, "AddFolder1", QStringLiteral(u"フォルダから追加(&A)..."));
    m_exitAction = menuItem(file, "Exit1", QStringLiteral(u"終了(&X)"));
    QMenu *settingsMenu = bar->addMenu(QStringLiteral(u"設定"));
    settingsMenu->setObjectName(QStringLiteral("SET1"));
    m_defaultParametersAction = menuItem(settingsMenu, "DP1", QStringLiteral(u"ﾃﾞｨﾌｫﾙﾄﾊﾟﾗﾒｰﾀﾌｧｲﾙ"));
    // The options of the run, off at every start: only the four remembered
    // values outlive a run.
    m_reportAction = menuItem(settingsMenu, "Report1", QStringLiteral(u"実行結果を記録する"));
    m_skipExistingAction = menuItem(settingsMenu, "SkipExisting1", QStringLiteral(u"既にある図面は飛ばす"));
    m_checkExitStatusAction = menuItem(settingsMenu, "CheckExitStatus1", QStringLiteral(u"終了ステータスを確かめる"));
    for (QAction *option : {m_reportAction, m_skipExistingAction, m_checkExitStatusAction})
        option->setCheckable(true);
    // How many converters the batch file runs at once, 1 at every start.
    // More than one reports the run: the report's item shows it, checked
    // and greyed, until the number is 1 again.
    QMenu *jobs = settingsMenu->addMenu(QStringLiteral(u"同時に変換する数"));
    jobs->setObjectName(QStringLiteral("Jobs1"));
    m_jobsGroup = new QActionGroup(this);
    for (const int n : {1, 2, 4, 8}) {
        QAction *item = menuItem(jobs, QStringLiteral("Jobs%1").arg(n).toLatin1().constData(), QString::number(n));
        item->setCheckable(true);
        item->setData(n);
        item->setChecked(n == 1);
        m_jobsGroup->addAction(item);
    }
    connect(m_jobsGroup, &QActionGroup::triggered, this, [this](QAction *item) {
        const bool several = item->data().toInt() > 1;
        if (several == !m_reportAction->isEnabled())
            return;
        if (several) {
            m_reportChosen = m_reportAction->isChecked();
            m_reportAction->setChecked(true);
        } else {
            m_reportAction->setChecked(m_reportChosen);
        }
        m_reportAction->setEnabled(!several);
    });
    // The exit status is checked only by a run that makes its drawings
    // under temporary names.
    const auto offerCheck = [this] { m_checkExitStatusAction->setEnabled(canCheckExitStatus(runOptions())); };
    connect(m_reportAction, &QAction::toggled, this, offerCheck);
    connect(m_skipExistingAction, &QAction::toggled, this, offerCheck);
    offerCheck();
    QMenu *help = bar->addMenu(QStringLiteral(u"ﾍﾙﾌﾟ(&H)"));
    help->setObjectName(QStringLiteral("Help1"));
    m_howToUseAction = menuItem(help, "HowtoUseHelp1", QStringLiteral(u"説明(&H)"));
    m_aboutAction = menuItem(help, "About1", QStringLiteral(u"ﾊﾞｰｼﾞｮﾝ情報(&A)..."));
    // The bar takes the platform's menu face, and a menu, a window of its
    // own, no face from this one: its digits were drawn in the toolkit's
    // default face beside the Japanese ones.
    bar->setFont(font());
    for (QMenu *menu : bar->findChildren<QMenu *>())
        menu->setFont(font());
}

void MainWindow::orderTabs()
{
    // Top to bottom, left to right; the count field takes no focus.
    const QList<QWidget *> order = m_options->tabStops() + m_sources->chooserTabStops() + m_destinationField->tabStops()
        + m_autocadField->tabStops() + m_sources->removalTabStops() + m_save->tabStops();
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order.at(i - 1), order.at(i));
}

// The menu's items, each run through the guard.
void MainWindow::connectMenu()
{
    const HandlerGuard guard([this](const std::function<void()> &handler) { guarded(handler); });
    guard.connect(m_exitAction, &QAction::triggered, this, [this] { close(); });
    guard.connect(m_addFolderAction, &QAction::triggered, this, [this] { m_sources->chooseFolder(); });
    guard.connect(m_defaultParametersAction, &QAction::triggered, this, [this] { m_options->defaultParameters(); });
    guard.connect(m_howToUseAction, &QAction::triggered, this, [this] { m_helpMenu->showHowToUse(); });
    guard.connect(m_aboutAction, &QAction::triggered, this, [this] { m_helpMenu->showAbout(); });
}

void MainWindow::guarded(const std::function<void()> &handler)
{
    runGuarded(m_services, this, handler);
    // A handler may have given the focus to another control while the
    // window was inactive; that leaves the control that had it.
    if (m_leaving)
        m_leaving->sync();
}

// What the window holds at its start: the settings file's values, an empty
// status line, and the list the one control that takes a drop.
void MainWindow::restoreState()
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

void MainWindow::closeEvent(QCloseEvent *event)
{
    // A close is never refused; it stores the settings.
    guarded([this] { storeSettings(!m_quietClose); });
    event->accept();
    m_helpMenu->hideAll();
}

settings::StoredSettings MainWindow::fieldSettings() const
{
    return {m_options->r13ToR12Parameter(), m_options->r12ToGx3Parameter(), m_destinationField->text(),
            m_autocadField->text()};
}

void MainWindow::setFieldSettings(const settings::StoredSettings &values)
{
    m_options->setParameters(values.r13ToR12Parameter, values.r12ToGx3Parameter);
    m_destinationField->setText(values.destinationFolder);
    m_autocadField->setText(values.autocadFolder);
}

void MainWindow::storeSettings(bool tell)
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

void MainWindow::closeWithoutAsking()
{
    m_quietClose = true;
    close();
}

// The options of the run the settings menu holds.
ConversionJob MainWindow::runOptions() const
{
    ConversionJob options;
    options.report = m_reportAction->isChecked();
    options.jobs = m_jobsGroup->checkedAction()->data().toInt();
    options.skipExisting = m_skipExistingAction->isChecked();
    options.checkExitStatus = m_checkExitStatusAction->isChecked() && canCheckExitStatus(options);
    return options;
}

ConversionJob MainWindow::currentJob() const
{
    ConversionJob job;
    job.kind = m_options->kind();
    job.precision = m_options->precision();
    job.outputFormat = m_options->outputFormat();
    job.r13ToR12Parameter = m_options->r13ToR12Parameter();
    job.r12ToGx3Parameter = m_options->r12ToGx3Parameter();
    job.sources = m_sources->sources();
    job.treeRoot = m_sources->treeRoot();
    job.destinationFolder = m_destinationField->text();
    job.autocadFolder = m_autocadField->text();
    const ConversionJob options = runOptions();
    job.report = options.report;
    job.skipExisting = options.skipExisting;
    job.checkExitStatus = options.checkExitStatus;
    job.jobs = options.jobs;
    return job;
}
