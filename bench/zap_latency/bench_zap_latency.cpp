// Click to moving picture, and stutter on an impaired network, for the media player's start
// profiles. The demo box streams RTP and UDP through our impairing relay (CUdpImpairRelay) and
// serves HLS itself; the harness times, from Open + play:
//   first   the first picture the engine hands to the video output,
//   moving  the first of four successive picture changes that come at most 250 ms apart,
// and, once moving, over the watch time: stand-stills (no new picture for more than 200 ms, three
// frame times of the box's 15 frames/s), the longest one, pictures never shown (15/s expected) and
// pictures the engine itself reports lost. Pictures are read through the engine's video
// callbacks, so the figures do not depend on a screen grab.
//
//   tools/netns-run xvfb-run -a env HOME=build/zap/tests/player/home
//       build/zap/bench/zap_latency/bench_zap_latency [runs] [watch-seconds] [RTP|UDP|HLS|ALL] [variant...]
//
// Each zap phase runs `runs` times per variant on the clean link; the impaired phase plays each
// variant once for `watch-seconds` on the LAN-like and Wi-Fi-like profiles (RTP and UDP only:
// HLS goes over TCP, which hides loss as delay).
#include "CUdpImpairRelay.h"
#include "DemoBoxProcess.h"
#include "RawHttp.h"
#include "tests/support/MedianOf.h"
#include "player/CMediaPlayer.h"

#include <QCoreApplication>
#include <QTest>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <map>
#include <mutex>
#include <random>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kWidth = 320;
constexpr int kHeight = 240;
constexpr double kFps = 15.0;
constexpr double kStillMs = 200.0;
constexpr int kRelayPort = 15004;

double Ms(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double, std::milli>(to - from).count();
}

// The pictures the engine displays: the time of each one that differs from the one before.
class FrameWatch
{
public:
    void Attach(libvlc_media_player_t* player)
    {
        libvlc_video_set_callbacks(player, &FrameWatch::Lock, nullptr, &FrameWatch::Display, this);
        libvlc_video_set_format(player, "RV32", kWidth, kHeight, kWidth * 4);
    }
    void Reset()
    {
        const std::lock_guard<std::mutex> lock(m_lock);
        m_changes.clear();
        m_last = 0;
    }
    std::vector<Clock::time_point> Changes()
    {
        const std::lock_guard<std::mutex> lock(m_lock);
        return m_changes;
    }

private:
    static void* Lock(void* self, void** planes)
    {
        planes[0] = static_cast<FrameWatch*>(self)->m_pixels.data();
        return nullptr;
    }
    static void Display(void* self, void*)
    {
        auto* watch = static_cast<FrameWatch*>(self);
        uint64_t hash = 1469598103934665603ull;
        for (size_t i = 0; i < watch->m_pixels.size(); i += 7) {
            hash ^= watch->m_pixels[i];
            hash *= 1099511628211ull;
        }
        const std::lock_guard<std::mutex> lock(watch->m_lock);
        if (hash != watch->m_last)
            watch->m_changes.push_back(Clock::now());
        watch->m_last = hash;
    }

    std::vector<uint32_t> m_pixels = std::vector<uint32_t>(kWidth * kHeight);
    std::mutex m_lock;
    std::vector<Clock::time_point> m_changes;
    uint64_t m_last = 0;
};

struct Variant
{
    std::string name;
    enum Kind
    {
        Bare,    // a plain libvlc player, engine and media defaults
        Engine,  // our engine, with `options` added to the media
        Profile, // our engine with its low-latency start profile
    } kind;
    std::vector<std::string> options;
};

struct Sample
{
    double first = -1;
    double moving = -1;
    int stills = 0;
    double longest = 0;
    double frozenMs = 0;
    int shown = 0;
    int missing = 0;
    int engineLost = 0;
    double watchedMs = 0;
};

class Runner
{
public:
    Runner()
    {
        m_player.AttachEvents();
        m_watch.Attach(m_player.Handle());
        m_ours.AttachEvents();
        m_ours.SetStartProfile(CMediaPlayer::StartLowLatency);
        m_oursWatch.Attach(m_ours.Handle());
        m_bareInstance.reset(libvlc_new(0, nullptr));
        m_bare.reset(libvlc_media_player_new(m_bareInstance.get()));
        m_bareWatch.Attach(m_bare.get());
    }
    ~Runner()
    {
        libvlc_media_player_stop(m_bare.get());
        m_player.Stop();
        m_ours.Stop();
    }

    // Low-latency start forgets what it learnt about the link.
    void ForgetLink()
    {
        m_ours.SetStartProfile(CMediaPlayer::StartStandard);
        m_ours.SetStartProfile(CMediaPlayer::StartLowLatency);
    }
    int OursCacheMs() const { return m_ours.LowLatencyCacheMs(); }
    // The clock shift the relay learnt for the last low-latency start, in ms.
    int OursShiftMs() const
    {
        return m_ours.Relay() ? static_cast<int>(m_ours.Relay()->ShiftTicks() / CTsPcrShifter::kTicksPerMs) : -1;
    }

    Sample Run(const Variant& variant, const std::string& address, int watchMs)
    {
        const bool bare = variant.kind == Variant::Bare;
        const bool ours = variant.kind == Variant::Profile;
        CMediaPlayer& player = ours ? m_ours : m_player;
        FrameWatch& watch = bare ? m_bareWatch : ours ? m_oursWatch : m_watch;
        // A click comes at any point of the box's one-second key-frame cycle; without this the
        // runs lock onto one phase of it and every run measures the same wait for a key frame.
        QTest::qWait(std::uniform_int_distribution<int>(0, 999)(m_random));
        watch.Reset();
        const Clock::time_point start = Clock::now();
        if (bare) {
            vlc::Media media(libvlc_media_new_location(m_bareInstance.get(), address.c_str()));
            libvlc_media_player_set_media(m_bare.get(), media.get());
            libvlc_media_player_play(m_bare.get());
        } else {
            player.Open(QString::fromStdString(address));
            if (libvlc_media_t* media = libvlc_media_player_get_media(player.Handle())) {
                for (const std::string& option : variant.options)
                    libvlc_media_add_option(media, option.c_str());
                libvlc_media_release(media);
            }
            player.Play();
        }
        Sample s;
        // Wait for motion (or give up), then watch.
        Clock::time_point motion{};
        const Clock::time_point giveUp = start + std::chrono::seconds(10);
        while (Clock::now() < giveUp) {
            QTest::qWait(20);
            const std::vector<Clock::time_point> changes = watch.Changes();
            motion = FindMotion(changes);
            if (motion != Clock::time_point{})
                break;
        }
        libvlc_media_player_t* handle = bare ? m_bare.get() : player.Handle();
        libvlc_media_stats_t before{};
        if (libvlc_media_t* media = libvlc_media_player_get_media(handle)) {
            libvlc_media_get_stats(media, &before);
            libvlc_media_release(media);
        }
        if (motion != Clock::time_point{}) {
            const Clock::time_point end = motion + std::chrono::milliseconds(watchMs);
            while (Clock::now() < end)
                QTest::qWait(std::max(1, std::min(100, static_cast<int>(Ms(Clock::now(), end)))));
        }
        const std::vector<Clock::time_point> changes = watch.Changes();
        if (!changes.empty())
            s.first = Ms(start, changes.front());
        if (motion != Clock::time_point{}) {
            s.moving = Ms(start, motion);
            const Clock::time_point end = motion + std::chrono::milliseconds(watchMs);
            Clock::time_point previous = motion;
            for (const Clock::time_point& at : changes) {
                if (at <= motion || at > end)
                    continue;
                ++s.shown;
                const double gap = Ms(previous, at);
                if (gap > kStillMs) {
                    ++s.stills;
                    s.frozenMs += gap;
                }
                s.longest = std::max(s.longest, gap);
                previous = at;
            }
            const double tail = Ms(previous, end);
            if (tail > kStillMs) {
                ++s.stills;
                s.frozenMs += tail;
            }
            s.longest = std::max(s.longest, tail);
            s.watchedMs = watchMs;
            s.missing = std::max(0, static_cast<int>(watchMs / 1000.0 * kFps + 0.5) - s.shown);
            libvlc_media_stats_t after{};
            if (libvlc_media_t* media = libvlc_media_player_get_media(handle)) {
                libvlc_media_get_stats(media, &after);
                libvlc_media_release(media);
            }
            s.engineLost = after.i_lost_pictures - before.i_lost_pictures;
        }
        if (bare)
            libvlc_media_player_stop(m_bare.get());
        else
            player.Stop();
        QTest::qWait(300);
        return s;
    }

    // The first picture change that starts four changes in a row, each at most 250 ms after the
    // one before; the very first picture is the engine's still preview and does not count.
    static Clock::time_point FindMotion(const std::vector<Clock::time_point>& changes)
    {
        for (size_t i = 1; i + 3 < changes.size(); ++i) {
            bool steady = true;
            for (size_t k = i + 1; k <= i + 3 && steady; ++k)
                steady = Ms(changes[k - 1], changes[k]) <= 250.0;
            if (steady)
                return changes[i];
        }
        return {};
    }

private:
    CMediaPlayer m_player; // standard start, with the variant's options
    FrameWatch m_watch;
    CMediaPlayer m_ours; // low-latency start, learning across the runs of one link
    FrameWatch m_oursWatch;
    vlc::Instance m_bareInstance;
    vlc::Player m_bare;
    FrameWatch m_bareWatch;
    std::mt19937 m_random{11};
};

struct Protocol
{
    const char* name;
    int code; // the box's net_protocol
    std::string address;
    int playerPort;
};

bool StartStream(int boxPort, const Protocol& protocol)
{
    (void)boxQuery(boxPort, "stop_streaming");
    const std::string query =
        "start_streaming&sat_idx=0&svc_type=0&svc_idx=0&net_protocol=" + std::to_string(protocol.code) +
        "&net_client_ip=\"127.0.0.1\"&net_client_port=" +
        std::to_string(protocol.code == 2 ? 0 : kRelayPort) + "&pin_code=\"8351\"";
    const RawReply reply = boxQuery(boxPort, query, false, 20000);
    return reply.status == 200 && reply.body.find("error=\"0\"") != std::string::npos;
}

std::vector<Variant> Variants(const std::vector<std::string>& picked)
{
    const std::vector<Variant> all{
        {"bare", Variant::Bare, {}},
        {"engine", Variant::Engine, {}},
        {"ours", Variant::Profile, {}},
        {"ours-again", Variant::Profile, {}}, // the next zap, with what the first one learnt
        {"cache300", Variant::Engine, {":network-caching=300"}},
        {"cache200", Variant::Engine, {":network-caching=200"}},
        {"cache150", Variant::Engine, {":network-caching=150"}},
        {"cache100", Variant::Engine, {":network-caching=100"}},
        {"cache50", Variant::Engine, {":network-caching=50"}},
        {"cache0", Variant::Engine, {":network-caching=0"}},
        {"c150-avf", Variant::Engine, {":network-caching=150", ":demux=avformat", ":avformat-format=mpegts"}},
        {"c150-avfp",
         Variant::Engine,
         {":network-caching=150", ":demux=avformat", ":avformat-format=mpegts",
          ":avformat-options={probesize=32768,analyzeduration=200000}"}},
        {"c0-jit0", Variant::Engine, {":network-caching=0", ":clock-jitter=0"}},
        {"c50-nosync", Variant::Engine, {":network-caching=50", ":clock-synchro=0"}},
        {"c150-nosync", Variant::Engine, {":network-caching=150", ":clock-synchro=0"}},
        {"c150-jit0", Variant::Engine, {":network-caching=150", ":clock-jitter=0"}},
        {"c150-fast", Variant::Engine, {":network-caching=150", ":avcodec-fast", ":avcodec-hurry-up"}},
        {"c150-nocc", Variant::Engine, {":network-caching=150", ":no-ts-cc-check"}},
        {"c200-nocc", Variant::Engine, {":network-caching=200", ":no-ts-cc-check"}},
        {"engine-nocc", Variant::Engine, {":no-ts-cc-check"}},
        {"c100-nopcr", Variant::Engine, {":network-caching=100", ":no-ts-trust-pcr"}},
        {"c150-nopcr", Variant::Engine, {":network-caching=150", ":no-ts-trust-pcr"}},
        {"c200-nopcr", Variant::Engine, {":network-caching=200", ":no-ts-trust-pcr"}},
        {"c300-nopcr", Variant::Engine, {":network-caching=300", ":no-ts-trust-pcr"}},
        {"c500-nopcr", Variant::Engine, {":network-caching=500", ":no-ts-trust-pcr"}},
        {"c200-misord", Variant::Engine, {":network-caching=200", ":rtp-max-misorder=300"}},
    };
    std::vector<Variant> out;
    for (const Variant& v : all)
        if ((picked.empty() &&
             (v.name == "bare" || v.name == "engine" || v.name == "ours" || v.name == "ours-again")) ||
            std::find(picked.begin(), picked.end(), v.name) != picked.end())
            out.push_back(v);
    return out;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const int watchSeconds = argc > 2 ? std::max(0, std::atoi(argv[2])) : 30;
    const std::string only = argc > 3 && std::strcmp(argv[3], "ALL") != 0 ? argv[3] : "";
    std::vector<std::string> picked;
    for (int i = 4; i < argc; ++i)
        picked.emplace_back(argv[i]);
    const std::vector<Variant> variants = Variants(picked);

    // KELVO_BENCH_LONG_SOUND=1: the box packs sound as ffmpeg does by default, a third of a second a
    // packet, which leaves the stream's clock less time to give back than broadcast packing.
    const bool longSound = qEnvironmentVariableIntValue("KELVO_BENCH_LONG_SOUND") == 1;
    std::vector<std::string> boxArguments{"--no-upnp"};
    if (longSound)
        boxArguments.emplace_back("--long-sound-packets");
    DemoBoxProcess box(boxArguments);
    if (!box.ok()) {
        std::printf("demo box: %s\n", box.error().c_str());
        return 1;
    }
    const std::vector<Protocol> protocols{
        {"RTP", 0, "rtp://127.0.0.1:5004", 5004},
        {"UDP", 1, "udp://@:1234", 1234},
        {"HLS", 2, "http://root:@127.0.0.1:" + std::to_string(box.port()) + "/quarn/content.m3u8", 0},
    };
    Runner runner;
    std::printf("click -> picture, ms from Open+play, median of %d runs on the clean link; stills = "
                "stand-stills > %.0f ms, per %d s watched after motion; box sound packing: %s\n",
                runs, kStillMs, watchSeconds, longSound ? "ffmpeg default" : "a frame per packet");
    std::printf("%-5s %-11s %-12s %7s %7s %7s %6s %7s %8s %7s %6s\n", "proto", "link", "variant", "first",
                "moving", "stills", "frozen", "longest", "missing", "vlcLost", "relay");
    for (const Protocol& protocol : protocols) {
        if (!only.empty() && only != protocol.name)
            continue;
        CUdpImpairRelay relay(kRelayPort, protocol.playerPort, 7);
        if (protocol.playerPort != 0 && !relay.Start()) {
            std::printf("%s: relay did not start\n", protocol.name);
            continue;
        }
        if (!StartStream(box.port(), protocol)) {
            std::printf("%s: the box did not start the stream\n", protocol.name);
            continue;
        }
        QTest::qWait(protocol.code == 2 ? 4000 : 1500);
        std::vector<CUdpImpairRelay::Profile> links{CUdpImpairRelay::Clean()};
        if (protocol.playerPort != 0 && watchSeconds > 0) {
            links.push_back(CUdpImpairRelay::Lan());
            links.push_back(CUdpImpairRelay::Wifi());
        }
        for (const CUdpImpairRelay::Profile& link : links) {
            const bool clean = link.name == "clean";
            relay.SetProfile(link);
            runner.ForgetLink();
            std::map<std::string, std::vector<Sample>> samples;
            const int repeats = clean ? runs : 1;
            for (int run = 0; run < repeats; ++run)
                for (const Variant& variant : variants) {
                    (void)relay.Take();
                    const Sample x =
                        runner.Run(variant, protocol.address, clean ? 1500 : watchSeconds * 1000);
                    samples[variant.name].push_back(x);
                    const CUdpImpairRelay::Counters c = relay.Take();
                    if (qEnvironmentVariableIsSet("KELVO_BENCH_VERBOSE") || !clean)
                        std::printf(
                            "  %s %s %-12s first %5.0f moving %5.0f stills %d frozen %5.0f longest %4.0f "
                            "missing %d vlcLost %d ourCache %d shift %d | relay in %llu dropped %llu reordered "
                            "%llu spells %llu\n",
                            protocol.name, link.name.c_str(), variant.name.c_str(), x.first, x.moving,
                            x.stills, x.frozenMs, x.longest, x.missing, x.engineLost, runner.OursCacheMs(),
                            runner.OursShiftMs(),
                            static_cast<unsigned long long>(c.received),
                            static_cast<unsigned long long>(c.dropped),
                            static_cast<unsigned long long>(c.reordered),
                            static_cast<unsigned long long>(c.spells));
                    std::fflush(stdout);
                }
            for (const Variant& variant : variants) {
                const std::vector<Sample>& all = samples[variant.name];
                auto pick = [&all](auto member) {
                    std::vector<double> v;
                    for (const Sample& x : all)
                        v.push_back(static_cast<double>(x.*member));
                    return MedianOf(v);
                };
                std::printf("%-5s %-11s %-12s %7.0f %7.0f %7.0f %6.0f %7.0f %8.0f %7.0f %6s\n", protocol.name,
                            link.name.c_str(), variant.name.c_str(), pick(&Sample::first),
                            pick(&Sample::moving), clean ? -1.0 : pick(&Sample::stills),
                            clean ? -1.0 : pick(&Sample::frozenMs), clean ? -1.0 : pick(&Sample::longest),
                            clean ? -1.0 : pick(&Sample::missing), clean ? -1.0 : pick(&Sample::engineLost),
                            protocol.playerPort != 0 ? "yes" : "-");
            }
            std::fflush(stdout);
        }
        (void)boxQuery(box.port(), "stop_streaming");
    }
    return 0;
}
