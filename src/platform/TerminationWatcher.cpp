#include "platform/TerminationWatcher.h"

#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// The one thing a signal handler may touch: the write end of the watcher's pipe.
volatile sig_atomic_t g_writeFd = -1;

void onSignal(int number)
{
    const int fd = g_writeFd;
    if (fd < 0)
        return;
    const char byte = static_cast<char>(number);
    [[maybe_unused]] const ssize_t written = ::write(fd, &byte, 1);
}

} // namespace

TerminationWatcher::TerminationWatcher(QObject* parent) : QObject(parent)
{
    Q_ASSERT_X(g_writeFd < 0, "TerminationWatcher", "one watcher per process");
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, m_fds) != 0)
        return;
    g_writeFd = m_fds[0];
    m_notifier = new QSocketNotifier(m_fds[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationWatcher::readSignal);

    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int number : {SIGTERM, SIGINT, SIGHUP})
        ::sigaction(number, &action, nullptr);
}

TerminationWatcher::~TerminationWatcher()
{
    for (int number : {SIGTERM, SIGINT, SIGHUP})
        ::signal(number, SIG_DFL);
    g_writeFd = -1;
    for (int fd : m_fds) {
        if (fd >= 0)
            ::close(fd);
    }
}

void TerminationWatcher::readSignal()
{
    char byte = 0;
    if (::read(m_fds[1], &byte, 1) == 1)
        Q_EMIT terminationRequested(byte);
}
