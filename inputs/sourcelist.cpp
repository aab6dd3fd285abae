#include "sourcelist.h"

#include "core/job/conversionjob.h"
#include "core/job/jobpath.h"
#include "core/text/textrules.h"
#include "inputs/folderscan.h"
#include "inputs/pathlistmodel.h"
#include "inputs/sourcelistview.h"
#include "platform/platformservices.h"
#include "ui/captionfit.h"
#include "ui/controls.h"
#include "ui/fonts.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStringBuilder>

using namespace controls;

SourceList::SourceList(PlatformServices &services, QWidget *client, const HandlerGuard &guard)
    : QObject(client)
    , m_services(services)
    , m_client(client)
{
    setObjectName(QStringLiteral("SourceList"));
    buildButtons(client);
    buildCount(client);
    buildList(client);
    guard.connect(m_list, &SourceListView::filesDropped, this, [this](const QStringList &names) { dropFiles(names); });
    guard.connect(m_list, &SourceListView::lineDoubleClicked, this, [this] { deleteSelected(); });
    guard.connect(m_chooseButton, &QPushButton::clicked, this, [this] { chooseFiles(); });
    guard.connect(m_deleteButton, &QPushButton::clicked, this, [this] { deleteSelected(); });
    guard.connect(m_deleteAllButton, &QPushButton::clicked, this, [this] { deleteAll(); });
}

// The caption and its three buttons: choose, delete one, delete all.
void SourceList::buildButtons(QWidget *client)
{
    m_caption = label(client, "Label5", JobFieldNames::sourceFile(), QRect(16, 88, 64, 12));
    m_chooseButton = button(client, "Button1", QStringLiteral("..."), QRect(94, 86, 15, 15));
    m_deleteButton = button(client, "Button4", QStringLiteral("c"), QRect(121, 86, 24, 15));
    m_deleteAllButton = button(client, "Button5", QStringLiteral("ac"), QRect(149, 86, 24, 15));
    QFont bold = client->font();
    bold.setBold(true);
    m_deleteButton->setFont(bold);
    m_deleteAllButton->setFont(bold);
}

// The count of files, which looks like a label: no frame, no focus,
// button-face background, and its text at the top, as a label's, so that
// the count and its word "file" share one line clear of the list below.
void SourceList::buildCount(QWidget *client)
{
    m_countField = place<QLineEdit>(client, "Edit4", QRect(486, 88, 37, 18));
    m_countField->setReadOnly(true);
    m_countField->setFrame(false);
    m_countField->setFocusPolicy(Qt::NoFocus);
    m_countField->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_countField->setTextMargins(0, 0, 0, 0);
    QPalette p = m_countField->palette();
    p.setColor(QPalette::Base, p.color(QPalette::Button));
    m_countField->setPalette(p);
    m_countField->setText(textrules::formatFileCount(0));
    m_countWord = label(client, "Label4", QStringLiteral("file"), QRect(525, 88, 16, 12));
    m_countWord->setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

// The list itself, one line a source, in a fixed-pitch face.
void SourceList::buildList(QWidget *client)
{
    m_list = place<SourceListView>(client, "ListBox1", QRect(12, 102, 529, 199));
    m_list->setFont(fonts::fixedPitch(13));
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setUniformItemSizes(true);
    m_model = new PathListModel(this);
    m_list->setModel(m_model);
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
    // One insertion for the whole batch keeps a drop of a whole archive quick.
    m_model->append(jobPaths);
}

void SourceList::select(int line)
{
    if (line == itemIndex())
        return;
    if (line < 0) {
        m_list->selectionModel()->clear();
        return;
    }
    const QModelIndex index = m_model->index(line);
    m_list->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    m_list->scrollTo(index);
}

void SourceList::refreshCount(bool selectLast)
{
    const int lines = m_model->rowCount();
    m_countField->setText(textrules::formatFileCount(lines));
    // Six digits fit the field's width too, in a narrower face.
    captionfit::fitText(m_countField);
    m_fileCount = lines;
    // An empty list starts over: the next drawings make their own job.
    if (lines == 0)
        startOver();
    if (selectLast)
        select(lines - 1);
    m_list->setFocus();
}

void SourceList::chooseFiles()
{
    withdrawNotice();
    OpenFilesRequest request;
    request.title = QStringLiteral(u"変換元DXFﾌｧｲﾙを選択( 追加選択する時は+CTRｷｰ )");
    request.nameFilters = {QStringLiteral(u"ＤＸＦﾌｧｲﾙ(*.DXF)"), QStringLiteral(u"すべてのﾌｧｲﾙ(*.*)")};
    request.selectedFilter = m_openFilter;
    const Cancellable<OpenFilesResult> chosen = m_services.openFiles(m_client->window(), request);
    if (chosen.cancelled())
        return;
    m_openFilter = chosen->selectedFilter;

    // The keys count as they are once the dialog has closed.
    Taken taken{addModifierHeld()};
    taken.paths.reserve(chosen->files.size());
    for (const QString &file : chosen->files)
        taken.paths << jobpath::toJob(file, m_services.pathStyle());
    commit(taken);
}

void SourceList::chooseFolder()
{
    withdrawNotice();
    const Cancellable<QString> folder
        = m_services.browseFolder(m_client->window(), QStringLiteral(u"変換元ﾌｫﾙﾀﾞを指定してください。"), QString());
    if (!folder.cancelled())
        addFolder(*folder);
}

void SourceList::addFolder(const QString &nativeFolder)
{
    withdrawNotice();
    // The keys count as they are once the dialog has closed.
    Taken taken{addModifierHeld()};
    if (takeFolder(nativeFolder, taken) == Search::Cancelled)
        return;
    commit(taken);
}

SourceList::Search SourceList::takeFolder(const QString &nativeFolder, Taken &taken)
{
    const jobpath::Style style = m_services.pathStyle();
    const QString root = jobpath::folderToJob(nativeFolder, style);
    if (!m_services.isExistingFolder(nativeFolder)) {
        say(JobFieldNames::sourceFolder() % QStringLiteral(u"( ") % root % QStringLiteral(u" )がありません！"));
        return Search::Refused;
    }
    // One tree to a list: a folder outside the first one's is refused now,
    // with the reason, rather than at the save.
    const QString &treeRoot = taken.treeRoot(m_treeRoot);
    if (!treeRoot.isEmpty()
        && !(root.size() >= treeRoot.size()
             && textrules::sameWindowsName(QStringView(root).left(treeRoot.size()), treeRoot))) {
        say(JobFieldNames::sourceFolder() % QStringLiteral(u"( ") % root % QStringLiteral(u" )が最初のﾌｫﾙﾀﾞ( ")
            % treeRoot % QStringLiteral(u" )の下にありません！"));
        return Search::Refused;
    }
    const Cancellable<folderscan::Found> found = folderscan::drawingsBelow(m_client->window(), nativeFolder);
    if (found.cancelled())
        return Search::Cancelled;
    if (treeRoot.isEmpty())
        taken.root = root;
    taken.paths.reserve(taken.paths.size() + found->drawings.size());
    for (const QString &file : found->drawings)
        taken.paths << jobpath::toJob(file, style);
    if (!found->unreadable.isEmpty()) {
        // A few names, as the list names folders, and how many in all: the
        // status line's tooltip holds the whole text.
        constexpr int kNamed = 3;
        QStringList named;
        for (const QString &folder : found->unreadable.mid(0, kNamed))
            named << jobpath::folderToJob(folder, style);
        if (found->unreadable.size() > kNamed)
            named << QStringLiteral(u"…");
        say(QStringLiteral(u"読めないﾌｫﾙﾀﾞが %1 個あります: %2")
                .arg(found->unreadable.size())
                .arg(named.join(QStringLiteral(u"、"))));
    } else if (found->drawings.isEmpty()) {
        say(JobFieldNames::sourceFolder() % QStringLiteral(u"( ") % root % QStringLiteral(u" )には図面がありません！"));
    }
    return Search::Ended;
}

void SourceList::dropFiles(const QStringList &nativeNames)
{
    withdrawNotice();
    // What the drop brings, in the order it was dropped: a folder as the
    // folder item takes it, the first one the tree's root where the list
    // has none; a file as the open dialog does. Names of files that do not
    // exist are passed over.
    Taken taken{addModifierHeld()};
    for (const QString &name : nativeNames) {
        if (m_services.isExistingFile(name)) {
            taken.paths << jobpath::toJob(name, m_services.pathStyle());
        } else if (m_services.isExistingFolder(name)) {
            if (takeFolder(name, taken) == Search::Cancelled)
                return;
        }
    }
    commit(taken);
}

// What an action brought becomes the list, or joins it: only once every
// search it made has ended, and only where it brought a drawing. Until
// then the list, its count and its tree stay as they were.
void SourceList::commit(const Taken &taken)
{
    if (taken.paths.isEmpty())
        return;
    if (taken.adds) {
        append(taken.paths);
        if (m_treeRoot.isEmpty())
            m_treeRoot = taken.root;
    } else {
        m_model->replace(taken.paths);
        m_treeRoot = taken.root;
    }
    refreshCount(true);
}

void SourceList::say(const QString &text)
{
    m_notice = text;
    emit notice(text);
}

void SourceList::withdrawNotice()
{
    if (m_notice.isEmpty())
        return;
    emit noticeWithdrawn(m_notice);
    m_notice.clear();
}

void SourceList::deleteSelected()
{
    withdrawNotice();
    const int row = itemIndex();
    if (row >= 0) {
        m_model->removeLine(row);
        // No other line takes over the selection.
        m_list->selectionModel()->clear();
    }
    refreshCount(false);
}

void SourceList::deleteAll()
{
    withdrawNotice();
    startOver();
    refreshCount(false);
}

void SourceList::startOver()
{
    m_model->replace({});
    m_treeRoot.clear();
}

QStringList SourceList::sources() const { return m_model->paths(qMax(m_fileCount, 0)); }

int SourceList::itemIndex() const
{
    const QModelIndexList rows = m_list->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.constFirst().row();
}

void SourceList::selectAndFocus(int line)
{
    select(line);
    m_list->setFocus();
}

QList<QWidget *> SourceList::chooserTabStops() const { return {m_chooseButton, m_list}; }

QList<QWidget *> SourceList::removalTabStops() const { return {m_deleteButton, m_deleteAllButton}; }

QWidget *SourceList::dropTarget() const { return m_list; }
