// Late pictures with the clock shift kept as it was settled and with the shift that follows the
// stream, on the demo box's stream whose multiplexer delay swings from 0.7 s down to 0.3 s and back
// once a minute. The stream comes over RTP on loopback; each datagram goes through the shifter as
// the relay's would, and for every picture and sound packet the lead of its decoding stamp over
// the clock the engine would have seen is taken: with the following shift (what the shifter wrote)
// and with the fixed one (the clock as received plus the shift first settled). A stamp behind that
// clock reaches the engine late: it is shown only as far as the network cache makes up for it.
//
//   build/dev/bench/clock_follow/bench_clock_follow [seconds, default 75] [swing F:T:P, default 0.7:0.3:60]
#include "DemoBoxProcess.h"
#include "RawHttp.h"
#include "player/CTsPcrShifter.h"
#include "tests/support/TsPackets.h"

#include <algorithm>
#include <arpa/inet.h>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <netinet/in.h>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace {

using namespace tspackets;
using Clock = std::chrono::steady_clock;

struct Tally
{
    int pictures = 0, latePictures = 0, lateSound = 0;
    int64_t leastPictureLead = INT64_MAX, leastSoundLead = INT64_MAX;

    void Add(const PesStamp& s, int64_t lead)
    {
        if (s.Picture()) {
            ++pictures;
            latePictures += lead < 0;
            leastPictureLead = std::min(leastPictureLead, lead);
        } else {
            lateSound += lead < 0;
            leastSoundLead = std::min(leastSoundLead, lead);
        }
    }
    void Print(const char* name, int64_t shift) const
    {
        std::printf("%-10s %8d %13d %10d %12.0f %12.0f %9.0f\n", name, pictures, latePictures, lateSound,
                    static_cast<double>(leastPictureLead) / kMs, static_cast<double>(leastSoundLead) / kMs,
                    static_cast<double>(shift) / kMs);
    }
};

int BindLoopback(int* port)
{
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof a;
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &length) != 0)
        return -1;
    const int buffer = 4 << 20;
    (void)::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &buffer, sizeof buffer);
    *port = ntohs(a.sin_port);
    return fd;
}

} // namespace

int main(int argc, char** argv)
{
    const int seconds = argc > 1 ? std::clamp(std::atoi(argv[1]), 5, 600) : 75;
    const std::string swing = argc > 2 ? argv[2] : "0.7:0.3:60";
    DemoBoxProcess box({"--no-upnp", "--services", "4", "--mux-delay-swing", swing});
    if (!box.ok()) {
        std::printf("demo box: %s\n", box.error().c_str());
        return 1;
    }
    int port = 0;
    const int in = BindLoopback(&port);
    if (in < 0) {
        std::printf("no loopback port\n");
        return 1;
    }
    const std::string start =
        "start_streaming&sat_idx=0&svc_type=0&svc_idx=0&net_protocol=0&net_client_ip=\"127.0.0.1\""
        "&net_client_port=" +
        std::to_string(port) + "&pin_code=\"8351\"";
    const RawReply reply = boxQuery(box.port(), start, false, 20000);
    if (reply.status != 200 || reply.body.find("error=\"0\"") == std::string::npos) {
        std::printf("the box did not start the stream\n");
        return 1;
    }

    CTsPcrShifter shifter;
    Tally following, fixed;
    int64_t lastIn = -1, lastOut = -1;
    int64_t leastInputLead = INT64_MAX, mostInputLead = INT64_MIN;
    uint64_t datagrams = 0;
    std::vector<uint8_t> original(65536), shifted(65536);
    const Clock::time_point end = Clock::now() + std::chrono::seconds(seconds);
    while (Clock::now() < end) {
        pollfd wait{in, POLLIN, 0};
        if (::poll(&wait, 1, 200) <= 0)
            continue;
        const ssize_t n = ::recv(in, original.data(), original.size(), 0);
        if (n <= 0)
            continue;
        ++datagrams;
        std::copy(original.begin(), original.begin() + n, shifted.begin());
        shifter.Process(shifted.data(), static_cast<size_t>(n));
        for (const size_t at : PacketsOf(original.data(), static_cast<size_t>(n))) {
            if (HasPcr(original.data() + at)) {
                lastIn = PcrOf(original.data() + at);
                lastOut = HasPcr(shifted.data() + at) ? PcrOf(shifted.data() + at) : -1;
            }
            const std::optional<PesStamp> stamp = PesStampOf(original.data() + at);
            if (!stamp || lastIn < 0)
                continue;
            const int64_t inputLead = CTsPcrShifter::WrapDiff(stamp->stamp, lastIn);
            leastInputLead = std::min(leastInputLead, inputLead);
            mostInputLead = std::max(mostInputLead, inputLead);
            if (shifter.Learning() || lastOut < 0)
                continue;
            following.Add(*stamp, CTsPcrShifter::WrapDiff(stamp->stamp, lastOut));
            fixed.Add(*stamp, inputLead - shifter.SettledShiftTicks());
        }
    }
    (void)boxQuery(box.port(), "stop_streaming");
    ::close(in);
    std::printf("%llu datagrams in %d s, swing %s: the stamps led the clock as received by %.0f to %.0f ms; "
                "shift settled at %.0f ms\n",
                static_cast<unsigned long long>(datagrams), seconds, swing.c_str(),
                static_cast<double>(leastInputLead) / kMs, static_cast<double>(mostInputLead) / kMs,
                static_cast<double>(shifter.SettledShiftTicks()) / kMs);
    std::printf("%-10s %8s %13s %10s %12s %12s %9s\n", "shift", "pictures", "late pictures", "late sound",
                "least pic ms", "least snd ms", "end ms");
    fixed.Print("fixed", shifter.SettledShiftTicks());
    following.Print("following", shifter.ShiftTicks());
    return 0;
}
