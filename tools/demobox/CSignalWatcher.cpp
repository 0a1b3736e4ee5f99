#include "CSignalWatcher.h"

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

int CSignalWatcher::s_fds[2] = {-1, -1};

CSignalWatcher::CSignalWatcher(QObject* parent) : QObject(parent)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, s_fds) != 0)
        return;
    m_notifier = std::make_unique<QSocketNotifier>(s_fds[1], QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, [this] {
        char byte = 0;
        if (::read(s_fds[1], &byte, 1) > 0)
            emit terminationRequested();
    });
    struct sigaction action = {};
    action.sa_handler = &CSignalWatcher::handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
    // A client that goes away mid-reply must not end the box.
    std::signal(SIGPIPE, SIG_IGN);
}

CSignalWatcher::~CSignalWatcher()
{
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    m_notifier.reset();
    for (int& fd : s_fds) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
}

void CSignalWatcher::handler(int)
{
    const char byte = 1;
    // Only async-signal-safe calls here.
    [[maybe_unused]] const auto written = ::write(s_fds[0], &byte, 1);
}
