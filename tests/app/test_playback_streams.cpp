// Playback of real streams, under Xvfb inside a private network namespace (the box's fixed ports
// RTP 5004, UDP 1234 and HTTP 80 are the test's alone).
#include "PlaybackTestSupport.h"
#include "model/CBoxSettings.h"
#include "player/CKelvoControlBar.h"
#include "player/CKelvoInfoBox.h"
#include "player/CKelvoViewPlayer.h"
#include "player/CMediaPlayer.h"
#include "player/CVideoSurface.h"
#include "tests/support/ScreenPicture.h"
#include "ui/CKelvoButton.h"

#include <QImage>
#include <QPixmap>
#include <QProcess>
#include <QScreen>
#include <QSet>

namespace {

bool WaitForPicture(QWidget* surface, int ms)
{
    return QTest::qWaitFor([surface] { return ShowsPicture(surface); }, ms);
}

// MPEG-TS sent by ffmpeg from `sourceAddress` to 127.0.0.1, as a box on the network sends it:
// from its own address, not from the one this computer listens on.
class ForeignStream final
{
public:
    ForeignStream(int protocol, const QString& sourceAddress)
    {
        QStringList args{"-hide_banner", "-loglevel", "error",
                         "-nostdin",     "-re",       "-f",
                         "lavfi",        "-i",        "testsrc=size=320x240:rate=25",
                         "-t",           "60",        "-c:v",
                         "mpeg2video",   "-g",        "12"};
        if (protocol == CBoxSettings::RTP)
            args << "-f"
                 << "rtp_mpegts" << QStringLiteral("rtp://127.0.0.1:5004?localaddr=%1").arg(sourceAddress);
        else
            args << "-f"
                 << "mpegts"
                 << QStringLiteral("udp://127.0.0.1:1234?localaddr=%1&pkt_size=1316").arg(sourceAddress);
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(QStringLiteral("ffmpeg"), args);
        m_started = m_process.waitForStarted(5000);
    }
    ~ForeignStream()
    {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
    Q_DISABLE_COPY_MOVE(ForeignStream)
    bool Started() const { return m_started; }

private:
    QProcess m_process;
    bool m_started = false;
};

struct SenderCase
{
    const char* name;
    int protocol;
    const char* address; // empty: the address the settings make for this computer at 127.0.0.1
    bool plays;
};

class ForeignSenderTest : public ::testing::TestWithParam<SenderCase>
{
};

} // namespace

TEST_P(ForeignSenderTest, StreamFromAnotherAddressOfTheNetwork)
{
    const SenderCase& c = GetParam();
    CVideoSurface surface;
    surface.resize(320, 240);
    surface.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&surface));
    CMediaPlayer player;
    ASSERT_TRUE(player.IsValid());
    player.SetVideoWindow(&surface);
    player.AttachEvents();
    QObject::connect(&player, &CMediaPlayer::videoOutputChanged, &surface, &CVideoSurface::SetVideoShown);

    CBoxSettings settings;
    settings.streamingProtocol = c.protocol;
    const QString address =
        *c.address ? QString::fromLatin1(c.address)
                   : settings.MediaAddress(QStringLiteral("127.0.0.1"), QStringLiteral("127.0.0.9"));
    // 127.0.0.2 is this namespace's loopback too, but not the address the player was given.
    ForeignStream stream(c.protocol, QStringLiteral("127.0.0.2"));
    ASSERT_TRUE(stream.Started());
    ASSERT_TRUE(player.Open(address));
    ASSERT_TRUE(player.Play());
    EXPECT_EQ(WaitForPicture(&surface, c.plays ? 15000 : 4000), c.plays) << address.toStdString();
    player.Stop();
}

INSTANTIATE_TEST_SUITE_P(Senders, ForeignSenderTest,
                         ::testing::Values(SenderCase{"Udp", CBoxSettings::UDP, "", true},
                                           SenderCase{"Rtp", CBoxSettings::RTP, "", true},
                                           // The form that named this computer's address: the engine took it
                                           // for the only sender to accept, so a box's stream never showed.
                                           SenderCase{"UdpNamingTheListener", CBoxSettings::UDP,
                                                      "udp://127.0.0.1:0", false}),
                         [](const auto& param) { return std::string(param.param.name); });

// ---- the frame with the demo box's streams ------------------------------------------------------

class FramePlaysTest : public PlaybackTest, public ::testing::WithParamInterface<int>
{
};

TEST_P(FramePlaysTest, SelectPlaysAndSelectingTheSameServiceAgainStops)
{
    const int protocol = GetParam();
    DemoBoxProcess box{{"--no-upnp", "--services", "40"}};
    ASSERT_TRUE(box.ok()) << box.error();
    Start(box.port(), protocol);
    Frame().resize(1100, 760);
    const int first = FindPlayable(0);
    const int second = FindPlayable(0, first + 1);
    ASSERT_GE(second, 0);
    const int keyA = Services()[static_cast<size_t>(first)]->key;
    const int keyB = Services()[static_cast<size_t>(second)]->key;
    const std::string startA = StartOf(*Services()[static_cast<size_t>(first)]);
    const std::string startB = StartOf(*Services()[static_cast<size_t>(second)]);
    CMediaPlayer& player = Frame().PlayerView().MediaPlayer();
    CVideoSurface* surface = Frame().PlayerView().VideoSurface();
    int startedReports = 0;
    QObject::connect(&player, &CMediaPlayer::started, &Frame(), [&] { ++startedReports; });
    // The channel-information button opens the running event's details: it works only once
    // pictures come, and no longer after a stop.
    const CKelvoButton* info =
        static_cast<CKelvoControlBar*>(Frame().BarWidget(CMainFrame::ControlBar))->InfoBox()->InfoButton();
    EXPECT_FALSE(info->isEnabled());
    ClearBoxLog(box.port());

    Messages().playService(keyA);
    EXPECT_EQ(State().streamingService, keyA) << env.Messages().toStdString();
    EXPECT_TRUE(QTest::qWaitFor([&] { return startedReports == 1; }, 20000));
    EXPECT_TRUE(WaitForPicture(surface, 10000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return info->isEnabled(); }, 5000));

    // Another service: the player stops and the new stream starts.
    Messages().playService(keyB);
    EXPECT_EQ(State().streamingService, keyB);
    EXPECT_EQ(State().lastStreamingService, keyB);
    EXPECT_TRUE(QTest::qWaitFor([&] { return startedReports == 2; }, 20000));

    // The same service again: stopped, here and on the box.
    Messages().playService(keyB);
    EXPECT_EQ(State().streamingService, -1);
    EXPECT_EQ(State().lastStreamingService, keyB);
    EXPECT_EQ(player.State(), CMediaPlayer::Stopped);
    EXPECT_FALSE(player.IsPlaying());
    EXPECT_FALSE(info->isEnabled());
    EXPECT_EQ(Streaming(box.port()), (std::vector<std::string>{startA, startB, "stop"}))
        << BoxLog(box.port());
    EXPECT_TRUE(env.Messages().isEmpty()) << env.Messages().toStdString();
}

INSTANTIATE_TEST_SUITE_P(Protocols, FramePlaysTest,
                         ::testing::Values(CBoxSettings::RTP, CBoxSettings::UDP, CBoxSettings::HLS),
                         [](const auto& param) {
                             return std::string(param.param == CBoxSettings::RTP   ? "Rtp"
                                                : param.param == CBoxSettings::UDP ? "Udp"
                                                                                   : "Hls");
                         });
