// Zap time of the whole program: from the channel's selection (UM_PLAY_SERVICE, what a double-click
// or Enter on a row sends) to the first picture drawn in the frame's window, for the demo box's
// RTP, UDP and HLS streams. In the same run and on the same stream: the box's start-streaming round
// trip on its own and a bare libvlc player opening the stream, which together are the floor a
// client can reach. Then the cost of a Right-arrow step until its stream starts, beyond the wait
// that lets several steps start only once.
//
//   tools/netns-run xvfb-run -a -s "-screen 0 1400x900x24"
//       env HOME=<folder with a null .asoundrc> build/<dir>/bench/zap/bench_zap [runs]
//
// The namespace gives the program the box's ports (RTP 5004, UDP 1234, HTTP 80) to itself.
#include "DemoBoxProcess.h"
#include "RawHttp.h"
#include "app/CKelvoCommandTable.h"
#include "app/CKelvoPlayerApp.h"
#include "app/CMainFrame.h"
#include "app/CPlaybackController.h"
#include "app/settings/CKelvoAppState.h"
#include "bench/zap/ZapBenchSupport.h"
#include "commands/CMainFrameMessages.h"
#include "commands/KelvoCommandIds.h"
#include "model/CBoxSettings.h"
#include "model/CQuarnDataModel.h"
#include "player/CKelvoViewPlayer.h"
#include "player/CMediaPlayer.h"
#include "player/CVideoSurface.h"
#include "player/VlcHandles.h"
#include "tests/support/MedianOf.h"
#include "tests/support/ScreenPicture.h"

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double, std::milli>(to - from).count();
}

// The moment the window first shows a picture, looked at every few milliseconds; time_point{}
// when none came within the limit.
Clock::time_point WaitForPicture(QWidget* surface, int limitMs = 20000)
{
    const Clock::time_point giveUp = Clock::now() + std::chrono::milliseconds(limitMs);
    while (Clock::now() < giveUp) {
        if (surface->isVisible() && ShowsPicture(surface))
            return Clock::now();
        QTest::qWait(4);
    }
    return {};
}

// The engine draws into its window behind Qt's back and leaves its last picture there; black
// again, the next first picture is the next stream's.
void Blank(CVideoSurface* surface)
{
    surface->SetVideoShown(false);
    surface->repaint();
    (void)QTest::qWaitFor([surface] { return !ShowsPicture(surface); }, 3000);
}

struct ZapSample
{
    double preStop = -1; // the previous picture's player stopped before the clock starts
    double requestSent = -1;
    double boxReply = -1;
    double open = -1;
    double firstPicture = -1;
    double total = -1;
    double bareRoundTrip = -1;
    double bareFirstPicture = -1;
};

// The program's parts, timed from the playback controller's own signals.
class FrameProbe
{
public:
    explicit FrameProbe(CPlaybackController& playback)
    {
        QObject::connect(&playback.Now(), &CPlaybackState::requestingChanged, &playback,
                         [this](bool on) { (on ? busyOn : busyOff) = Clock::now(); });
    }
    void Reset() { busyOn = busyOff = {}; }
    Clock::time_point busyOn{};
    Clock::time_point busyOff{};
};

} // namespace

int main(int argc, char** argv)
{
    QApplication qapp(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    const int stepRuns = std::max(1, (runs + 1) / 2);

    DemoBoxProcess box({"--no-upnp", "--services", "40"});
    if (!box.ok()) {
        std::printf("demo box: %s\n", box.error().c_str());
        return 1;
    }
    QTemporaryDir dir;
    const QString settings = PrepareProgramFolder(dir);

    // The bare player: engine defaults, a window of its own beside the frame.
    vlc::Instance bareInstance(libvlc_new(0, nullptr));
    vlc::Player bare(libvlc_media_player_new(bareInstance.get()));
    CVideoSurface bareSurface;
    bareSurface.resize(360, 240);
    bareSurface.move(CMainFrame::kMinimumNormal.width() + 8,
                     0); // beside: a covered window reads back what covers it
    bareSurface.show();
    (void)QTest::qWaitForWindowExposed(&bareSurface);
    libvlc_media_player_set_xwindow(bare.get(), static_cast<uint32_t>(bareSurface.winId()));

    std::printf("zap on the demo box's streams in a private namespace, %d runs, median milliseconds\n", runs);
    std::printf("%-5s %8s %8s %8s %8s %8s %8s | %8s %8s %8s | %6s\n", "proto", "pre-stop", "request", "box",
                "open", "picture", "zap", "box-rt", "bare-pic", "floor", "ratio");
    std::vector<std::string> stepLines;
    for (int protocol : {0, 1, 2}) {
        if (!WriteBoxSettings(settings, box.port(), protocol))
            return 1;
        auto app = std::make_unique<CKelvoPlayerApp>(settings);
        if (!app->InitInstance())
            return 1;
        CMainFrame& frame = *app->Frame();
        frame.move(0, 0);
        frame.resize(CMainFrame::kMinimumNormal);
        QTest::qWait(300);
        CPlaybackController& playback = frame.Playback();
        CMediaPlayer& player = frame.PlayerView().MediaPlayer();
        CVideoSurface* surface = frame.PlayerView().VideoSurface();
        FrameProbe probe(playback);

        std::vector<const CServiceElement*> tv;
        for (const auto& s : app->Database().Services())
            if (s->type == 0 && s->streamingPossible)
                tv.push_back(s.get());
        std::vector<ZapSample> samples;
        for (int run = 0; run < runs && tv.size() >= 2; ++run) {
            const CServiceElement& service = *tv[static_cast<size_t>(run % 2)];
            const int key = service.key;
            ZapSample s;
            const Clock::time_point stopAt = Clock::now();
            player.Stop();
            s.preStop = Ms(stopAt, Clock::now());
            Blank(surface);
            probe.Reset();

            const Clock::time_point t0 = Clock::now();
            emit frame.Messages().playService(key);
            const Clock::time_point returned = Clock::now();
            const Clock::time_point picture = WaitForPicture(surface);
            if (probe.busyOn != Clock::time_point{} && probe.busyOff != Clock::time_point{}) {
                s.requestSent = Ms(t0, probe.busyOn);
                s.boxReply = Ms(probe.busyOn, probe.busyOff);
                s.open = Ms(probe.busyOff, returned);
            }
            if (picture != Clock::time_point{}) {
                s.firstPicture = Ms(returned, picture);
                s.total = s.preStop + Ms(t0, picture);
            }

            // The floor: the same start asked of the box directly, then a bare player on the same
            // address.
            player.Stop();
            Blank(&bareSurface);
            const QString address = app->Database().GetMediaAddress();
            const std::string start =
                "stop_streaming++start_streaming&sat_idx=" + std::to_string(service.satIdx) +
                "&svc_type=" + std::to_string(service.type) + "&svc_idx=" + std::to_string(service.idx) +
                "&net_protocol=" + std::to_string(protocol) +
                "&net_client_ip=%22127.0.0.1%22&net_client_port=" +
                std::to_string(CBoxSettings::ClientPort(protocol)) + "&pin_code=%228351%22";
            const Clock::time_point asked = Clock::now();
            const RawReply reply = boxQuery(box.port(), start, true, 15000);
            const Clock::time_point answered = Clock::now();
            if (reply.status == 200 && reply.body.find("error=\"0\"") != std::string::npos) {
                s.bareRoundTrip = Ms(asked, answered);
                vlc::Media media(libvlc_media_new_location(bareInstance.get(), address.toUtf8().constData()));
                libvlc_media_player_set_media(bare.get(), media.get());
                libvlc_media_player_play(bare.get());
                const Clock::time_point barePicture = WaitForPicture(&bareSurface);
                if (barePicture != Clock::time_point{})
                    s.bareFirstPicture = Ms(answered, barePicture);
                libvlc_media_player_stop(bare.get());
            }
            samples.push_back(s);
            if (qEnvironmentVariableIsSet("KELVO_BENCH_VERBOSE"))
                std::printf(
                    "  %s run %d: pre-stop %.0f request %.0f box %.0f open %.0f picture %.0f zap %.0f | "
                    "box-rt %.0f bare-pic %.0f\n",
                    ProtocolName(protocol), run, s.preStop, s.requestSent, s.boxReply, s.open, s.firstPicture,
                    s.total, s.bareRoundTrip, s.bareFirstPicture);
        }
        auto pick = [&samples](double ZapSample::*member) {
            std::vector<double> v;
            for (const ZapSample& x : samples)
                v.push_back(x.*member);
            return MedianOf(v);
        };
        const double zap = pick(&ZapSample::total);
        const double floor = pick(&ZapSample::bareRoundTrip) + pick(&ZapSample::bareFirstPicture);
        std::printf("%-5s %8.0f %8.0f %8.0f %8.0f %8.0f %8.0f | %8.0f %8.0f %8.0f | %6.2f\n",
                    ProtocolName(protocol), pick(&ZapSample::preStop), pick(&ZapSample::requestSent),
                    pick(&ZapSample::boxReply), pick(&ZapSample::open), pick(&ZapSample::firstPicture), zap,
                    pick(&ZapSample::bareRoundTrip), pick(&ZapSample::bareFirstPicture), floor, zap / floor);
        std::fflush(stdout);

        // A Right-arrow step from the service playing now: the wait, then the same path as above.
        std::vector<double> steps;
        std::vector<double> beyond;
        for (int run = 0; run < stepRuns; ++run) {
            player.Stop();
            Blank(surface);
            probe.Reset();
            const Clock::time_point pressed = Clock::now();
            frame.Commands().Trigger(Kelvo::ID_NEXT_SERVICE);
            const Clock::time_point picture = WaitForPicture(surface, 25000);
            if (picture == Clock::time_point{} || probe.busyOn == Clock::time_point{})
                continue;
            steps.push_back(Ms(pressed, picture));
            beyond.push_back(Ms(probe.busyOn, picture));
        }
        char line[200];
        std::snprintf(line, sizeof line,
                      "%-5s step: press to first picture %.0f, of which the wait %d; from the wait's end "
                      "%.0f (%zu runs)",
                      ProtocolName(protocol), MedianOf(steps), CPlaybackController::kStepCommitMs,
                      MedianOf(beyond), steps.size());
        stepLines.push_back(line);

        frame.close();
        app->ExitInstance();
        app.reset();
        QTest::qWait(200);
    }
    for (const std::string& line : stepLines)
        std::printf("%s\n", line.c_str());
    std::printf("zap = pre-stop + request + box + open + picture; floor = box-rt + bare-pic (the box's "
                "start round trip asked directly, then a bare libvlc player on the same address)\n");
    return 0;
}
