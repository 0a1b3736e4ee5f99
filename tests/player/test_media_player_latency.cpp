// Low-latency start: which streams get the short cache, how it grows after a stream that lost
// pictures, that a stream opened with it plays, and that the choice is kept in the settings store.
#include "PlayerTestSupport.h"
#include "app/settings/CKelvoAppState.h"
#include "app/settings/CKelvoSettingsStore.h"
#include "model/CBoxConnection.h"

#include <QSettings>
#include <QSignalSpy>
#include <QUdpSocket>
#include <QStringList>
#include <string>

namespace {

TEST(LowLatencyStart, OnlyRtpAndUdpStreamsGetTheShortCache)
{
    const QStringList shortCache{QStringLiteral(":network-caching=200"), QStringLiteral(":no-ts-cc-check")};
    auto cache = [](const char* ms) {
        return QStringList{QStringLiteral(":network-caching=") + QLatin1String(ms),
                           QStringLiteral(":no-ts-cc-check")};
    };
    struct Case
    {
        const char* address;
        CMediaPlayer::StartProfile profile;
        int cacheMs;
        QStringList options;
    };
    const std::vector<Case> cases{
        {"rtp://192.168.1.20:5004", CMediaPlayer::StartLowLatency, 200, shortCache},
        {"udp://@:1234", CMediaPlayer::StartLowLatency, 200, shortCache},
        {"  UDP://127.0.0.1:0", CMediaPlayer::StartLowLatency, 200, shortCache},
        {"rtp://192.168.1.20:5004", CMediaPlayer::StartLowLatency, 400, cache("400")},
        // Never beyond the engine's own default, never below nothing.
        {"rtp://192.168.1.20:5004", CMediaPlayer::StartLowLatency, 5000, cache("1000")},
        {"rtp://192.168.1.20:5004", CMediaPlayer::StartLowLatency, -3, cache("0")},
        // HLS arrives in segments over HTTP and keeps the engine's cache.
        {"http://root:@192.168.1.20/quarn/content.m3u8", CMediaPlayer::StartLowLatency, 200, {}},
        {"rtpx://a:1", CMediaPlayer::StartLowLatency, 200, {}},
        {"", CMediaPlayer::StartLowLatency, 200, {}},
        {"rtp://192.168.1.20:5004", CMediaPlayer::StartStandard, 200, {}},
        {"udp://@:1234", CMediaPlayer::StartStandard, 200, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.address) + " profile " + std::to_string(c.profile) + " cache " +
                     std::to_string(c.cacheMs));
        EXPECT_EQ(CMediaPlayer::StartOptions(QString::fromLatin1(c.address), c.profile, c.cacheMs),
                  c.options);
    }
}

// Which streams the relay takes over, and where it listens: where the engine itself would.
TEST(LowLatencyStart, RelayListensWhereTheEngineWould)
{
    struct Case
    {
        const char* address;
        bool relayed;
        const char* scheme;
        const char* host;
        int port;
    };
    const std::vector<Case> cases{
        {"rtp://192.168.1.20:5004", true, "rtp", "192.168.1.20", 5004},
        {"udp://@:1234", true, "udp", "", 1234},
        {" UDP://@127.0.0.1:6000 ", true, "udp", "127.0.0.1", 6000},
        {"rtp://@10.0.0.2", true, "rtp", "10.0.0.2", 5004},
        {"udp://", true, "udp", "", 1234},
        {"rtp://@:0", true, "rtp", "", 5004},
        // Left to the engine: groups to join, source filters, names, IPv6, other schemes, nonsense.
        {"udp://@239.1.2.3:1234", false, "", "", 0},
        {"rtp://10.0.0.1@:5004", false, "", "", 0},
        {"udp://127.0.0.1:1234", false, "", "", 0},
        {"rtp://box.local:5004", false, "", "", 0},
        {"rtp://[::1]:5004", false, "", "", 0},
        {"http://root:@192.168.1.20/quarn/content.m3u8", false, "", "", 0},
        {"rtp://1.2.3:5004", false, "", "", 0},
        {"rtp://1.2.3.4:70000", false, "", "", 0},
        {"udp://@:0", false, "", "", 0},
        {"udp://@:12x", false, "", "", 0},
        {"", false, "", "", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.address);
        CMediaPlayer::RelayPoint point;
        ASSERT_EQ(CMediaPlayer::RelayPointOf(QString::fromLatin1(c.address), &point), c.relayed);
        if (!c.relayed)
            continue;
        EXPECT_EQ(point.scheme, QLatin1String(c.scheme));
        EXPECT_EQ(point.host, c.host);
        EXPECT_EQ(point.port, c.port);
    }
}

// The cache grows after a second of stand-still: pictures dropped as late, or a second short of
// pictures against the stream's steady rate; never beyond the engine's own default.
TEST(LowLatencyStart, CacheGrowsOnlyAfterASecondThatStoodStill)
{
    struct Case
    {
        const char* what;
        int cacheMs;
        CMediaPlayer::PlaySecond second; // shown, late dropped
        int steadyShown;
        int next;
    };
    const std::vector<Case> cases{
        {"steady", 200, {15, 0}, 15, 200},
        {"a few late pictures", 200, {12, 3}, 15, 200},
        {"many late pictures", 200, {10, 4}, 15, 400},
        {"starved", 400, {8, 0}, 15, 800},
        {"just enough shown", 200, {9, 0}, 15, 200},
        {"steady rate not known yet", 200, {0, 0}, 4, 200},
        {"never beyond the engine's default", 800, {0, 10}, 15, 1000},
        {"at the engine's default", 1000, {0, 10}, 15, 1000},
        {"from nothing", 0, {0, 10}, 15, 100},
        {"counts that went back", 200, {-30, -5}, 15, 200},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CMediaPlayer::GrownCache(c.cacheMs, c.second, c.steadyShown), c.next) << c.what;
}

TEST(LowLatencyStart, ProfileDefaultsToStandardAndAChangeForgetsTheLearntCache)
{
    CMediaPlayer player;
    EXPECT_EQ(player.GetStartProfile(), CMediaPlayer::StartStandard);
    EXPECT_EQ(player.LowLatencyCacheMs(), CMediaPlayer::kLowLatencyCacheMs);
    player.SetStartProfile(CMediaPlayer::StartLowLatency);
    EXPECT_EQ(player.GetStartProfile(), CMediaPlayer::StartLowLatency);
    // A second of many late pictures grows the cache; the same profile again keeps it.
    player.NotePlaySecond({10, 10});
    const int grown = player.LowLatencyCacheMs();
    ASSERT_GT(grown, CMediaPlayer::kLowLatencyCacheMs);
    player.SetStartProfile(CMediaPlayer::StartLowLatency);
    EXPECT_EQ(player.LowLatencyCacheMs(), grown);
    // Switching quick start off and on again starts from the short cache.
    player.SetStartProfile(CMediaPlayer::StartStandard);
    EXPECT_EQ(player.LowLatencyCacheMs(), CMediaPlayer::kLowLatencyCacheMs);
}

// Opened with the short cache, a live stream still starts once, shows its picture and stops, on
// both protocols that get it, through the relay.
class LowLatencyPlayback : public testing::TestWithParam<CTestStream::Kind>
{
};

TEST_P(LowLatencyPlayback, PlaysWithTheShortCache)
{
    PlayerFixture f;
    f.player->SetStartProfile(CMediaPlayer::StartLowLatency);
    QSignalSpy grown(f.player.get(), &CMediaPlayer::lowLatencyCacheChanged);
    const QString address = f.StartStream(GetParam(), false);
    ASSERT_FALSE(address.isEmpty());
    ASSERT_TRUE(f.player->Open(address));
    ASSERT_TRUE(f.player->Play());
    ASSERT_TRUE(f.WaitForCode(CMediaPlayer::MsgStarted));
    EXPECT_EQ(f.player->State(), CMediaPlayer::Playing);
    EXPECT_TRUE(QTest::qWaitFor([&f] { return f.ShowsPicture(); }, 10000));
    // The stream came through the relay, which found time to give back in the stream's clock.
    ASSERT_NE(f.player->Relay(), nullptr);
    EXPECT_GT(f.player->Relay()->Forwarded(), 0U);
    EXPECT_GT(f.player->Relay()->ShiftTicks(), 0);
    f.player->Stop();
    ASSERT_TRUE(f.WaitForCode(CMediaPlayer::MsgStopped));
    // Stopped, the stream's port is free again for whoever listens next.
    QUdpSocket next;
    EXPECT_TRUE(next.bind(QHostAddress::LocalHost, GetParam() == CTestStream::Kind::Rtp ? kRtpPort : kUdpPort,
                          QUdpSocket::DontShareAddress));
    EXPECT_EQ(f.Count(CMediaPlayer::MsgStarted), 1);
    EXPECT_EQ(f.player->State(), CMediaPlayer::Stopped);
    // Whatever the watcher saw, the cache only ever grows, and never beyond the engine's default.
    EXPECT_GE(f.player->LowLatencyCacheMs(), CMediaPlayer::kLowLatencyCacheMs);
    EXPECT_LE(f.player->LowLatencyCacheMs(), CMediaPlayer::kLowLatencyCacheMaxMs);
}

// Each stream is judged by its own picture rate: after a stream of 25 pictures a second, one of
// fewer is not taken for a starved one.
TEST(LowLatencyStart, TheNextStreamIsJudgedByItsOwnPictureRate)
{
    PlayerFixture f;
    f.player->SetStartProfile(CMediaPlayer::StartLowLatency);
    const QString address = f.StartStream(CTestStream::Kind::Rtp, false);
    ASSERT_FALSE(address.isEmpty());
    ASSERT_TRUE(f.player->Open(address));
    ASSERT_TRUE(f.player->Play());
    ASSERT_TRUE(f.WaitForCode(CMediaPlayer::MsgStarted));
    f.player->NotePlaySecond({25, 0});
    f.player->Stop();
    ASSERT_TRUE(f.WaitForCode(CMediaPlayer::MsgStopped));

    ASSERT_TRUE(f.player->Open(address));
    ASSERT_TRUE(f.player->Play());
    ASSERT_TRUE(f.WaitForCode(CMediaPlayer::MsgStarted, 2));
    const int cache = f.player->LowLatencyCacheMs();
    f.player->NotePlaySecond({12, 0});
    EXPECT_EQ(f.player->LowLatencyCacheMs(), cache);
    f.player->Stop();
}

INSTANTIATE_TEST_SUITE_P(Protocols, LowLatencyPlayback,
                         testing::Values(CTestStream::Kind::Rtp, CTestStream::Kind::Udp),
                         [](const testing::TestParamInfo<CTestStream::Kind>& kind) {
                             return kind.param == CTestStream::Kind::Rtp ? std::string("Rtp")
                                                                         : std::string("Udp");
                         });

// The choice is the "Player" key "LowLatencyStart", low-latency unless the user chose 0; what
// the player does not know is the default, as any unreadable value is.
TEST(LowLatencyStartSetting, StoredUnderItsKeyAndOnlyZeroMeansStandard)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("Kelvo+.ini"));
    CKelvoSettingsStore store(path);
    CKelvoAppState state;
    EXPECT_EQ(state.startProfile, CMediaPlayer::StartLowLatency);
    CBoxConnection connection;
    state.startProfile = CMediaPlayer::StartStandard;
    ASSERT_TRUE(store.Save(state, connection));
    {
        QSettings raw(path, QSettings::IniFormat);
        EXPECT_EQ(raw.value(QStringLiteral("Player/LowLatencyStart")).toInt(), 0);
    }
    CKelvoAppState loaded;
    store.Load(loaded, connection);
    EXPECT_EQ(loaded.startProfile, CMediaPlayer::StartStandard);

    int round = 0;
    for (const auto& [stored, expected] : std::vector<std::pair<const char*, int>>{
             {nullptr, 1}, {"0", 0}, {"1", 1}, {"2", 1}, {"-1", 1}, {"yes", 1}}) {
        SCOPED_TRACE(stored != nullptr ? stored : "(missing)");
        // A new name each time: QSettings keeps files it has read by name, size and time.
        const QString other = dir.filePath(QStringLiteral("other%1.ini").arg(++round));
        {
            QSettings raw(other, QSettings::IniFormat);
            raw.setValue(QStringLiteral("Player/nVolume"), 50);
            if (stored != nullptr)
                raw.setValue(QStringLiteral("Player/LowLatencyStart"), QString::fromLatin1(stored));
        }
        CKelvoAppState s;
        s.startProfile = 7;
        CBoxConnection c;
        CKelvoSettingsStore(other).Load(s, c);
        EXPECT_EQ(s.startProfile, expected);
    }
}

} // namespace
