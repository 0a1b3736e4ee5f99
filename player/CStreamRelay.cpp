#include "player/CStreamRelay.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kReceiveBuffer = 4 << 20; // a few seconds of an HD stream, for a busy moment
constexpr size_t kLargestDatagram = 65536;

void CloseFd(int& fd)
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

bool SetNonBlocking(int fd)
{
    const int flags = ::fcntl(fd, F_GETFL, 0);
    return flags >= 0 && ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) == 0;
}

sockaddr_in Loopback(int port)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(port));
    return address;
}

// A free loopback port for the engine. Between closing the probe and the engine's bind another
// program could take it; on loopback, for the fraction of a second that lasts, that is accepted.
int FreeLoopbackPort()
{
    const int probe = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (probe < 0)
        return 0;
    sockaddr_in address = Loopback(0);
    socklen_t length = sizeof address;
    int port = 0;
    if (::bind(probe, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 &&
        ::getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    ::close(probe);
    return port;
}

} // namespace

CStreamRelay::~CStreamRelay()
{
    Stop();
}

bool CStreamRelay::Start(const std::string& bindHost, int port, std::string* why)
{
    Stop();
    m_bindHost = bindHost;
    m_port = port;
    m_enginePort = 0;
    return Listen(why);
}

bool CStreamRelay::Resume(std::string* why)
{
    return Running() || Listen(why);
}

bool CStreamRelay::Listen(std::string* why)
{
    auto fail = [this, why](const char* what) {
        if (why != nullptr)
            *why = std::string(what) + ": " + std::strerror(errno);
        CloseSockets();
        return false;
    };
    if (m_port <= 0 || m_port > 65535) {
        errno = EINVAL;
        return fail("no port");
    }
    sockaddr_in listen{};
    listen.sin_family = AF_INET;
    listen.sin_port = htons(static_cast<uint16_t>(m_port));
    if (m_bindHost.empty())
        listen.sin_addr.s_addr = htonl(INADDR_ANY);
    else if (::inet_pton(AF_INET, m_bindHost.c_str(), &listen.sin_addr) != 1) {
        errno = EINVAL;
        return fail("not an IPv4 address");
    }
    m_in = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (m_in < 0)
        return fail("socket");
    // No address reuse: where the engine still holds the port, the relay gives way.
    (void)::setsockopt(m_in, SOL_SOCKET, SO_RCVBUF, &kReceiveBuffer, sizeof kReceiveBuffer);
    if (::bind(m_in, reinterpret_cast<const sockaddr*>(&listen), sizeof listen) != 0)
        return fail("bind");
    if (!SetNonBlocking(m_in))
        return fail("fcntl");
    if (m_enginePort == 0)
        m_enginePort = FreeLoopbackPort();
    if (m_enginePort == 0)
        return fail("no loopback port");
    m_out = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    const sockaddr_in engine = Loopback(m_enginePort);
    if (m_out < 0 || ::connect(m_out, reinterpret_cast<const sockaddr*>(&engine), sizeof engine) != 0)
        return fail("engine socket");
    if (::pipe2(m_wake, O_CLOEXEC | O_NONBLOCK) != 0)
        return fail("pipe");
    // Whatever comes now starts a stream afresh.
    m_shifter = CTsPcrShifter();
    m_shift = 0;
    m_stop = false;
    m_thread = std::thread(&CStreamRelay::Run, this);
    return true;
}

void CStreamRelay::Stop()
{
    if (m_thread.joinable()) {
        m_stop = true;
        const char wake = 1;
        (void)!::write(m_wake[1], &wake, 1);
        m_thread.join();
    }
    CloseSockets();
}

void CStreamRelay::CloseSockets()
{
    CloseFd(m_in);
    CloseFd(m_out);
    CloseFd(m_wake[0]);
    CloseFd(m_wake[1]);
}

void CStreamRelay::Run()
{
    std::vector<uint8_t> buffer(kLargestDatagram);
    while (!m_stop) {
        pollfd fds[2] = {{m_in, POLLIN, 0}, {m_wake[0], POLLIN, 0}};
        if (::poll(fds, 2, 500) < 0 && errno != EINTR)
            return;
        for (;;) {
            const ssize_t n = ::recv(m_in, buffer.data(), buffer.size(), 0);
            if (n < 0)
                break;
            m_shifter.Process(buffer.data(), static_cast<size_t>(n));
            // Until the engine listens, or after it stopped, the datagram is lost as it would
            // have been without the relay.
            if (::send(m_out, buffer.data(), static_cast<size_t>(n), MSG_DONTWAIT) == n)
                ++m_forwarded;
        }
        m_shift = m_shifter.ShiftTicks();
    }
}
