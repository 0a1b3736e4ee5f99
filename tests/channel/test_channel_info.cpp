// The channel information dialog: identifiers from the database, the event on air, and the
// technical data of what the media player plays now (real files played by the engine).
#include "ChannelTestSupport.h"
#include "player/CMediaPlayer.h"
#include "player/CVideoSurface.h"
#include "ui/CKelvoRes.h"
#include "views/channel/CKelvoDlgChannelInfo.h"
#include "views/common/CKelvoEPGCaption.h"

#include <QDateTime>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace channeltest;

namespace {

const std::vector<Svc> kServices = {
    {.type = 0, .idx = 5, .lcn = 7, .name = "Seven", .sat = 3, .evtStart = "2014-03-05T23:30",
     .evtEnd = "2014-03-06T01:10", .evtId = 4, .evtName = "Late film"},
    {.type = 0, .idx = 6, .lcn = 8, .name = "Eight", .streamable = false},
};

class InfoTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        CKelvoRes::Instance().Load();
        ASSERT_TRUE(box.Load(Box(kServices)));
    }

    Db box;
};

} // namespace

TEST(ChannelInfoText, AspectAndHexIdentifiers)
{
    struct Case
    {
        int width, height;
        const char* aspect;
    };
    const Case cases[] = {{1920, 1080, "16:9"}, {720, 576, "5:4"}, {0, 0, ""}, {320, 0, ""}, {-4, 3, ""}};
    for (const Case& c : cases)
        EXPECT_EQ(CKelvoDlgChannelInfo::AspectText(c.width, c.height), c.aspect) << c.width << "x" << c.height;

    CKelvoDlgChannelInfo::TechData d;
    d.width = 720;
    d.height = 576;
    d.frameRate = 25;
    d.videoCodec = "MPGV";
    d.audioCodec = "MPGA";
    d.sid = 255;
    d.tsid = 0x1234A;
    d.onid = -1; // never a negative number in hex
    d.tpIdx = 3;
    d.satelliteName = "Sat 3";
    EXPECT_EQ(CKelvoDlgChannelInfo::TechText(d).toStdString(),
              "Resolution (720x576), Frame rate (25), Aspect (5:4)\n"
              "Video (MPGV - Video), Audio (MPGA - Audio)\n"
              "SID : 0x00FF / TSID : 0x1234A / ONID : 0x0000 [0x0003]\n"
              "Sat 3");

    // The video's frames per second, rounded; the audio's sample rate has no place here.
    const std::pair<double, const char*> rates[] = {
        {25, "(25)"}, {30000.0 / 1001, "(30)"}, {60000.0 / 1001, "(60)"}, {0, "(0)"}, {-1, "(0)"},
        {1e12, "(0)"}};
    for (const auto& [rate, shown] : rates) {
        d.frameRate = rate;
        EXPECT_TRUE(CKelvoDlgChannelInfo::TechText(d).startsWith(
            QStringLiteral("Resolution (720x576), Frame rate ") + shown))
            << rate;
    }
}

TEST_F(InfoTest, IdentifiersAndEventFromTheDatabase)
{
    CMediaPlayer player; // nothing opened: no media data
    CKelvoDlgChannelInfo dlg(box.db, MakeServiceKey(0, 5), player);
    // sid = idx + 250; transponder 31 (streamable on sat 3): tsid 1031, onid 73
    EXPECT_EQ(dlg.TechnicalText().toStdString(), "Resolution (0x0), Frame rate (0), Aspect ()\n"
                                                 "Video ( - Video), Audio ( - Audio)\n"
                                                 "SID : 0x00FF / TSID : 0x0407 / ONID : 0x0049 [0x001F]\n"
                                                 "Sat 3");
    EXPECT_EQ(dlg.EventName(), "Late film");
    EXPECT_EQ(dlg.EventText(), "About Late film");
    const CServiceElement* s = box.db.FindService(MakeServiceKey(0, 5));
    ASSERT_NE(s, nullptr);
    const CKelvoRes& res = KelvoRes();
    EXPECT_EQ(dlg.EventTime(), CKelvoRes::FormatTime(res.dateFormatLong, s->presentEvent.start) + " / " +
                                   CKelvoRes::FormatTime(res.timeFormat, s->presentEvent.start) + " ~ " +
                                   CKelvoRes::FormatTime(res.timeFormat, s->presentEvent.end));
    EXPECT_TRUE(dlg.Caption()->Text().contains("Seven"));
    EXPECT_TRUE(dlg.grab().save(QStringLiteral("channel_info.png")));

    // no event on air, and no such service at all
    CKelvoDlgChannelInfo quiet(box.db, MakeServiceKey(0, 6), player);
    EXPECT_EQ(quiet.EventName(), "");
    EXPECT_EQ(quiet.EventTime(), "");
    CKelvoDlgChannelInfo none(box.db, 4711, player);
    EXPECT_TRUE(none.TechnicalText().contains("SID : 0x0000 / TSID : 0x0000 / ONID : 0x0000 [0x0000]"));
    EXPECT_TRUE(none.Caption()->Text().contains("No Information"));
}

TEST_F(InfoTest, MediaDataOfWhatPlaysNow)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    // Short transport streams as a box would send them; only their tracks matter here.
    const auto makeFile = [&](const QString& name, const QString& video, const QString& fps, int rate) {
        QStringList args{"-hide_banner", "-loglevel", "error", "-nostdin", "-y"};
        if (!video.isEmpty())
            args << "-f" << "lavfi" << "-i" << QStringLiteral("testsrc=size=%1:rate=%2").arg(video, fps);
        args << "-f" << "lavfi" << "-i" << QStringLiteral("sine=frequency=440:sample_rate=%1").arg(rate);
        args << "-t" << "8";
        if (!video.isEmpty())
            args << "-c:v" << "mpeg2video" << "-b:v" << "200k";
        args << "-c:a" << "mp2" << "-f" << "mpegts" << folder.filePath(name);
        QProcess ffmpeg;
        ffmpeg.start(QStringLiteral("ffmpeg"), args);
        return ffmpeg.waitForFinished(60000) && ffmpeg.exitCode() == 0;
    };
    struct Case
    {
        const char* file;
        const char* video;
        const char* fps;
        int rate;
        const char* firstLine;
    };
    // The frame rate is the video's, whatever the sound's sample rate; a radio stream has none.
    const Case cases[] = {
        {"hd.ts", "1920x1080", "25", 44100, "Resolution (1920x1080), Frame rate (25), Aspect (16:9)"},
        {"sd.ts", "720x576", "30000/1001", 48000, "Resolution (720x576), Frame rate (30), Aspect (5:4)"},
        {"radio.ts", "", "", 32000, "Resolution (0x0), Frame rate (0), Aspect ()"},
    };
    CVideoSurface surface; // the engine draws into a window of ours, as in the player view
    surface.resize(320, 240);
    surface.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&surface));
    CMediaPlayer player;
    ASSERT_TRUE(player.IsValid());
    player.SetVideoWindow(&surface);
    for (const Case& c : cases) {
        ASSERT_TRUE(makeFile(c.file, c.video, c.fps, c.rate)) << c.file;
        ASSERT_TRUE(player.Open(QUrl::fromLocalFile(folder.filePath(c.file)).toString()));
        ASSERT_TRUE(player.Play());
        QString codec;
        int rate = 0, channels = 0;
        int width = 0, height = 0;
        double fps = 0;
        const bool video = *c.video != 0;
        // The engine learns a track's size and rates only once its decoder has seen the stream.
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                return player.GetAudioTrack(codec, rate, channels) && rate > 0 &&
                       (!video || (player.GetVideoTrack(codec, width, height, &fps) && width > 0 && fps > 0));
            },
            20000))
            << c.file;
        const QString text = CKelvoDlgChannelInfo(box.db, MakeServiceKey(0, 5), player).TechnicalText();
        EXPECT_EQ(text.section('\n', 0, 0), c.firstLine);
        EXPECT_EQ(text.section('\n', 1, 1),
                  video ? "Video (MPGV - Video), Audio (MPGA - Audio)" : "Video ( - Video), Audio (MPGA - Audio)");
        player.Stop();
    }
    // Stopped: what played last is not what plays now.
    EXPECT_TRUE(CKelvoDlgChannelInfo(box.db, 4711, player).TechnicalText().startsWith(
        "Resolution (0x0), Frame rate (0), Aspect ()\nVideo ( - Video), Audio ( - Audio)"));
}
