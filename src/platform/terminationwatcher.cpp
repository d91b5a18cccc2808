#include "terminationwatcher.h"

#include <QGuiApplication>
#include <QSessionManager>
#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {
// A signal handler may only write to a descriptor; the event loop reads the other end.
int g_pipe[2] = {-1, -1};
} // namespace

TerminationWatcher::TerminationWatcher(QObject* parent) : QObject(parent)
{
    if (g_pipe[0] < 0 && ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_pipe) != 0)
        return;
    m_notifier = new QSocketNotifier(g_pipe[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationWatcher::readSignal);
    struct sigaction action = {};
    action.sa_handler = &TerminationWatcher::onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
    if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        connect(app, &QGuiApplication::commitDataRequest, this,
                &TerminationWatcher::terminationRequested);
}

TerminationWatcher::~TerminationWatcher()
{
    signal(SIGTERM, SIG_DFL);
    signal(SIGHUP, SIG_DFL);
}

void TerminationWatcher::onSignal(int number)
{
    const char byte = char(number);
    [[maybe_unused]] const ssize_t written = ::write(g_pipe[0], &byte, 1);
}

void TerminationWatcher::readSignal()
{
    char byte = 0;
    [[maybe_unused]] const ssize_t got = ::read(g_pipe[1], &byte, 1);
    emit terminationRequested();
}
