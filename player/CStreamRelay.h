#pragma once

#include "player/CTsPcrShifter.h"

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>

// Receives the box's RTP or UDP stream in place of the engine and hands every datagram on to it
// over loopback at once, with the stream's clock references moved by CTsPcrShifter. Datagrams are
// neither held nor reordered here: the engine's own RTP handling, cache and loss handling see the
// stream as the network delivered it.
class CStreamRelay final
{
public:
    CStreamRelay() = default;
    ~CStreamRelay();
    CStreamRelay(const CStreamRelay&) = delete;
    CStreamRelay& operator=(const CStreamRelay&) = delete;

    // Listens where the engine would have (`bindHost` empty for every address) and picks a
    // loopback port for the engine. False, with the reason, when either socket cannot be had.
    bool Start(const std::string& bindHost, int port, std::string* why);
    // Gives the stream's port back, as the engine does when it stops; Resume takes it again and
    // keeps handing on to the same engine port, for the same media played again.
    void Stop();
    bool Resume(std::string* why);
    bool Running() const { return m_thread.joinable(); }
    // The loopback port the engine is to listen on.
    int EnginePort() const { return m_enginePort; }
    uint64_t Forwarded() const { return m_forwarded.load(); }
    int64_t ShiftTicks() const { return m_shift.load(); }

private:
    bool Listen(std::string* why);
    void CloseSockets();
    void Run();

    std::string m_bindHost;
    int m_port = 0;

    int m_in = -1;
    int m_out = -1;
    int m_wake[2] = {-1, -1};
    int m_enginePort = 0;
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    std::atomic<uint64_t> m_forwarded{0};
    std::atomic<int64_t> m_shift{0};
    CTsPcrShifter m_shifter; // the relay thread's alone
};
