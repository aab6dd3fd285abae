#include "sourcelist.h"

#include "core/job/conversionjob.h"
#include "core/job/jobpath.h"
#include "core/text/textrules.h"
#include "inputs/folderscan.h"
#include "inputs/sourcelistview.h"
#include "platform/platformservices.h"
#include "ui/controls.h"
#include "ui/fonts.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStringListModel>

using namespace controls;

SourceList::SourceList(PlatformServices &services, QWidget *client)
    : QObject(client)
    , m_services(services)
    , m_client(client)
{
    setObjectName(QStringLiteral("SourceList"));
    buildButtons(client);
    buildCount(client);
    buildList(client);
    connect(ListBox1, &SourceListView::filesDropped, this, &SourceList::filesDropped);
    connect(ListBox1, &SourceListView::lineDoubleClicked, this, [this] { emit doubleClicked(ListBox1); });
    connect(Button1, &QPushButton::clicked, this, [this] { emit chooseClicked(Button1); });
    connect(Button4, &QPushButton::clicked, this, [this] { emit deleteClicked(Button4); });
    connect(Button5, &QPushButton::clicked, this, [this] { emit deleteAllClicked(Button5); });
}

// The caption and its three buttons: choose, delete one, delete all.
void SourceList::buildButtons(QWidget *client)
{
    Label5 = label(client, "Label5", JobFieldNames::sourceFile(), QRect(16, 88, 64, 12));
    Button1 = button(client, "Button1", QStringLiteral("..."), QRect(94, 86, 15, 15));
    Button4 = button(client, "Button4", QStringLiteral("c"), QRect(121, 86, 24, 15));
    Button5 = button(client, "Button5", QStringLiteral("ac"), QRect(149, 86, 24, 15));
    QFont bold = client->font();
    bold.setBold(true);
    Button4->setFont(bold);
    Button5->setFont(bold);
}

// The count of files, which looks like a label: no frame, no focus,
// button-face background, and its text at the top, as a label's, so that
// the count and its word "file" share one line clear of the list below.
void SourceList::buildCount(QWidget *client)
{
    Edit4 = place<QLineEdit>(client, "Edit4", QRect(486, 88, 37, 18));
    Edit4->setReadOnly(true);
    Edit4->setFrame(false);
    Edit4->setFocusPolicy(Qt::NoFocus);
    Edit4->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Edit4->setTextMargins(0, 0, 0, 0);
    QPalette p = Edit4->palette();
    p.setColor(QPalette::Base, p.color(QPalette::Button));
    Edit4->setPalette(p);
    Edit4->setText(textrules::FormatFileCount(0));
    Label4 = label(client, "Label4", QStringLiteral("file"), QRect(525, 88, 16, 12));
    Label4->setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

// The list itself, one line a source, in a fixed-pitch face.
void SourceList::buildList(QWidget *client)
{
    ListBox1 = place<SourceListView>(client, "ListBox1", QRect(12, 102, 529, 199));
    ListBox1->setFont(fonts::fixedPitch(13));
    ListBox1->setSelectionMode(QAbstractItemView::SingleSelection);
    ListBox1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListBox1->setUniformItemSizes(true);
    m_model = new QStringListModel(this);
    ListBox1->setModel(m_model);
}

bool SourceList::addModifierHeld() const
{
    const Qt::KeyboardModifiers keys = m_services.keyboardModifiers();
    return keys.testFlag(Qt::ControlModifier) || keys.testFlag(Qt::ShiftModifier);
}

void SourceList::append(const QStringList &jobPaths)
{
    if (jobPaths.isEmpty())
        return;
    // One model reset for the whole batch keeps a drop of a whole archive quick.
    m_model->setStringList(m_model->stringList() + jobPaths);
}

void SourceList::select(int line)
{
    if (line == itemIndex())
        return;
    if (line < 0) {
        ListBox1->selectionModel()->clear();
        return;
    }
    const QModelIndex index = m_model->index(line);
    ListBox1->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    ListBox1->scrollTo(index);
}

void SourceList::refreshCount(bool selectLast)
{
    const int lines = m_model->rowCount();
    Edit4->setText(textrules::FormatFileCount(lines));
    FileCount = lines;
    // An empty list starts over: the next drawings make their own job.
    if (lines == 0)
        startOver();
    if (selectLast)
        select(lines - 1);
    ListBox1->setFocus();
}

void SourceList::chooseFiles()
{
    OpenFilesRequest request;
    request.title = QStringLiteral(u"変換元DXFﾌｧｲﾙを選択( 追加選択する時は+CTRｷｰ )");
    request.nameFilters = {QStringLiteral(u"ＤＸＦﾌｧｲﾙ(*.DXF)"), QStringLiteral(u"すべてのﾌｧｲﾙ(*.*)")};
    request.selectedFilter = m_openFilter;
    const std::optional<OpenFilesResult> chosen = m_services.openFiles(m_client->window(), request);
    if (!chosen)
        return;
    m_openFilter = chosen->selectedFilter;

    // The keys count as they are once the dialog has closed.
    const bool add = addModifierHeld();
    QStringList paths;
    paths.reserve(chosen->files.size());
    for (const QString &file : chosen->files)
        paths << jobpath::toJob(file, m_services.pathStyle());
    if (!add)
        startOver();
    append(paths);
    refreshCount(true);
}

void SourceList::chooseFolder()
{
    const std::optional<QString> folder
        = m_services.browseFolder(m_client->window(), QStringLiteral(u"変換元ﾌｫﾙﾀﾞを指定してください。"), QString());
    if (folder)
        addFolder(*folder);
}

void SourceList::addFolder(const QString &nativeFolder)
{
    // The keys count as they are once the dialog has closed.
    const bool add = addModifierHeld();
    const std::optional<QStringList> found = folderscan::drawingsBelow(m_client->window(), nativeFolder);
    if (!found)
        return; // cancelled: nothing changes
    if (!add)
        startOver();
    if (m_treeRoot.isEmpty())
        m_treeRoot = jobpath::folderToJob(nativeFolder, m_services.pathStyle());
    QStringList paths;
    paths.reserve(found->size());
    for (const QString &file : *found)
        paths << jobpath::toJob(file, m_services.pathStyle());
    append(paths);
    refreshCount(true);
}

void SourceList::dropFiles(const QStringList &nativeNames)
{
    const bool add = addModifierHeld();
    // Without Ctrl or Shift the list goes before any name is looked at.
    if (!add)
        startOver();
    QStringList taken;
    taken.reserve(nativeNames.size());
    for (const QString &name : nativeNames) {
        // Folders and names of files that do not exist are passed over.
        if (m_services.isExistingFile(name))
            taken << jobpath::toJob(name, m_services.pathStyle());
    }
    append(taken);
    refreshCount(true);
}

void SourceList::deleteSelected()
{
    const int row = itemIndex();
    if (row >= 0) {
        m_model->removeRows(row, 1);
        // No other line takes over the selection.
        ListBox1->selectionModel()->clear();
    }
    refreshCount(false);
}

void SourceList::deleteAll()
{
    startOver();
    refreshCount(false);
}

void SourceList::startOver()
{
    m_model->setStringList({});
    m_treeRoot.clear();
}

QStringList SourceList::sources() const { return m_model->stringList().mid(0, qMax(FileCount, 0)); }

int SourceList::itemIndex() const
{
    const QModelIndexList rows = ListBox1->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.constFirst().row();
}

void SourceList::selectAndFocus(int line)
{
    select(line);
    ListBox1->setFocus();
}

QList<QWidget *> SourceList::chooserTabStops() const { return {Button1, ListBox1}; }

QList<QWidget *> SourceList::removalTabStops() const { return {Button4, Button5}; }

QWidget *SourceList::dropTarget() const { return ListBox1; }
