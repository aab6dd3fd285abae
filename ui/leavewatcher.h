#pragma once

#include <QObject>
#include <QPointer>

class QWidget;

// Tells when a control of the window is left and another one entered.
//
// A control is left whenever another control of the same window takes the
// focus from it, whatever the cause: a click, Tab, focus given in code, or a
// drop that gives the list the focus while the window is inactive (Qt sends
// no focus events then). Switching to another application and back is not
// leaving, and neither is opening the menu bar or a popup.
//
// The watcher compares the window's own focus control with the one it saw
// last, each time the application's focus moves, each time the window is
// activated, and whenever the window asks it to (after each handler).
class LeaveWatcher : public QObject
{
    Q_OBJECT

public:
    // `client` holds the window's controls; anything else of the window
    // (the menu bar) is no control.
    LeaveWatcher(QWidget *window, QWidget *client);

    void sync();

signals:
    void left(QWidget *control);
    void entered(QWidget *control);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *controlOf(QWidget *widget) const;

    QWidget *m_window;
    QWidget *m_client;
    QPointer<QWidget> m_current;
    bool m_syncing = false;
};
