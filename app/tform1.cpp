#include "tform1.h"

#include "app/fonts.h"
#include "app/errorguard.h"
#include "windows/appicon.h"
#include "windows/tform4.h"
#include "windows/tform5.h"
#include "core/textrules.h"
#include "inputs/sourcelistview.h"
#include "platform/platformservices.h"

#include <QAction>
#include <QButtonGroup>
#include <QCoreApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QScopedValueRollback>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStringListModel>
#include <QVBoxLayout>

namespace {
// The client area below the menu bar.
constexpr int kClientWidth = 553;
constexpr int kClientHeight = 434;

template <class W>
W *place(QWidget *parent, const char *name, int left, int top, int width, int height)
{
    auto *w = new W(parent);
    w->setObjectName(QLatin1String(name));
    w->setGeometry(left, top, width, height);
    return w;
}

QLabel *label(QWidget *parent, const char *name, const QString &text, int left, int top, int width,
              int height)
{
    auto *l = place<QLabel>(parent, name, left, top, width, height);
    l->setText(text);
    return l;
}

QPushButton *button(QWidget *parent, const char *name, const QString &text, int left, int top,
                    int width, int height)
{
    auto *b = place<QPushButton>(parent, name, left, top, width, height);
    b->setText(text);
    b->setAutoDefault(false);
    return b;
}

void setTextColour(QWidget *w, const QColor &colour)
{
    QPalette p = w->palette();
    p.setColor(QPalette::WindowText, colour);
    p.setColor(QPalette::Text, colour);
    p.setColor(QPalette::ButtonText, colour);
    w->setPalette(p);
}

// Leaving a control means another control of this window takes the focus:
// not a switch to another window, a menu or a popup.
bool isLeaving(Qt::FocusReason reason)
{
    return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason
        && reason != Qt::MenuBarFocusReason;
}
} // namespace

TForm1::TForm1(PlatformServices &services, QWidget *parent)
    : QMainWindow(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                              | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint)
    , m_services(services)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Tessiva ( for DXF to DXF Data Convert )"));
    setWindowIcon(applicationIcon());
    setFont(fonts::proportional(12));
    buildMenu();
    buildControls();
    connectHandlers();
    setFixedSize(kClientWidth, kClientHeight + menuBar()->sizeHint().height());
    FormCreate();
}

TForm1::~TForm1() = default;

void TForm1::setAuxiliaryWindows(TForm4 *help, TForm5 *about)
{
    m_help = help;
    m_about = about;
}

void TForm1::buildMenu()
{
    QMenuBar *bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));

    File1 = bar->addMenu(QStringLiteral(u"ﾌｧｲﾙ(&F)"));
    File1->setObjectName(QStringLiteral("File1"));
    Exit1 = File1->addAction(QStringLiteral(u"終了(&X)"));
    Exit1->setObjectName(QStringLiteral("Exit1"));

    SET1 = bar->addMenu(QStringLiteral(u"設定"));
    SET1->setObjectName(QStringLiteral("SET1"));
    DP1 = SET1->addAction(QStringLiteral(u"ﾃﾞｨﾌｫﾙﾄﾊﾟﾗﾒｰﾀﾌｧｲﾙ"));
    DP1->setObjectName(QStringLiteral("DP1"));

    Help1 = bar->addMenu(QStringLiteral(u"ﾍﾙﾌﾟ(&H)"));
    Help1->setObjectName(QStringLiteral("Help1"));
    HowtoUseHelp1 = Help1->addAction(QStringLiteral(u"説明(&H)"));
    HowtoUseHelp1->setObjectName(QStringLiteral("HowtoUseHelp1"));
    About1 = Help1->addAction(QStringLiteral(u"ﾊﾞｰｼﾞｮﾝ情報(&A)..."));
    About1->setObjectName(QStringLiteral("About1"));

    // Actions are found by name from the window as well as from their menu.
    for (QAction *a : {Exit1, DP1, HowtoUseHelp1, About1})
        a->setParent(this);
}

void TForm1::buildControls()
{
    auto *client = new QWidget(this);
    client->setObjectName(QStringLiteral("Client"));
    client->setFixedSize(kClientWidth, kClientHeight);
    setCentralWidget(client);
    const QFont pathFont = fonts::fixedPitch(13);

    Bevel1 = place<QFrame>(client, "Bevel1", 0, 0, kClientWidth, 5);
    Bevel1->setFrameShape(QFrame::HLine);
    Bevel1->setFrameShadow(QFrame::Sunken);
    Bevel1->setContentsMargins(0, 0, 0, 3); // the line runs along the top edge

    RadioGroup1 = place<QGroupBox>(client, "RadioGroup1", 14, 12, 160, 67);
    RadioGroup1->setTitle(QStringLiteral(u"ﾊﾞｯﾁﾌｧｲﾙ　選択"));
    m_kindButtons = new QButtonGroup(this);
    auto *kindLayout = new QVBoxLayout(RadioGroup1);
    kindLayout->setContentsMargins(6, 0, 2, 2);
    kindLayout->setSpacing(0);
    const QStringList kinds = JobDefaults::kindItems();
    for (int i = 0; i < kinds.size(); ++i) {
        auto *item = new QRadioButton(kinds.at(i), RadioGroup1);
        item->setStyleSheet(QStringLiteral("QRadioButton { spacing: 3px; }"));
        item->setObjectName(QStringLiteral("RadioGroup1Item%1").arg(i));
        m_kindButtons->addButton(item, i);
        kindLayout->addWidget(item);
    }
    m_kindButtons->button(0)->setChecked(true);

    Label6 = label(client, "Label6", QStringLiteral(u"出力精度"), 195, 11, 48, 12);
    setTextColour(Label6, Qt::black);
    ComboBox1 = place<QComboBox>(client, "ComboBox1", 195, 24, 65, 20);
    ComboBox1->setEditable(true);
    ComboBox1->setInsertPolicy(QComboBox::NoInsert);
    ComboBox1->setCompleter(nullptr); // typed text stays exactly as typed
    ComboBox1->addItems(JobDefaults::precisionItems());
    ComboBox1->setCurrentIndex(0);

    Label9 = label(client, "Label9", QStringLiteral(u"出力形式"), 282, 11, 48, 12);
    ComboBox2 = place<QComboBox>(client, "ComboBox2", 282, 24, 65, 20);
    ComboBox2->setEditable(true);
    ComboBox2->setInsertPolicy(QComboBox::NoInsert);
    ComboBox2->setCompleter(nullptr);
    ComboBox2->addItems(JobDefaults::formatItems());
    ComboBox2->setCurrentIndex(0);

    Label3 = label(client, "Label3", QStringLiteral(u"R13->R12ﾊﾟﾗﾒｰﾀﾌｧｲﾙ"), 423, 11, 118, 12);
    Label3->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    Edit5 = place<QLineEdit>(client, "Edit5", 423, 24, 118, 20);
    Edit5->setText(JobDefaults::r13ToR12Parameter());
    Label8 = label(client, "Label8", QStringLiteral(u"R12->GX3ﾊﾟﾗﾒｰﾀﾌｧｲﾙ"), 422, 46, 119, 12);
    Label8->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    Edit6 = place<QLineEdit>(client, "Edit6", 423, 59, 118, 20);
    Edit6->setText(JobDefaults::r12ToGx3Parameter());

    Label5 = label(client, "Label5", QStringLiteral(u"変換元ﾌｧｲﾙ"), 16, 88, 64, 12);
    Button1 = button(client, "Button1", QStringLiteral("..."), 94, 86, 15, 15);
    Button4 = button(client, "Button4", QStringLiteral("c"), 121, 86, 24, 15);
    Button5 = button(client, "Button5", QStringLiteral("ac"), 149, 86, 24, 15);
    QFont bold = font();
    bold.setBold(true);
    Button4->setFont(bold);
    Button5->setFont(bold);

    Edit4 = place<QLineEdit>(client, "Edit4", 486, 88, 37, 18);
    Edit4->setReadOnly(true);
    Edit4->setFrame(false);
    Edit4->setFocusPolicy(Qt::NoFocus);
    Edit4->setAlignment(Qt::AlignLeft);
    {
        QPalette p = Edit4->palette();
        p.setColor(QPalette::Base, p.color(QPalette::Button));
        Edit4->setPalette(p);
    }
    Label4 = label(client, "Label4", QStringLiteral("file"), 525, 88, 16, 12);

    ListBox1 = place<SourceListView>(client, "ListBox1", 12, 102, 529, 199);
    ListBox1->setFont(pathFont);
    ListBox1->setSelectionMode(QAbstractItemView::SingleSelection);
    ListBox1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListBox1->setUniformItemSizes(true);
    ListBox1->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_sourceModel = new QStringListModel(this);
    ListBox1->setModel(m_sourceModel);

    Label1 = label(client, "Label1", QStringLiteral(u"変換先ﾌｫﾙﾀﾞ"), 16, 311, 66, 12);
    Button2 = button(client, "Button2", QStringLiteral("..."), 94, 309, 15, 15);
    Edit1 = place<QLineEdit>(client, "Edit1", 12, 325, 529, 21);
    Edit1->setFont(pathFont);

    Label2 = label(client, "Label2", QStringLiteral(u"AutoCadﾌｫﾙﾀﾞ"), 16, 352, 74, 12);
    Button3 = button(client, "Button3", QStringLiteral("..."), 94, 350, 15, 15);
    Edit2 = place<QLineEdit>(client, "Edit2", 12, 366, 529, 21);
    Edit2->setFont(pathFont);

    Label10 = label(client, "Label10", QStringLiteral("Label10"), 14, 391, 527, 16);
    setTextColour(Label10, Qt::yellow);

    Button6 = button(client, "Button6", QStringLiteral(u"ﾊﾞｯﾁﾌｧｲﾙ保存"), 453, 405, 88, 20);

    // Tab order; the count field takes no focus.
    QWidget *order[] = {m_kindButtons->button(0), m_kindButtons->button(1), m_kindButtons->button(2),
                        ComboBox1, ComboBox2, Edit5, Edit6, Button1, ListBox1, Button2, Edit1,
                        Button3, Edit2, Button4, Button5, Button6};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
}

void TForm1::connectHandlers()
{
    connect(Exit1, &QAction::triggered, this, [this] { guarded([this] { Exit1Click(Exit1); }); });
    connect(DP1, &QAction::triggered, this, [this] { guarded([this] { DP1Click(DP1); }); });
    connect(HowtoUseHelp1, &QAction::triggered, this,
            [this] { guarded([this] { HowtoUseHelp1Click(HowtoUseHelp1); }); });
    connect(About1, &QAction::triggered, this, [this] { guarded([this] { About1Click(About1); }); });

    const auto onClick = [this](QPushButton *b, void (TForm1::*handler)(QObject *)) {
        connect(b, &QPushButton::clicked, this, [this, b, handler] {
            guarded([this, b, handler] { (this->*handler)(b); });
        });
    };
    onClick(Button1, &TForm1::Button1Click);
    onClick(Button2, &TForm1::Button2Click);
    onClick(Button3, &TForm1::Button3Click);
    onClick(Button4, &TForm1::Button4Click);
    onClick(Button5, &TForm1::Button5Click);
    onClick(Button6, &TForm1::Button6Click);

    connect(ListBox1, &QAbstractItemView::doubleClicked, this,
            [this] { guarded([this] { ListBox1DblClick(ListBox1); }); });
    connect(ListBox1, &SourceListView::filesDropped, this,
            [this](const QStringList &names) { guarded([this, &names] { WMDropFiles(names); }); });
    // Chosen from the list, by mouse or arrow keys; never for typed text.
    connect(ComboBox2, &QComboBox::activated, this, [this] {
        if (!m_committingFormatText)
            guarded([this] { ComboBox2Click(ComboBox2); });
    });

    for (QWidget *w : {static_cast<QWidget *>(Edit1), static_cast<QWidget *>(Edit2),
                       static_cast<QWidget *>(ComboBox1), static_cast<QWidget *>(ComboBox2)})
        w->installEventFilter(this);
}

bool TForm1::eventFilter(QObject *watched, QEvent *event)
{
    // When typed text is committed (focus leaves, or Return), an editable
    // combo box selects the item that matches the text and reports it as
    // activated. That is typing, not a choice from the list, so the event
    // is delivered again with the choice handler held off.
    if (watched == ComboBox2 && !m_committingFormatText) {
        const bool commit = event->type() == QEvent::FocusOut
            || (event->type() == QEvent::KeyPress
                && (static_cast<QKeyEvent *>(event)->key() == Qt::Key_Return
                    || static_cast<QKeyEvent *>(event)->key() == Qt::Key_Enter));
        if (commit) {
            QScopedValueRollback<bool> committing(m_committingFormatText, true);
            QCoreApplication::sendEvent(watched, event);
            return true;
        }
    }
    if (event->type() == QEvent::FocusOut || event->type() == QEvent::FocusIn) {
        const auto *focus = static_cast<QFocusEvent *>(event);
        if (isLeaving(focus->reason())) {
            const bool out = event->type() == QEvent::FocusOut;
            if (out && watched == Edit1)
                guarded([this] { Edit1Exit(Edit1); });
            else if (out && watched == Edit2)
                guarded([this] { Edit2Exit(Edit2); });
            else if (out && watched == ComboBox1)
                guarded([this] { ComboBox1Exit(ComboBox1); });
            else if (out && watched == ComboBox2)
                guarded([this] { ComboBox2Exit(ComboBox2); });
            else if (!out && watched == ComboBox2)
                guarded([this] { ComboBox2Enter(ComboBox2); });
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void TForm1::guarded(const std::function<void()> &handler)
{
    runGuarded(m_services, this, handler);
}

void TForm1::FormCreate()
{
    m_services.removeSizeCommand(this);
    // Only the source list takes dropped files; every other control of the
    // window refuses them (a line edit would otherwise take a path as text).
    setAcceptDrops(false);
    for (QWidget *w : findChildren<QWidget *>()) {
        if (w != ListBox1 && w != ListBox1->viewport())
            w->setAcceptDrops(false);
    }
    Edit4->setText(textrules::FormatFileCount(int(sourceLines().size())));
    Label10->setText(QString());
    LoadSettings();
}

void TForm1::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (m_placed)
        return;
    m_placed = true;
    if (QScreen *s = screen()) {
        const QRect area = s->availableGeometry();
        const QSize outer = frameGeometry().size();
        move(area.left() + (area.width() - outer.width()) / 2,
             area.top() + (area.height() - outer.height()) / 2);
    }
}

void TForm1::Exit1Click(QObject *)
{
    close();
}

void TForm1::closeEvent(QCloseEvent *event)
{
    bool CanClose = true;
    guarded([this, &CanClose] { FormCloseQuery(this, CanClose); });
    if (CanClose) {
        event->accept();
        // The help and About windows go with the main window.
        for (QWidget *w : {static_cast<QWidget *>(m_help), static_cast<QWidget *>(m_about)}) {
            if (w)
                w->hide();
        }
    }
    else
        event->ignore();
}

ConversionJob TForm1::currentJob() const
{
    ConversionJob job;
    if (!batchKindFromIndex(kindIndex(), &job.kind))
        job.kind = BatchKind::R13ToR12;
    job.precision = ComboBox1->currentText();
    job.outputFormat = ComboBox2->currentText();
    job.r13ToR12Parameter = Edit5->text();
    job.r12ToGx3Parameter = Edit6->text();
    job.sources = sourceLines().mid(0, qMax(FileCount, 0));
    job.destinationFolder = Edit1->text();
    job.autocadFolder = Edit2->text();
    return job;
}

QStringList TForm1::sourceLines() const
{
    return m_sourceModel->stringList();
}

int TForm1::sourceItemIndex() const
{
    const QModelIndexList rows = ListBox1->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.constFirst().row();
}

int TForm1::kindIndex() const
{
    return m_kindButtons->checkedId();
}
