#include "protocol/CQuarnWrapper.h"
#include "tests/support/TestHelpers.h"
#include "tests/support/TestHttpServer.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <gtest/gtest.h>
#include <sys/socket.h>

namespace {

const std::string kVersionReply = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><quarn:query "
                                  "quarn:version=\"1.3\" quarn:created=\"2014-03-05T09:07:00\"/>";

class WrapperTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        wrapper.address = QStringLiteral("127.0.0.1");
        wrapper.port = server.Port();
        server.AnswerXml(kVersionReply);
    }

    TestHttpServer server;
    CQuarnWrapper wrapper;
};

} // namespace

TEST(WrapperConstants, TimeLimitsAndDefaults)
{
    CQuarnWrapper w;
    EXPECT_EQ(w.timeLimit, 5000);
    EXPECT_EQ(w.longTimeLimit, 15000);
    EXPECT_EQ(CQuarnWrapper::kQuickStopTimeLimit, 500);
    EXPECT_EQ(w.address, QStringLiteral("192.168.0.3"));
    EXPECT_EQ(w.port, 8080);
    EXPECT_FALSE(w.response.has_value());
}

TEST_F(WrapperTest, SendsThePutRequestLineRawWithOnlyAHostHeader)
{
    ASSERT_EQ(wrapper.Command(QStringLiteral("check_pin&pin_code=\"1 2&3+4=5\u00E9#\"++fav_group")), 0);
    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 1u);
    const std::string expectedLine =
        "PUT /qnql?cmd=check_pin&pin_code=\"1%202&3+4=5%C3%A9%23\"++fav_group HTTP/1.1\r\n";
    EXPECT_EQ(requests[0].substr(0, expectedLine.size()), expectedLine);
    // Nothing but Host follows the request line.
    const std::string headers = requests[0].substr(expectedLine.size());
    EXPECT_EQ(headers, "Host: 127.0.0.1:" + std::to_string(server.Port()) + "\r\n\r\n");
}

TEST_F(WrapperTest, RequestTextsOfEveryOperation)
{
    pugi::xml_document doc;
    const QString pin = QStringLiteral("8351");
    EXPECT_TRUE(wrapper.QueryAll(doc, pin));
    EXPECT_TRUE(wrapper.QueryFavoriteGroups(doc));
    EXPECT_TRUE(wrapper.QueryServiceList(doc));
    EXPECT_TRUE(wrapper.QueryScheduleList(doc));
    EXPECT_TRUE(wrapper.QueryStatus(doc));
    EXPECT_TRUE(wrapper.QueryEPG(doc, 1, 42));
    EXPECT_TRUE(wrapper.CheckPin(doc, pin));
    EXPECT_TRUE(wrapper.SendRemoteKey(doc, 17, 1));
    EXPECT_TRUE(wrapper.StopAndStartStreaming(doc, 2, 0, 7, 1, QStringLiteral("10.0.0.5"), 0, pin));
    EXPECT_TRUE(wrapper.StartStreaming(doc, 2, 0, 7, 0, QStringLiteral("10.0.0.5"), 5004, pin));
    EXPECT_TRUE(wrapper.StopStreaming(doc));
    wrapper.QuickStopStreaming();

    const std::vector<std::string> expected = {
        "/qnql?q=check_pin&pin_code=\"8351\"++fav_group++svc_list++alarm_list++status",
        "/qnql?q=fav_group",
        "/qnql?q=svc_list",
        "/qnql?q=alarm_list",
        "/qnql?q=status",
        "/qnql?q=epg_info&svc_type=1&svc_idx=42",
        "/qnql?cmd=check_pin&pin_code=\"8351\"",
        "/qnql?cmd=rcu&key=17&repeat=1",
        "/qnql?cmd=stop_streaming++start_streaming&sat_idx=2&svc_type=0&svc_idx=7&net_protocol=1"
        "&net_client_ip=\"10.0.0.5\"&net_client_port=0&pin_code=\"8351\"",
        "/qnql?cmd=start_streaming&sat_idx=2&svc_type=0&svc_idx=7&net_protocol=0"
        "&net_client_ip=\"10.0.0.5\"&net_client_port=5004&pin_code=\"8351\"",
        "/qnql?cmd=stop_streaming",
        "/qnql?cmd=stop_streaming",
    };
    EXPECT_EQ(server.Targets(), expected);
}

TEST_F(WrapperTest, SetScheduleSendsLocalDatePartsWithoutLeadingZeros)
{
    std::tm tm{};
    tm.tm_year = 2014 - 1900;
    tm.tm_mon = 2;
    tm.tm_mday = 5;
    tm.tm_hour = 9;
    tm.tm_min = 7;
    tm.tm_isdst = -1;
    const qint64 start = std::mktime(&tm);
    pugi::xml_document doc;
    ASSERT_TRUE(wrapper.SetSchedule(1, 0, 12, 0, 1, 2, 127, 555, doc, start, start + 90 * 60));
    ASSERT_EQ(server.Targets().size(), 1u);
    EXPECT_EQ(server.Targets()[0],
              "/qnql?cmd=set_alarm&sat_idx=1&svc_type=0&svc_idx=12&alarm_id=0&alarm_type=1"
              "&alarm_mode=2&alarm_days=127&stime=\"2014-3-5T9:7\"&etime=\"2014-3-5T10:37\""
              "&evt_id=555");
    // A time the platform cannot convert.
    EXPECT_EQ(CQuarnWrapper::ScheduleTimeText(std::numeric_limits<qint64>::max()),
              QStringLiteral("0-0-0T-1:-1"));
}

TEST_F(WrapperTest, TransportOutcomes)
{
    struct Case
    {
        const char* name;
        TestHttpServer::Behaviour behaviour;
        int result;
        int status;
        bool loads;
    };
    const Case cases[] = {
        {"answer", {.body = kVersionReply}, 0, 200, true},
        {"error status with a body", {.status = 500, .body = "<e>boom</e>"}, 0, 500, true},
        {"no body", {.noBody = true}, 0, 200, false},
        {"reset", {.reset = true}, -2, -1, false},
        {"delayed within the limit", {.body = kVersionReply, .delayMs = 100}, 0, 200, true},
        {"drip-fed within the limit",
         {.body = kVersionReply, .dripChunk = 16, .dripIntervalMs = 2},
         0,
         200,
         true},
    };
    for (const Case& c : cases) {
        server.Answer(c.behaviour);
        wrapper.httpStatus = -1;
        pugi::xml_document doc;
        EXPECT_EQ(wrapper.Query(QString()), c.result) << c.name;
        EXPECT_EQ(wrapper.httpStatus, c.status) << c.name;
        EXPECT_EQ(wrapper.LoadReply(doc), c.loads) << c.name;
    }
}

TEST_F(WrapperTest, TimeLimitsEndTheWaitAndAreRestored)
{
    server.Answer({.hang = true});
    struct Case
    {
        const char* name;
        std::function<void()> call;
        int expectedMs;
    };
    wrapper.timeLimit = 300;
    wrapper.longTimeLimit = 700;
    pugi::xml_document doc;
    const Case cases[] = {
        {"query", [&] { EXPECT_EQ(wrapper.Query(QStringLiteral("status")), -3); }, 300},
        {"streaming start", [&] { EXPECT_FALSE(wrapper.StartStreaming(doc, 0, 0, 0, 0, {}, 0, {})); }, 700},
        {"combined start", [&] { EXPECT_FALSE(wrapper.StopAndStartStreaming(doc, 0, 0, 0, 0, {}, 0, {})); },
         700},
        {"quick stop", [&] { wrapper.QuickStopStreaming(); }, 500},
    };
    for (const Case& c : cases) {
        wrapper.httpStatus = 0;
        QElapsedTimer t;
        t.start();
        c.call();
        const qint64 ms = t.elapsed();
        EXPECT_GE(ms, c.expectedMs - 5) << c.name;
        EXPECT_LT(ms, c.expectedMs + 150) << c.name;
        EXPECT_EQ(wrapper.httpStatus, 408) << c.name;
        EXPECT_EQ(wrapper.timeLimit, 300) << c.name;
        EXPECT_FALSE(wrapper.response.has_value()) << c.name;
    }
}

TEST_F(WrapperTest, LateOutcomeOfAnAbandonedExchangeIsIgnored)
{
    server.Answer({.body = "<late/>", .delayMs = 400});
    wrapper.timeLimit = 100;
    EXPECT_EQ(wrapper.Query(QStringLiteral("status")), -3);
    server.AnswerXml("<fresh/>");
    wrapper.timeLimit = 2000;
    ASSERT_EQ(wrapper.Query(QStringLiteral("status")), 0);
    // Outlive the abandoned exchange, then check nothing overwrote the reply.
    QEventLoop loop;
    QTimer::singleShot(500, &loop, &QEventLoop::quit);
    loop.exec();
    EXPECT_EQ(wrapper.response.value_or(QString()), QStringLiteral("<fresh/>"));
}

TEST_F(WrapperTest, FailuresComeQuicklyNotAtTheTimeLimit)
{
    const struct
    {
        const char* name;
        QString address;
        int port;
    } cases[] = {
        {"refused", QStringLiteral("127.0.0.1"), FreeLoopbackPort(SOCK_STREAM)},
        {"unknown host", QStringLiteral("no-such-host.invalid"), 80},
        {"malformed address", QStringLiteral("bad host/\x01"), 80},
    };
    for (const auto& c : cases) {
        wrapper.address = c.address;
        wrapper.port = c.port;
        QElapsedTimer t;
        t.start();
        EXPECT_EQ(wrapper.Query(QStringLiteral("status")), -2) << c.name;
        EXPECT_LT(t.elapsed(), 2000) << c.name;
    }
}

TEST_F(WrapperTest, OversizedReplyIsNoReply)
{
    server.Answer({.body = std::string(65 * 1024 * 1024, 'x')});
    pugi::xml_document doc;
    EXPECT_EQ(wrapper.Query(QStringLiteral("svc_list")), -2);
    EXPECT_FALSE(wrapper.LoadReply(doc));
}

TEST_F(WrapperTest, EventLoopRunsWhileWaiting)
{
    server.Answer({.body = kVersionReply, .delayMs = 500});
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start(20);
    EXPECT_EQ(wrapper.Query(QString()), 0);
    EXPECT_GE(ticks, 15);
}

TEST_F(WrapperTest, ExchangeInsideAnotherWaitKeepsEachReplyItsOwn)
{
    server.SetResponder([](const std::string& target) {
        if (target.find("rcu") != std::string::npos)
            return TestHttpServer::Behaviour{.body = "<quarn:query><rcu error=\"0\"/></quarn:query>"};
        return TestHttpServer::Behaviour{.body = "<quarn:query><sat/></quarn:query>", .delayMs = 400};
    });
    bool innerDone = false;
    int innerCode = -1;
    QTimer::singleShot(50, [&] {
        pugi::xml_document keyDoc;
        EXPECT_TRUE(wrapper.SendRemoteKey(keyDoc, 5, 0));
        innerDone = true;
        innerCode = keyDoc.select_node("//rcu") ? 0 : 1;
    });
    pugi::xml_document doc;
    ASSERT_TRUE(wrapper.QueryServiceList(doc));
    EXPECT_TRUE(innerDone);
    EXPECT_EQ(innerCode, 0);
    EXPECT_TRUE(doc.select_node("//sat"));
    EXPECT_FALSE(doc.select_node("//rcu"));
}

TEST_F(WrapperTest, VersionIsAskedOnceAndAgainAfterBeingEmptied)
{
    EXPECT_EQ(wrapper.GetVersion(), QStringLiteral("1.3"));
    EXPECT_EQ(wrapper.GetVersion(), QStringLiteral("1.3"));
    EXPECT_EQ(server.Requests().size(), 1u);
    EXPECT_EQ(server.Targets()[0], "/qnql?q=");

    wrapper.version.clear();
    server.AnswerXml("<quarn:query quarn:version=\"1.2\"/>");
    EXPECT_EQ(wrapper.GetVersion(), QStringLiteral("1.2"));
    EXPECT_EQ(server.Requests().size(), 2u);

    // An unreachable box leaves it empty, and the next call asks again.
    wrapper.version.clear();
    server.Answer({.reset = true});
    EXPECT_TRUE(wrapper.GetVersion().isEmpty());
    EXPECT_TRUE(wrapper.GetVersion().isEmpty());
    EXPECT_EQ(server.Requests().size(), 4u);
}

TEST(WrapperVersion, NewFormFromOnePointThree)
{
    const struct
    {
        const char* text;
        bool newForm;
    } cases[] = {{"1.3", true},  {"1.30", true}, {"2", true},    {"1.29", false},
                 {"1.2", false}, {"", false},    {"abc", false}, {" 1.3x", true}};
    for (const auto& c : cases)
        EXPECT_EQ(CQuarnWrapper::IsNewFormVersion(QString::fromUtf8(c.text)), c.newForm) << c.text;
}

TEST(WrapperLocalAddress, LongestDottedPrefixWinsAndTheLastChoiceIsKept)
{
    struct Case
    {
        const char* box;
        QStringList local;
        const char* expected;
    };
    const Case cases[] = {
        {"192.168.0.3", {"10.0.0.5", "192.168.0.7"}, "192.168.0.7"},
        {"192.168.0.3", {"192.168.1.5", "192.168.0.20"}, "192.168.0.20"},
        {"192.168.0.3",
         {"192.168.1.5", "192.168.2.9"},
         "192.168.1.5"},                                      // two parts; list order breaks the tie
        {"10.0.0.3", {"10.0.01.7", "10.0.0.1"}, "10.0.01.7"}, // compared as characters
        {"192.168.0.3", {"10.0.0.5"}, ""},                    // no match: previous (none yet)
        {"boxname", {"192.168.0.7"}, ""},                     // no dot at all
        {"127.0.0.1", {"192.168.0.7"}, "127.0.0.1"},          // a box on loopback: loopback
        {"127.0.0.2", {}, "127.0.0.1"},
    };
    for (const Case& c : cases) {
        CQuarnWrapper w;
        w.address = QString::fromUtf8(c.box);
        w.localAddressProvider = [&] { return c.local; };
        EXPECT_EQ(w.GetLocalAddress(), QString::fromUtf8(c.expected)) << c.box;
    }

    CQuarnWrapper w;
    w.address = QStringLiteral("192.168.0.3");
    QStringList local{QStringLiteral("192.168.0.7")};
    w.localAddressProvider = [&] { return local; };
    EXPECT_EQ(w.GetLocalAddress(), QStringLiteral("192.168.0.7"));
    local = {QStringLiteral("10.0.0.5")};
    EXPECT_EQ(w.GetLocalAddress(), QStringLiteral("192.168.0.7"));
    local.clear();
    EXPECT_EQ(w.GetLocalAddress(), QStringLiteral("192.168.0.7"));
}

TEST(WrapperLocalAddress, InterfaceListHasNoLoopback)
{
    for (const QString& a : CQuarnWrapper::InterfaceAddresses())
        EXPECT_FALSE(a.startsWith(QStringLiteral("127."))) << a.toStdString();
}

TEST_F(WrapperTest, OnlyAReplyWithTheBoxHeaderCountsAsAnAnswer)
{
    struct Case
    {
        const char* name;
        std::string body;
        bool counts;
    };
    const Case cases[] = {
        {"box reply", "<quarn:query quarn:version=\"1.3\"><fav_group error=\"0\"/></quarn:query>", true},
        {"error page", "<html><body><h1>500</h1></body></html>", false},
        {"cut off", "<?xml version=\"1.0\"?><quarn:query quarn:version=\"1.3\"><sat idx=\"1\">", false},
        {"garbage", "\x01\x02zz<<>", false},
    };
    for (const Case& c : cases) {
        server.Answer({.status = 200, .body = c.body});
        pugi::xml_document doc;
        EXPECT_EQ(wrapper.QueryFavoriteGroups(doc), c.counts) << c.name;
        // The exchange itself completed and its text is there either way.
        EXPECT_TRUE(wrapper.response.has_value()) << c.name;
    }
}
