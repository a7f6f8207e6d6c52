#include "platform/TerminationWatcher.h"

#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// The one thing a signal handler may touch: the write end of the watcher's pipe, and the
// process it belongs to.
volatile sig_atomic_t g_writeFd = -1;
volatile sig_atomic_t g_ownerPid = 0;

void onSignal(int number)
{
    // A child forked without exec (a helper process) inherits the handler and the pipe; the
    // request is its own, not the program's: it ends as it would have without us.
    if (::getpid() != g_ownerPid) {
        ::signal(number, SIG_DFL);
        ::raise(number);
        return;
    }
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
    g_ownerPid = ::getpid();
    g_writeFd = m_fds[0];

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

void TerminationWatcher::start()
{
    if (m_fds[1] < 0 || m_notifier)
        return;
    // Made only now: a notifier needs the application's event loop, which the watcher may
    // come before.
    m_notifier = new QSocketNotifier(m_fds[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationWatcher::readSignal);
}

void TerminationWatcher::readSignal()
{
    char byte = 0;
    if (::read(m_fds[1], &byte, 1) == 1)
        Q_EMIT terminationRequested(byte);
}
