#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Moves a live transport stream's clock references (PCR) later, datagram by datagram, so that the
// engine shows each picture soon after it arrives instead of when the stream's own clock says.
//
// A multiplexer stamps every picture and sound packet for presentation some time after the clock
// reference sent with it (0.7 s from ffmpeg, about as much on broadcasts): room for a hardware
// decoder's buffer. The engine honours that to the letter and adds its network cache on top, so a
// picture that has arrived stands still on screen for that long before it moves. Shifting the
// references by what the stream itself leaves spare, less a guard, gives that time back; the
// network cache still covers the network's jitter.
//
// The shift is learnt at the start and after every break in the stream's clock: the clock
// references are held back (taken out of the packets) until a presentation stamp of each of two
// elementary streams has been seen, or a short window has passed; the shift is then the smallest
// lead a stamp had over the clock, less the guard. Held back, the engine keeps the packets it
// gets and starts them with the first reference it sees, so nothing is lost. Sound is what bounds
// the shift: a multiplexer that packs several tenths of a second of sound into one packet sends
// it with a shorter lead than the pictures.
//
// Once settled, the shift follows the stream: a multiplexer may shorten its delay while it runs
// (a broadcast's statistical multiplexer does), and a stamp whose lead, less the shift, falls under
// the guard would otherwise reach the engine late. The shift then shrinks towards that stamp's
// lead less the guard, by at most a small part of each step of the clock, so that the clock the
// engine sees only runs a little slower for a while: never back, never a jump its drift
// correction or its sound output would have to catch up with. It does not grow again before the
// next break: a longer shift shortens every picture's lead, and a delay that fell once may fall again.
//
// Datagrams are either plain transport stream packets or RTP carrying them; anything else passes
// untouched. Not thread-safe: one relay thread owns it.
class CTsPcrShifter final
{
public:
    // 90 kHz ticks.
    static constexpr int64_t kTicksPerMs = 90;
    static constexpr int64_t kGuardTicks = 100 * kTicksPerMs;
    // Under the half second after which the engine stops waiting for a reference of its own.
    static constexpr int64_t kLearnTicks = 400 * kTicksPerMs;
    // A reference further than this from the one before (either way) is a break in the clock.
    static constexpr int64_t kJumpTicks = 1000 * kTicksPerMs;
    // A following shift shrinks by at most 1/kFollowDivisor of each step of the clock (3 %): the
    // engine's sound output follows such a clock by resampling, without a gap.
    static constexpr int64_t kFollowDivisor = 32;

    CTsPcrShifter() = default;

    // Rewrites the datagram in place; its size never changes.
    void Process(uint8_t* data, size_t size);

    // The shift in force (0 while learning or when the stream leaves nothing spare).
    int64_t ShiftTicks() const { return m_learning ? 0 : m_shift; }
    bool Learning() const { return m_learning; }
    // How many times a shift was settled: once per start and once per break in the clock.
    int Settled() const { return m_settled; }
    // The shift settled last, before any following.
    int64_t SettledShiftTicks() const { return m_settledShift; }

    // Helpers for the 33-bit stamps, public for the tests.
    static int64_t WrapDiff(int64_t a, int64_t b); // a - b, across the 33-bit wrap
    static int64_t Wrap(int64_t value);

private:
    void Packet(uint8_t* packet);
    void Restart();
    void Settle();
    void Stamp(uint16_t pid, int64_t stamp);
    void Follow(int64_t step);

    bool m_learning = true;
    bool m_havePcr = false;
    int64_t m_lastPcr = 0;    // as received
    int64_t m_learnStart = 0; // the first reference of the learning window
    bool m_haveLead = false;
    int64_t m_minLead = 0; // smallest stamp minus clock reference seen while learning
    std::vector<uint16_t> m_stampedPids;
    int64_t m_shift = 0;
    int64_t m_settledShift = 0;
    int64_t m_target = 0; // where a following shift is heading; never above m_shift
    int m_settled = 0;
};
