// The source file list: chosen in the open dialog or dropped from the file
// manager, added to with Ctrl or Shift, deleted line by line or all at once.
#include "app/tform1.h"
#include "core/textrules.h"
#include "inputs/sourcelistview.h"
#include "platform/platformservices.h"

#include <QLineEdit>
#include <QStringListModel>

bool TForm1::addModifierHeld() const
{
    const Qt::KeyboardModifiers keys = m_services.keyboardModifiers();
    return keys.testFlag(Qt::ControlModifier) || keys.testFlag(Qt::ShiftModifier);
}

void TForm1::replaceSources(const QStringList &jobPaths)
{
    m_sourceModel->setStringList(jobPaths);
}

void TForm1::appendSources(const QStringList &jobPaths)
{
    if (jobPaths.isEmpty())
        return;
    // One model reset for the whole batch keeps a drop of a whole archive quick.
    m_sourceModel->setStringList(m_sourceModel->stringList() + jobPaths);
}

void TForm1::selectSourceLine(int row)
{
    if (row == sourceItemIndex())
        return;
    if (row < 0) {
        ListBox1->selectionModel()->clear();
        return;
    }
    const QModelIndex index = m_sourceModel->index(row);
    ListBox1->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    ListBox1->scrollTo(index);
}

void TForm1::refreshCount(bool selectLast)
{
    const int lines = m_sourceModel->rowCount();
    Edit4->setText(textrules::FormatFileCount(lines));
    FileCount = lines;
    if (selectLast)
        selectSourceLine(lines - 1);
    ListBox1->setFocus();
}

void TForm1::Button1Click(QObject *)
{
    OpenFilesRequest request;
    request.title = QStringLiteral(u"変換元DXFﾌｧｲﾙを選択( 追加選択する時は+CTRｷｰ )");
    request.nameFilters = {QStringLiteral(u"ＤＸＦﾌｧｲﾙ(*.DXF)"), QStringLiteral(u"すべてのﾌｧｲﾙ(*.*)")};
    request.selectedFilter = OpenDialog1.filter;
    const std::optional<OpenFilesResult> chosen = m_services.openFiles(this, request);
    if (!chosen)
        return;
    OpenDialog1.filter = chosen->selectedFilter;

    // The keys count as they are once the dialog has closed.
    const bool add = addModifierHeld();
    QStringList paths;
    paths.reserve(chosen->files.size());
    for (const QString &file : chosen->files)
        paths << m_services.toJobPath(file);
    if (add)
        appendSources(paths);
    else
        replaceSources(paths);
    refreshCount(true);
}

void TForm1::WMDropFiles(const QStringList &nativeNames)
{
    const bool add = addModifierHeld();
    // Without Ctrl or Shift the list goes before any name is looked at.
    if (!add)
        replaceSources({});
    QStringList taken;
    taken.reserve(nativeNames.size());
    for (const QString &name : nativeNames) {
        // Folders and names of files that do not exist are passed over.
        if (m_services.isExistingFile(name))
            taken << m_services.toJobPath(name);
    }
    appendSources(taken);
    refreshCount(true);
}

void TForm1::Button4Click(QObject *)
{
    const int row = sourceItemIndex();
    if (row >= 0) {
        m_sourceModel->removeRows(row, 1);
        // No other line takes over the selection.
        ListBox1->selectionModel()->clear();
    }
    refreshCount(false);
}

void TForm1::ListBox1DblClick(QObject *Sender)
{
    Button4Click(Sender);
}

void TForm1::Button5Click(QObject *)
{
    replaceSources({});
    refreshCount(false);
}
