// Datagrams as the stream relay receives them, through the clock shifter: bare transport stream
// packets, RTP around them with any header, cut packets, broken adaptation fields and stamps.
// Each datagram sits in a buffer of exactly its size, so a read or write past it is caught. After
// each one: only the adaptation fields of the packets the datagram carries may change, a clock
// reference is either moved later by at most the break limit or taken out with the rest of its
// field intact, and the clock the engine sees never steps back nor jumps while the shift follows.
//
// Input: datagrams, each a two-byte big-endian length and its bytes; the last one takes what is
// left when its length runs past the end.
#include "player/CTsPcrShifter.h"
#include "tests/support/TsPackets.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

namespace {

void Fail(const char* what, size_t at)
{
    std::fprintf(stderr, "%s (byte %zu)\n", what, at);
    __builtin_trap();
}

// May byte `at` of a datagram change? Only inside the adaptation field of one of its packets,
// after the field's length and flags.
bool InAdaptationField(const std::vector<size_t>& packets, const uint8_t* before, size_t at)
{
    for (const size_t s : packets) {
        const uint8_t* p = before + s;
        if (at >= s && at < s + 188)
            return (p[3] & 0x20) != 0 && p[4] <= 183 && at >= s + 5 && at < s + 5 + p[4];
    }
    return false;
}

struct Clock
{
    bool have = false;
    int64_t in = 0, out = 0;
    int settled = 0;
};

void CheckPacket(const CTsPcrShifter& shifter, const uint8_t* before, const uint8_t* after, size_t s,
                 Clock& clock)
{
    if ((before[s + 3] & 0x20) == 0 || before[s + 4] > 183 || !tspackets::HasPcr(before + s))
        return;
    const int64_t in = tspackets::PcrOf(before + s);
    if (!tspackets::HasPcr(after + s)) {
        // Held back: the flag alone goes, the rest of the field moves up over the reference.
        const size_t length = before[s + 4];
        if (after[s + 5] != (before[s + 5] & ~0x10) ||
            std::memcmp(after + s + 6, before + s + 12, length - 7) != 0 ||
            std::any_of(after + s + length - 1, after + s + length + 5, [](uint8_t b) { return b != 0xFF; }))
            Fail("a held-back reference spoilt its field", s);
        clock.have = false;
        return;
    }
    const int64_t out = tspackets::PcrOf(after + s);
    const int64_t moved = CTsPcrShifter::WrapDiff(out, in);
    if (moved < 0 || moved > CTsPcrShifter::kJumpTicks || after[s + 5] != before[s + 5] ||
        (after[s + 10] & 0x7F) != (before[s + 10] & 0x7F) || after[s + 11] != before[s + 11])
        Fail("a reference moved out of bounds", s);
    const int64_t inStep = CTsPcrShifter::WrapDiff(in, clock.in);
    if (clock.have && clock.settled == shifter.Settled() && inStep > 0 &&
        inStep <= CTsPcrShifter::kJumpTicks && (before[s + 5] & 0x80) == 0) {
        const int64_t outStep = CTsPcrShifter::WrapDiff(out, clock.out);
        if (outStep > inStep || outStep < inStep - inStep / CTsPcrShifter::kFollowDivisor)
            Fail("the clock stepped back or jumped", s);
    }
    clock = {true, in, out, shifter.Settled()};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CTsPcrShifter shifter;
    Clock clock;
    int settled = 0;
    for (size_t at = 0; at + 2 <= size;) {
        const size_t length = std::min<size_t>((size_t{data[at]} << 8) | data[at + 1], size - at - 2);
        at += 2;
        const std::unique_ptr<uint8_t[]> datagram(new uint8_t[length]);
        std::memcpy(datagram.get(), data + at, length);
        const uint8_t* before = data + at;
        at += length;

        shifter.Process(datagram.get(), length);

        const std::vector<size_t> packets = tspackets::PacketsOf(before, length);
        for (size_t i = 0; i < length; ++i) {
            if (datagram[i] != before[i] && !InAdaptationField(packets, before, i))
                Fail("a byte outside an adaptation field changed", i);
        }
        // The clock is checked where packets are read in order; a datagram's packets are.
        for (const size_t s : packets)
            CheckPacket(shifter, before, datagram.get(), s, clock);
        const int64_t shift = shifter.ShiftTicks();
        if (shift < 0 || shift > CTsPcrShifter::kJumpTicks || (shifter.Learning() && shift != 0) ||
            (!shifter.Learning() && shift > shifter.SettledShiftTicks()) || shifter.Settled() < settled)
            Fail("the shift left its bounds", 0);
        settled = shifter.Settled();
    }
    return 0;
}
