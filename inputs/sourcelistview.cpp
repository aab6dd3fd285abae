#include "sourcelistview.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
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

SourceListView::SourceListView(QWidget *parent)
    : QListView(parent)
{
    setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DropOnly);
}

void SourceListView::dragEnterEvent(QDragEnterEvent *event)
{
    if (hasLocalFiles(event->mimeData())) {
        // Always a copy: a move would let the file manager delete the drawings.
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void SourceListView::dragMoveEvent(QDragMoveEvent *event)
{
    if (hasLocalFiles(event->mimeData())) {
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
