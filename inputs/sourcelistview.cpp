#include "sourcelistview.h"

#include "ui/focusstyle.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHelpEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QToolTip>
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
// Lines of a fixed height, as dense as the list was designed for, and no
// wider than the list: a longer one is elided where the view says.
class LineDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem &, const QModelIndex &) const override
    {
        return QSize(1, SourceListView::kLineHeight);
    }
    // The whole path, where the line cannot show it.
    bool helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option,
                   const QModelIndex &index) override
    {
        if (event->type() == QEvent::ToolTip && index.isValid()) {
            QToolTip::showText(event->globalPos(), index.data(Qt::DisplayRole).toString(), view);
            return true;
        }
        return QStyledItemDelegate::helpEvent(event, view, option, index);
    }
};
} // namespace

SourceListView::SourceListView(QWidget *parent)
    : QListView(parent)
{
    setItemDelegate(new LineDelegate(this));
    // A line too long for the list keeps its file's name at the end: each
    // line is as wide as the list, never wider.
    setTextElideMode(Qt::ElideMiddle);
    setResizeMode(QListView::Adjust);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
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
    // pointer; the double-click acts on it. Below the lines there is none.
    if (event->button() == Qt::LeftButton) {
        event->accept();
        if (indexAt(event->position().toPoint()).isValid())
            emit lineDoubleClicked();
        return;
    }
    QListView::mouseDoubleClickEvent(event);
}

void SourceListView::paintEvent(QPaintEvent *event)
{
    QListView::paintEvent(event);
    // The focus shows around the current line; in a list without one (an
    // empty list, or one whose selected line was deleted) around its area,
    // as an empty list box shows it. The mark is the window's own: a dotted
    // line in the text's colour, kept readable against the list's
    // background, where the style's may be a tint that can hardly be seen.
    if (!hasFocus())
        return;
    QPainter painter(viewport());
    const QModelIndex current = currentIndex();
    const QRect around = current.isValid() ? visualRect(current) : viewport()->rect().adjusted(1, 1, -1, -1);
    FocusStyle::drawMark(&painter, around, palette(), QPalette::Base);
}
