// The clock-reference shift the relay applies to live RTP and UDP streams, and the relay itself
// on loopback.
#include "player/CStreamRelay.h"
#include "player/CTsPcrShifter.h"
#include "tests/support/TsPackets.h"

#include <algorithm>
#include <arpa/inet.h>
#include <array>
#include <cstdint>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace {

using namespace tspackets;

void Feed(CTsPcrShifter& shifter, Packet& p)
{
    shifter.Process(p.data(), p.size());
}

// A stream's start: the clock at `pcr`, a picture decoded `videoLead` later, sound played
// `soundLead` later.
void Start(CTsPcrShifter& shifter, int64_t pcr, int64_t videoLead, int64_t soundLead)
{
    Packet clock = PcrPacket(pcr);
    Packet video = PesStart(kVideo, pcr + videoLead + 40 * kMs, pcr + videoLead);
    Packet sound = PesStart(kSound, pcr + soundLead);
    Feed(shifter, clock);
    Feed(shifter, video);
    Feed(shifter, sound);
}

TEST(TsPcrShifter, ShiftIsTheSmallestLeadLessTheGuardWithinBounds)
{
    struct Case
    {
        const char* what;
        int64_t pcr, videoLead, soundLead, shift;
    };
    const Case cases[] = {
        {"sound bounds it", 1000 * kMs, 700 * kMs, 400 * kMs, 300 * kMs},
        {"pictures bound it", 1000 * kMs, 350 * kMs, 700 * kMs, 250 * kMs},
        {"nothing spare", 1000 * kMs, 700 * kMs, 60 * kMs, 0},
        {"stamps behind the clock", 1000 * kMs, 700 * kMs, -200 * kMs, 0},
        {"never beyond a second", 1000 * kMs, 3000 * kMs, 2500 * kMs, CTsPcrShifter::kJumpTicks},
        // The decoding stamp lies before the 33-bit wrap, the clock just after it.
        {"across the wrap", (int64_t{1} << 33) - 200 * kMs, 700 * kMs, 500 * kMs, 400 * kMs},
    };
    for (const Case& c : cases) {
        CTsPcrShifter shifter;
        Start(shifter, c.pcr, c.videoLead, c.soundLead);
        EXPECT_FALSE(shifter.Learning()) << c.what;
        EXPECT_EQ(shifter.ShiftTicks(), c.shift) << c.what;
        Packet later = PcrPacket(CTsPcrShifter::Wrap(c.pcr + 40 * kMs));
        Feed(shifter, later);
        ASSERT_TRUE(HasPcr(later)) << c.what;
        EXPECT_EQ(PcrOf(later), CTsPcrShifter::Wrap(c.pcr + 40 * kMs + c.shift)) << c.what;
        EXPECT_EQ(PcrExtensionOf(later), kPcrExtension) << c.what;
    }
}

// While the shift is learnt the engine must not see an unshifted reference: it is taken out of
// the packet and whatever else the adaptation field carries stays intact.
TEST(TsPcrShifter, ReferencesAreHeldBackWhileLearning)
{
    CTsPcrShifter shifter;
    const std::vector<uint8_t> privateData{0xDE, 0xAD, 0xBE, 0xEF};
    Packet first = PcrPacket(90000, false, privateData);
    Feed(shifter, first);
    EXPECT_TRUE(shifter.Learning());
    EXPECT_EQ(shifter.ShiftTicks(), 0);
    EXPECT_FALSE(HasPcr(first));
    EXPECT_EQ(first[4], 183); // the field keeps its length
    EXPECT_EQ(first[5], 0x02);
    EXPECT_EQ(first[6], privateData.size());
    EXPECT_TRUE(std::equal(privateData.begin(), privateData.end(), first.begin() + 7));
    for (size_t i = 7 + privateData.size(); i < first.size(); ++i)
        ASSERT_EQ(first[i], 0xFF) << "byte " << i;

    // With stamps on one stream only, the learning window ends it.
    Packet video = PesStart(kVideo, 90000 + 740 * kMs, 90000 + 700 * kMs);
    Feed(shifter, video);
    Packet stillLearning = PcrPacket(90000 + CTsPcrShifter::kLearnTicks - 1);
    Feed(shifter, stillLearning);
    EXPECT_FALSE(HasPcr(stillLearning));
    Packet settled = PcrPacket(90000 + CTsPcrShifter::kLearnTicks);
    Feed(shifter, settled);
    EXPECT_FALSE(shifter.Learning());
    EXPECT_EQ(shifter.ShiftTicks(), 600 * kMs);
    EXPECT_EQ(PcrOf(settled), 90000 + CTsPcrShifter::kLearnTicks + 600 * kMs);
}

TEST(TsPcrShifter, ABreakInTheClockIsLearntAgain)
{
    struct Case
    {
        const char* what;
        int64_t next;
        bool discontinuity;
        int64_t videoLead, soundLead, shift; // learnt after the break
    };
    const int64_t pcr = 5000 * kMs;
    // Before the break the leads are 700 and 400 ms; nothing of them counts after it, whether
    // the new stream leaves more room or less.
    const Case cases[] = {
        {"marked discontinuity", pcr + 40 * kMs, true, 500 * kMs, 300 * kMs, 200 * kMs},
        {"jump ahead", pcr + 5000 * kMs, false, 900 * kMs, 800 * kMs, 700 * kMs},
        {"jump back", pcr - 2000 * kMs, false, 500 * kMs, 300 * kMs, 200 * kMs},
    };
    for (const Case& c : cases) {
        CTsPcrShifter shifter;
        Start(shifter, pcr, 700 * kMs, 400 * kMs);
        ASSERT_EQ(shifter.Settled(), 1) << c.what;
        Packet broken = PcrPacket(c.next, c.discontinuity);
        Feed(shifter, broken);
        EXPECT_TRUE(shifter.Learning()) << c.what;
        EXPECT_FALSE(HasPcr(broken)) << c.what;
        Start(shifter, c.next + 40 * kMs, c.videoLead, c.soundLead);
        EXPECT_EQ(shifter.Settled(), 2) << c.what;
        EXPECT_EQ(shifter.ShiftTicks(), c.shift) << c.what;
    }
    // An ordinary step of the clock is no break.
    CTsPcrShifter steady;
    Start(steady, pcr, 700 * kMs, 400 * kMs);
    Packet next = PcrPacket(pcr + 100 * kMs);
    Feed(steady, next);
    EXPECT_EQ(steady.Settled(), 1);
    EXPECT_EQ(PcrOf(next), pcr + 400 * kMs);
}

// A multiplexer that shortens its delay while it runs: the clock every 20 ms, sound stamped
// `lead` ahead of it each time, a picture every third time a little further ahead. The lead is
// 700 ms, falls to 300 ms from 5 s on over `fallMs`, holds, and rises back to 700 ms.
struct Follow
{
    int64_t settledShift = 0, lowestShift = 0, lastShift = 0;
    int64_t leastLead = 0;       // a stamp's lead over the clock the engine saw
    int64_t leastFixedLead = 0;  // the same with the shift kept as it was settled
    int late = 0, lateFixed = 0; // stamps behind that clock
    bool changedPes = false;
    bool clockBack = false, clockAhead = false, clockJump = false;
};

Follow RunFallingLead(int64_t fallMs)
{
    auto leadAt = [fallMs](int64_t ms) {
        const int64_t fallen = ms < 5000 ? 0 : fallMs == 0 ? 400 : 400 * std::min(ms - 5000, fallMs) / fallMs;
        const int64_t rise = std::clamp<int64_t>(ms - 5000 - fallMs - 10000, 0, 15000);
        return (700 - fallen + 400 * rise / 15000) * kMs;
    };
    CTsPcrShifter shifter;
    Follow f;
    f.leastLead = f.leastFixedLead = INT64_MAX;
    int64_t lastIn = -1, lastOut = -1;
    const int64_t base = (int64_t{1} << 33) - 20000 * kMs; // crosses the wrap on the way
    for (int64_t ms = 0; ms <= 5000 + fallMs + 10000 + 15000 + 2000; ms += 20) {
        const int64_t in = Wrap33(base + ms * kMs);
        Packet clock = PcrPacket(in);
        Feed(shifter, clock);
        if (HasPcr(clock)) {
            const int64_t out = PcrOf(clock);
            if (lastOut >= 0) {
                const int64_t inStep = CTsPcrShifter::WrapDiff(in, lastIn);
                const int64_t outStep = CTsPcrShifter::WrapDiff(out, lastOut);
                f.clockBack |= outStep <= 0;
                f.clockAhead |= outStep > inStep;
                f.clockJump |= outStep < inStep - inStep / CTsPcrShifter::kFollowDivisor;
            }
            lastIn = in;
            lastOut = out;
        }
        std::vector<Packet> stamped{PesStart(kSound, in + leadAt(ms))};
        if (ms % 60 == 0)
            stamped.push_back(PesStart(kVideo, in + leadAt(ms) + 80 * kMs, in + leadAt(ms) + 40 * kMs));
        for (Packet& p : stamped) {
            const Packet sent = p;
            Feed(shifter, p);
            f.changedPes |= p != sent;
            if (shifter.Learning() || lastOut < 0)
                continue;
            const int64_t stamp = PesStampOf(p.data())->stamp;
            const int64_t lead = CTsPcrShifter::WrapDiff(stamp, lastOut);
            const int64_t fixedLead =
                CTsPcrShifter::WrapDiff(stamp, Wrap33(lastIn + shifter.SettledShiftTicks()));
            f.leastLead = std::min(f.leastLead, lead);
            f.leastFixedLead = std::min(f.leastFixedLead, fixedLead);
            f.late += lead < 0;
            f.lateFixed += fixedLead < 0;
        }
        f.lowestShift =
            f.settledShift == 0 ? shifter.ShiftTicks() : std::min(f.lowestShift, shifter.ShiftTicks());
        if (f.settledShift == 0)
            f.settledShift = shifter.ShiftTicks();
    }
    f.lastShift = shifter.ShiftTicks();
    return f;
}

// Once settled, a stamp whose lead falls under the guard shrinks the shift, a little at each step
// of the clock: the engine's clock slows down for a while but never stands or goes back, no packet
// changes, and a delay that falls no faster than the shift may follow brings no picture late. A
// fixed shift would bring them 300 ms late. The shift does not grow back with the delay.
TEST(TsPcrShifter, ShiftFollowsALeadThatFallsUnderTheGuard)
{
    const Follow slow = RunFallingLead(30000); // 1.3 %, within what the shift follows
    EXPECT_EQ(slow.settledShift, 600 * kMs);
    EXPECT_EQ(slow.lowestShift, 200 * kMs);
    EXPECT_EQ(slow.lastShift, 200 * kMs);
    EXPECT_GE(slow.leastLead, CTsPcrShifter::kGuardTicks - 2 * kMs);
    EXPECT_EQ(slow.late, 0);
    EXPECT_LE(slow.leastFixedLead, -290 * kMs);
    EXPECT_GT(slow.lateFixed, 1000);
    EXPECT_FALSE(slow.changedPes);
    EXPECT_FALSE(slow.clockBack);
    EXPECT_FALSE(slow.clockAhead);
    EXPECT_FALSE(slow.clockJump);

    // Falling at once, the delay outruns the shift for a while; the clock still only slows down,
    // and the shift gets where it must.
    const Follow sudden = RunFallingLead(0);
    EXPECT_EQ(sudden.lowestShift, 200 * kMs);
    EXPECT_GT(sudden.late, 0);
    EXPECT_LT(sudden.late, sudden.lateFixed / 2);
    EXPECT_FALSE(sudden.changedPes);
    EXPECT_FALSE(sudden.clockBack);
    EXPECT_FALSE(sudden.clockAhead);
    EXPECT_FALSE(sudden.clockJump);
}

// RTP around the packets: contributing sources, a header extension and padding are skipped;
// what is neither RTP nor a transport stream passes as it came.
TEST(TsPcrShifter, FindsThePacketsInsideRtpAndLeavesOtherDatagramsAlone)
{
    auto rtp = [](int csrcs, int extensionWords, int padding, const std::vector<Packet>& packets) {
        std::vector<uint8_t> d{
            static_cast<uint8_t>(0x80 | (padding > 0 ? 0x20 : 0) | (extensionWords >= 0 ? 0x10 : 0) | csrcs),
            33,
            0,
            1,
            0,
            0,
            0,
            0,
            1,
            2,
            3,
            4};
        d.resize(d.size() + 4 * static_cast<size_t>(csrcs), 0x47); // sync-like bytes must not fool it
        if (extensionWords >= 0) {
            const uint8_t words = static_cast<uint8_t>(extensionWords);
            d.insert(d.end(), {uint8_t{0xBE}, uint8_t{0xDE}, uint8_t{0}, words});
            d.resize(d.size() + 4 * static_cast<size_t>(extensionWords), 0x47);
        }
        for (const Packet& p : packets)
            d.insert(d.end(), p.begin(), p.end());
        for (int i = 0; i < padding; ++i)
            d.push_back(i + 1 == padding ? static_cast<uint8_t>(padding) : uint8_t{0});
        return d;
    };
    const int64_t pcr = 1000 * kMs;
    const std::vector<Packet> start{PcrPacket(pcr), PesStart(kVideo, pcr + 740 * kMs, pcr + 700 * kMs),
                                    PesStart(kSound, pcr + 400 * kMs)};
    struct Case
    {
        const char* what;
        int csrcs, extensionWords, padding;
    };
    const Case cases[] = {
        {"plain", 0, -1, 0}, {"sources", 2, -1, 0}, {"extension", 0, 3, 0}, {"all three", 15, 1, 4}};
    for (const Case& c : cases) {
        CTsPcrShifter shifter;
        std::vector<uint8_t> first = rtp(c.csrcs, c.extensionWords, c.padding, start);
        shifter.Process(first.data(), first.size());
        EXPECT_EQ(shifter.ShiftTicks(), 300 * kMs) << c.what;
        std::vector<uint8_t> next = rtp(c.csrcs, c.extensionWords, c.padding, {PcrPacket(pcr + 40 * kMs)});
        const std::vector<uint8_t> before = next;
        shifter.Process(next.data(), next.size());
        const size_t at = next.size() - 188 - static_cast<size_t>(c.padding);
        EXPECT_TRUE(std::equal(next.begin(), next.begin() + static_cast<long>(at), before.begin())) << c.what;
        Packet out;
        std::copy(next.begin() + static_cast<long>(at), next.begin() + static_cast<long>(at) + 188,
                  out.begin());
        EXPECT_EQ(PcrOf(out), pcr + 340 * kMs) << c.what;
    }

    // Not RTP, RTP whose header runs past its end, padding longer than the datagram: untouched.
    std::vector<std::vector<uint8_t>> others{
        {0x12, 0x34, 0x56}, rtp(0, 0, 0, {}), rtp(0, -1, 0, {PcrPacket(pcr)})};
    others[1].resize(14);
    others[1][0] |= 0x10;
    others[2][0] |= 0x20;
    others[2].back() = 0xFF;
    for (std::vector<uint8_t>& datagram : others) {
        CTsPcrShifter shifter;
        const std::vector<uint8_t> before = datagram;
        shifter.Process(datagram.data(), datagram.size());
        EXPECT_EQ(datagram, before);
        EXPECT_TRUE(shifter.Learning());
    }
}

// The relay on loopback: it receives where the engine would have and hands the datagram on to
// the engine's port with the reference moved.
TEST(StreamRelay, HandsDatagramsOnWithTheShiftApplied)
{
    const int engineSide = ::socket(AF_INET, SOCK_DGRAM, 0);
    ASSERT_GE(engineSide, 0);
    CStreamRelay relay;
    int port = 0;
    std::string why;
    // A port of our own that nothing else uses: bind one, free it, give it to the relay.
    {
        const int probe = ::socket(AF_INET, SOCK_DGRAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof a;
        ASSERT_EQ(::bind(probe, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
        ASSERT_EQ(::getsockname(probe, reinterpret_cast<sockaddr*>(&a), &length), 0);
        port = ntohs(a.sin_port);
        ::close(probe);
    }
    ASSERT_TRUE(relay.Start("127.0.0.1", port, &why)) << why;
    ASSERT_NE(relay.EnginePort(), port);
    sockaddr_in engine{};
    engine.sin_family = AF_INET;
    engine.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    engine.sin_port = htons(static_cast<uint16_t>(relay.EnginePort()));
    ASSERT_EQ(::bind(engineSide, reinterpret_cast<sockaddr*>(&engine), sizeof engine), 0);

    // The port the relay holds cannot be had a second time: a second relay says why.
    CStreamRelay second;
    EXPECT_FALSE(second.Start("127.0.0.1", port, &why));
    EXPECT_NE(why.find("bind"), std::string::npos) << why;

    const int box = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in to = engine;
    to.sin_port = htons(static_cast<uint16_t>(port));
    const int64_t pcr = 1000 * kMs;
    std::vector<Packet> datagrams{PcrPacket(pcr), PesStart(kVideo, pcr + 740 * kMs, pcr + 700 * kMs),
                                  PesStart(kSound, pcr + 400 * kMs), PcrPacket(pcr + 40 * kMs)};
    for (const Packet& p : datagrams)
        ASSERT_EQ(::sendto(box, p.data(), p.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to), 188);
    std::vector<Packet> received;
    for (int i = 0; i < 4; ++i) {
        pollfd wait{engineSide, POLLIN, 0};
        ASSERT_EQ(::poll(&wait, 1, 5000), 1) << "datagram " << i;
        Packet p{};
        ASSERT_EQ(::recv(engineSide, p.data(), p.size(), 0), 188);
        received.push_back(p);
    }
    EXPECT_FALSE(HasPcr(received[0]));
    EXPECT_EQ(received[1], datagrams[1]);
    EXPECT_EQ(PcrOf(received[3]), pcr + 340 * kMs);
    relay.Stop(); // the count is the relay thread's until it has ended
    EXPECT_EQ(relay.Forwarded(), 4U);

    // Stopped, the relay gives the port back; resumed, it takes it again and hands on to the
    // same engine port, learning the stream afresh.
    {
        CStreamRelay other;
        EXPECT_TRUE(other.Start("127.0.0.1", port, &why)) << why;
    }
    const int enginePort = relay.EnginePort();
    ASSERT_TRUE(relay.Resume(&why)) << why;
    EXPECT_EQ(relay.EnginePort(), enginePort);
    Packet again = PcrPacket(pcr + 80 * kMs);
    ASSERT_EQ(::sendto(box, again.data(), again.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to), 188);
    pollfd wait{engineSide, POLLIN, 0};
    ASSERT_EQ(::poll(&wait, 1, 5000), 1);
    Packet p{};
    ASSERT_EQ(::recv(engineSide, p.data(), p.size(), 0), 188);
    EXPECT_FALSE(HasPcr(p));
    ::close(box);
    ::close(engineSide);
}

} // namespace
