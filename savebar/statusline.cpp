#include "statusline.h"

#include <QEvent>
#include <QFontMetrics>

StatusLine::StatusLine(QWidget *parent)
    : QLabel(parent)
{ }

void StatusLine::setStatus(const QString &text)
{
    m_status = text;
    setToolTip(text);
    setAccessibleDescription(text);
    showFitted();
}

void StatusLine::resizeEvent(QResizeEvent *event)
{
    QLabel::resizeEvent(event);
    showFitted();
}

void StatusLine::changeEvent(QEvent *event)
{
    QLabel::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        showFitted();
}

void StatusLine::showFitted()
{
    const int room = contentsRect().width() - 2 * margin();
    setText(fontMetrics().elidedText(m_status, Qt::ElideMiddle, room));
}
