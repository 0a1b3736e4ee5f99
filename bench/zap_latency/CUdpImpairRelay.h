#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

// A UDP relay on loopback that makes a clean stream look like one that crossed a real network:
// every datagram is held for a base delay plus a random jitter, in order as a queue in a router
// keeps them, except for a few that take their own time and so overtake or fall behind others;
// some are dropped at random, and optionally the link has bad spells in
// which it stalls (everything queued comes out together when the spell ends, as a Wi-Fi link
// that retransmits does) and loses far more. Kernel traffic shaping is not available where the
// benches run, so the impairment is done here, in user space, with a seeded generator so that
// two runs of the same profile see the same network.
class CUdpImpairRelay final
{
public:
    struct Profile
    {
        std::string name = "clean";
        double delayMs = 0;      // added to every datagram
        double jitterMs = 0;     // uniform in [-jitter, +jitter] on top of the delay (never below 0)
        double lossPct = 0;      // random loss outside bad spells
        double reorderPct = 0;   // datagrams that keep their own jitter instead of their place in line
        double spellEveryMs = 0; // mean time between bad spells (0: none)
        double spellMinMs = 0;   // a spell lasts between min and max
        double spellMaxMs = 0;
        double spellLossPct = 0; // loss inside a spell
    };

    struct Counters
    {
        uint64_t received = 0;
        uint64_t sent = 0;
        uint64_t dropped = 0;
        uint64_t reordered = 0; // sent after a datagram that arrived later
        uint64_t spells = 0;
    };

    // Listens on 127.0.0.1:listenPort (0: any free port) and forwards to 127.0.0.1:targetPort.
    CUdpImpairRelay(int listenPort, int targetPort, uint32_t seed = 1);
    ~CUdpImpairRelay();
    CUdpImpairRelay(const CUdpImpairRelay&) = delete;
    CUdpImpairRelay& operator=(const CUdpImpairRelay&) = delete;

    bool Start();
    void Stop();
    int ListenPort() const { return m_listenPort; }
    // Takes effect for the next datagram.
    void SetProfile(const Profile& profile);
    Counters Take(); // counters since the last call

    static Profile Clean();
    static Profile Lan();  // 5 ms +- 20 ms, 0.5 % loss, 1 % out of order
    static Profile Wifi(); // 30 ms +- 30 ms, 0.5 % loss, 2 % out of order, and every ~3 s a
                           // 100..400 ms stall with 20 % loss

private:
    void Run();

    int m_listenPort;
    int m_targetPort;
    uint32_t m_seed;
    int m_socket = -1;
    int m_wake[2] = {-1, -1};
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    std::mutex m_profileLock;
    Profile m_profile; // guarded by m_profileLock
    std::atomic<uint64_t> m_received{0}, m_sent{0}, m_dropped{0}, m_reordered{0}, m_spells{0};
};
