#include "sourcelistview.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QStyledItemDelegate>
#include <QUrl>

namespace {
bool hasLocalFiles(const QMimeData *mime)
{
    if (!mime || !mime->hasUrls())
        return false;
    for (const QUrl &url : mime->urls()) {
        if (url.isLocalFile())
            return true;
    }
    return false;
}
} // namespace

namespace {
// Lines of a fixed height, as dense as the list was designed for.
class LineDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        return QSize(QStyledItemDelegate::sizeHint(option, index).width(), SourceListView::kLineHeight);
    }
};
} // namespace

SourceListView::SourceListView(QWidget *parent)
    : QListView(parent)
{
    setItemDelegate(new LineDelegate(this));
    // A line too long for the list keeps its file's name at the end.
    setTextElideMode(Qt::ElideMiddle);
    setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DropOnly);
}

// Entering and moving over the list take a drag alike.
void SourceListView::dragEnterEvent(QDragEnterEvent *event) { dragMoveEvent(event); }

void SourceListView::dragMoveEvent(QDragMoveEvent *event)
{
    if (hasLocalFiles(event->mimeData())) {
        // Always a copy: a move would let the file manager delete the drawings.
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void SourceListView::dropEvent(QDropEvent *event)
{
    if (!hasLocalFiles(event->mimeData())) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
    QStringList names;
    for (const QUrl &url : event->mimeData()->urls()) {
        if (url.isLocalFile())
            names << QDir::toNativeSeparators(url.toLocalFile());
    }
    emit filesDropped(names);
}

void SourceListView::mousePressEvent(QMouseEvent *event)
{
    // A press below the last line only takes the focus; the item view
    // would clear the selection.
    if (!indexAt(event->position().toPoint()).isValid()) {
        setFocus(Qt::MouseFocusReason);
        event->accept();
        return;
    }
    QListView::mousePressEvent(event);
}

void SourceListView::mouseDoubleClickEvent(QMouseEvent *event)
{
    // The first click of the double-click has selected the line under the
    // pointer, if there is one; the double-click acts on the selected line.
    if (event->button() == Qt::LeftButton) {
        event->accept();
        emit doubleClickedAnywhere();
        return;
    }
    QListView::mouseDoubleClickEvent(event);
}
