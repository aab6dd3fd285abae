#pragma once

#include <QObject>

class QSocketNotifier;

// Turns a request to end the program from outside (SIGTERM, SIGHUP: a
// logout, a kill) into a Qt signal on the event loop, so that the window
// closes as a close does and keeps what the user typed. Where the system
// has no such signals it never fires.
class TerminationWatcher : public QObject
{
    Q_OBJECT

public:
    explicit TerminationWatcher(QObject *parent = nullptr);
    ~TerminationWatcher() override;

signals:
    void terminationRequested();

private:
    QSocketNotifier *m_notifier = nullptr;
};
