#include "terminationwatcher.h"

#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {
// The handler only writes a byte; the event loop reads it.
int g_pipe[2] = {-1, -1};

void onSignal(int)
{
    const char byte = 1;
    (void)!::write(g_pipe[0], &byte, 1);
}

void handle(int signal, void (*handler)(int))
{
    struct sigaction action = {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(signal, &action, nullptr);
}
} // namespace

TerminationWatcher::TerminationWatcher(QObject *parent)
    : QObject(parent)
{
    if (g_pipe[0] >= 0 || ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_pipe) != 0)
        return;
    m_notifier = new QSocketNotifier(g_pipe[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, [this] {
        char bytes[16];
        (void)!::read(g_pipe[1], bytes, sizeof bytes);
        emit terminationRequested();
    });
    handle(SIGTERM, onSignal);
    handle(SIGHUP, onSignal);
}

TerminationWatcher::~TerminationWatcher()
{
    if (!m_notifier)
        return;
    handle(SIGTERM, SIG_DFL);
    handle(SIGHUP, SIG_DFL);
    delete m_notifier;
    ::close(g_pipe[0]);
    ::close(g_pipe[1]);
    g_pipe[0] = g_pipe[1] = -1;
}
