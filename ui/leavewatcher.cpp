#include "leavewatcher.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>

LeaveWatcher::LeaveWatcher(QWidget *window, QWidget *client)
    : m_window(window)
    , m_client(client)
{
    connect(qApp, &QApplication::focusChanged, this, &LeaveWatcher::sync);
    window->installEventFilter(this);
}

bool LeaveWatcher::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_window && event->type() == QEvent::WindowActivate)
        sync();
    return QObject::eventFilter(watched, event);
}

QWidget *LeaveWatcher::controlOf(QWidget *widget) const
{
    for (QWidget *w = widget; w && w != m_window; w = w->parentWidget()) {
        if (w->parentWidget() == m_client)
            return w;
    }
    return nullptr;
}

void LeaveWatcher::sync()
{
    if (m_syncing)
        return;
    m_syncing = true;
    // A handler may move the focus on; follow it, a few steps at most.
    for (int step = 0; step < 8; ++step) {
        QWidget *now = controlOf(m_window->focusWidget());
        if (!now || now == m_current)
            break;
        QPointer<QWidget> before = m_current;
        m_current = now;
        if (before)
            emit left(before);
        emit entered(now);
    }
    m_syncing = false;
}
