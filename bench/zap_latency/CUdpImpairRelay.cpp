#include "CUdpImpairRelay.h"

#include <algorithm>
#include <arpa/inet.h>
#include <chrono>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <queue>
#include <random>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Held
{
    Clock::time_point due;
    uint64_t order; // arrival number
    std::vector<char> bytes;
    bool operator>(const Held& other) const
    {
        return due != other.due ? due > other.due : order > other.order;
    }
};

Clock::duration FromMs(double ms)
{
    return std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double, std::milli>(ms));
}

} // namespace

CUdpImpairRelay::CUdpImpairRelay(int listenPort, int targetPort, uint32_t seed)
    : m_listenPort(listenPort), m_targetPort(targetPort), m_seed(seed)
{}

CUdpImpairRelay::~CUdpImpairRelay()
{
    Stop();
}

CUdpImpairRelay::Profile CUdpImpairRelay::Clean()
{
    return {};
}

CUdpImpairRelay::Profile CUdpImpairRelay::Lan()
{
    Profile p;
    p.name = "lan5+-20";
    p.delayMs = 5;
    p.jitterMs = 20;
    p.lossPct = 0.5;
    p.reorderPct = 1;
    return p;
}

CUdpImpairRelay::Profile CUdpImpairRelay::Wifi()
{
    Profile p;
    p.name = "wifi30+-30";
    p.delayMs = 30;
    p.jitterMs = 30;
    p.lossPct = 0.5;
    p.reorderPct = 2;
    p.spellEveryMs = 3000;
    p.spellMinMs = 100;
    p.spellMaxMs = 400;
    p.spellLossPct = 20;
    return p;
}

void CUdpImpairRelay::SetProfile(const Profile& profile)
{
    const std::lock_guard<std::mutex> lock(m_profileLock);
    m_profile = profile;
}

CUdpImpairRelay::Counters CUdpImpairRelay::Take()
{
    Counters c;
    c.received = m_received.exchange(0);
    c.sent = m_sent.exchange(0);
    c.dropped = m_dropped.exchange(0);
    c.reordered = m_reordered.exchange(0);
    c.spells = m_spells.exchange(0);
    return c;
}

bool CUdpImpairRelay::Start()
{
    m_socket = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (m_socket < 0 || ::pipe2(m_wake, O_CLOEXEC | O_NONBLOCK) != 0)
        return false;
    // A stream of a few hundred kbit/s held for up to half a second must not overflow the queue.
    const int size = 4 * 1024 * 1024;
    ::setsockopt(m_socket, SOL_SOCKET, SO_RCVBUF, &size, sizeof size);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = htons(static_cast<uint16_t>(m_listenPort));
    if (::bind(m_socket, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0)
        return false;
    socklen_t length = sizeof addr;
    ::getsockname(m_socket, reinterpret_cast<sockaddr*>(&addr), &length);
    m_listenPort = ntohs(addr.sin_port);
    m_stop = false;
    m_thread = std::thread([this] { Run(); });
    return true;
}

void CUdpImpairRelay::Stop()
{
    if (m_thread.joinable()) {
        m_stop = true;
        const char byte = 0;
        (void)!::write(m_wake[1], &byte, 1);
        m_thread.join();
    }
    for (int* fd : {&m_socket, &m_wake[0], &m_wake[1]}) {
        if (*fd >= 0)
            ::close(*fd);
        *fd = -1;
    }
}

void CUdpImpairRelay::Run()
{
    std::mt19937 random(m_seed);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::priority_queue<Held, std::vector<Held>, std::greater<>> queue;
    sockaddr_in target{};
    target.sin_family = AF_INET;
    target.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    target.sin_port = htons(static_cast<uint16_t>(m_targetPort));
    uint64_t arrivals = 0;
    uint64_t lastSentOrder = 0;
    Clock::time_point lastDue{};
    Clock::time_point spellStart = Clock::time_point::max();
    Clock::time_point spellEnd{};
    std::vector<char> buffer(65536);

    while (!m_stop) {
        Profile profile;
        {
            const std::lock_guard<std::mutex> lock(m_profileLock);
            profile = m_profile;
        }
        const Clock::time_point now = Clock::now();
        // The next bad spell is drawn once the previous one is over.
        if (profile.spellEveryMs <= 0) {
            spellStart = Clock::time_point::max();
        } else if (spellStart == Clock::time_point::max() || now >= spellEnd) {
            if (spellStart != Clock::time_point::max())
                ++m_spells;
            std::exponential_distribution<double> gap(1.0 / profile.spellEveryMs);
            spellStart = now + FromMs(gap(random));
            spellEnd = spellStart +
                       FromMs(profile.spellMinMs + unit(random) * (profile.spellMaxMs - profile.spellMinMs));
        }
        int waitMs = 50;
        if (!queue.empty())
            waitMs = static_cast<int>(std::clamp<int64_t>(
                std::chrono::duration_cast<std::chrono::milliseconds>(queue.top().due - now).count(), 0, 50));
        pollfd fds[2] = {{m_socket, POLLIN, 0}, {m_wake[0], POLLIN, 0}};
        ::poll(fds, 2, waitMs);
        for (;;) {
            const ssize_t n = ::recv(m_socket, buffer.data(), buffer.size(), 0);
            if (n < 0)
                break;
            ++m_received;
            const Clock::time_point at = Clock::now();
            const bool inSpell = at >= spellStart && at < spellEnd;
            const double loss = inSpell ? profile.spellLossPct : profile.lossPct;
            if (unit(random) * 100.0 < loss) {
                ++m_dropped;
                continue;
            }
            double delay = profile.delayMs + (unit(random) * 2.0 - 1.0) * profile.jitterMs;
            delay = std::max(0.0, delay);
            Clock::time_point due = at + FromMs(delay);
            // In line behind the one before, unless this one goes its own way.
            if (unit(random) * 100.0 >= profile.reorderPct)
                due = std::max(due, lastDue);
            lastDue = std::max(lastDue, due);
            // A stalled link delivers nothing until the spell ends, then everything at once.
            if (inSpell)
                due = std::max(due, spellEnd + FromMs(profile.delayMs));
            queue.push(Held{due, ++arrivals, std::vector<char>(buffer.begin(), buffer.begin() + n)});
        }
        const Clock::time_point sendNow = Clock::now();
        while (!queue.empty() && queue.top().due <= sendNow) {
            const Held& h = queue.top();
            ::sendto(m_socket, h.bytes.data(), h.bytes.size(), 0, reinterpret_cast<const sockaddr*>(&target),
                     sizeof target);
            ++m_sent;
            if (h.order < lastSentOrder)
                ++m_reordered;
            lastSentOrder = std::max(lastSentOrder, h.order);
            queue.pop();
        }
    }
}
