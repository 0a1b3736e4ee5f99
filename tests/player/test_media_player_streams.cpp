#include "PlayerTestSupport.h"

#include <QSignalSpy>

namespace {

struct StreamCase
{
    const char* name;
    CTestStream::Kind kind;
    bool audioOnly;
};

class StreamPlayback : public testing::TestWithParam<StreamCase>
{
};

// A whole stream start as the main frame drives it, on each protocol a box streams over: mute
// and volume chosen before anything plays, open, play, exactly one "started", the engine's audio
// following the application's wish, the track information, the picture on screen, stop; the
// typed signals and properties beside the message.
TEST_P(StreamPlayback, StartsReportsOnceAndStops)
{
    const StreamCase& param = GetParam();
    PlayerFixture f;
    QSignalSpy muteSpy(f.player.get(), &CMediaPlayer::muteChanged);
    QSignalSpy volumeSpy(f.player.get(), &CMediaPlayer::volumeChanged);
    f.player->SetVolume(250); // clamped to the 100 it already has: no change
    f.player->SetMute(true);
    f.player->SetVolume(37);
    f.player->SetMute(true);
    f.player->setProperty("volume", 37);
    EXPECT_EQ(f.player->property("mute").toBool(), true);
    EXPECT_EQ(muteSpy.count(), 1);
    ASSERT_EQ(volumeSpy.count(), 1);
    EXPECT_EQ(volumeSpy.at(0).at(0).toInt(), 37);
    const QString address = f.StartStream(param.kind, param.audioOnly);
    ASSERT_FALSE(address.isEmpty());

    ASSERT_TRUE(f.player->Open(address));
    // The engine's audio output may come up with settings of its own; the first update of the
    // media must bring back what the application wants.
    libvlc_audio_set_mute(f.player->Handle(), 0);
    libvlc_audio_set_volume(f.player->Handle(), 80);
    ASSERT_TRUE(f.player->Play());
    ASSERT_TRUE(f.WaitForCode(CMediaPlayer::MsgStarted)) << address.toStdString();
    EXPECT_EQ(f.codes, (std::vector<int>{CMediaPlayer::MsgMediaChanged, CMediaPlayer::MsgStarted}));
    // The engine reports its audio settings back a moment after they were set.
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return f.player->EngineMute() == 1 && f.player->EngineVolume() == 37; }, 3000))
        << "mute " << f.player->EngineMute() << " volume " << f.player->EngineVolume();

    QString codec;
    int width = 0;
    int height = 0;
    int rate = 0;
    int channels = 0;
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return f.player->GetAudioTrack(codec, rate, channels) && rate > 0; }, 5000));
    EXPECT_EQ(codec, QStringLiteral("MPGA"));
    EXPECT_EQ(rate, 48000);
    EXPECT_EQ(channels, 2);
    if (param.audioOnly) {
        EXPECT_FALSE(f.player->GetVideoTrack(codec, width, height));
        QTest::qWait(1000);
        EXPECT_FALSE(f.surface->IsVideoShown());
    } else {
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return f.player->GetVideoTrack(codec, width, height) && width > 0; }, 5000));
        EXPECT_EQ(codec, QStringLiteral("MPGV"));
        EXPECT_EQ(width, 320);
        EXPECT_EQ(height, 240);
        EXPECT_TRUE(QTest::qWaitFor([&] { return f.ShowsPicture(); }, 8000));
        // Our own painting of the window (exposure, resize) must leave the picture alone, also
        // while paused, when the engine does not draw it again.
        f.player->Pause();
        QTest::qWait(300);
        f.surface->repaint();
        QTest::qWait(100);
        EXPECT_TRUE(f.ShowsPicture());
        ASSERT_TRUE(f.player->Play());
    }
    EXPECT_TRUE(QTest::qWaitFor([&] { return f.player->IsPlaying(); }, 3000));
    if (f.server) {
        EXPECT_GT(f.server->Served(), 1); // the playlist and its segments, fetched with the credentials
    }

    f.player->Stop();
    ASSERT_TRUE(f.WaitForCode(CMediaPlayer::MsgStopped));
    EXPECT_EQ(f.codes, (std::vector<int>{CMediaPlayer::MsgMediaChanged, CMediaPlayer::MsgStarted,
                                         CMediaPlayer::MsgStopped}));
    EXPECT_EQ(f.typedCodes, f.codes);
    EXPECT_EQ(f.states, (std::vector<CMediaPlayer::PlayState>{CMediaPlayer::Opening, CMediaPlayer::Playing,
                                                              CMediaPlayer::Stopped}));
    EXPECT_EQ(f.player->property("state").value<CMediaPlayer::PlayState>(), CMediaPlayer::Stopped);
    // Re-applying mute and volume to the new media's audio output changed nothing of ours.
    EXPECT_EQ(muteSpy.count(), 1);
    EXPECT_EQ(volumeSpy.count(), 1);
    EXPECT_FALSE(f.player->IsPlaying());
}

INSTANTIATE_TEST_SUITE_P(Protocols, StreamPlayback,
                         testing::Values(StreamCase{"Rtp", CTestStream::Kind::Rtp, false},
                                         StreamCase{"Udp", CTestStream::Kind::Udp, false},
                                         StreamCase{"Hls", CTestStream::Kind::Hls, false},
                                         StreamCase{"RtpAudioOnly", CTestStream::Kind::Rtp, true},
                                         StreamCase{"UdpAudioOnly", CTestStream::Kind::Udp, true},
                                         StreamCase{"HlsAudioOnly", CTestStream::Kind::Hls, true}),
                         [](const testing::TestParamInfo<StreamCase>& c) { return c.param.name; });

} // namespace
