// The database's box operations against a scripted box on loopback: which requests go out, in
// which order and form, and what each reply does to the database and the result code.
#include "tests/db/DbTestSupport.h"
#include "tests/support/TestHttpServer.h"

#include <QTimer>
#include <functional>
#include <map>
#include <vector>

using namespace dbtest;

namespace {

const std::string kPinCheck = "check_pin&pin_code=\"8351\"";

std::string Section(const std::string& body)
{
    return Reply(body);
}

const std::string kFav =
    R"(<fav idx="0" sat_idx="0">News</fav><fav idx="1" sat_idx="9" blocked="1">Late</fav>)";
const std::string kSvc = R"(<sat idx="3" degree="192" name="Astra"><tp idx="7" streaming_possibility="1">
    <svc idx="12" type="0" fav="1"><service num="1">Eins</service></svc>
    <svc idx="13" type="0" fav="2"><service num="2">Late</service></svc></tp></sat>)";
const std::string kAlarm =
    R"(<alarm id="4" type="1" mode="1" stime="2014-03-06T20:00" etime="2014-03-06T21:00">
    <svc sat="3" type="0" idx="12"/><evt id="501">Film</evt></alarm>)";
const std::string kPin = R"(<pin error="0"/>)";
const std::string kStatus = R"(<streaming status="0"/><live><svc idx="12" type="0"/></live>)";

class OperationsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        wrapper.address = QStringLiteral("127.0.0.1");
        wrapper.port = server.Port();
        wrapper.localAddressProvider = [] { return QStringList{"10.1.1.1", "127.0.0.9"}; };
        db.SetBusyObserver(&observer);
        Script({});
    }

    void TearDown() override
    {
        EXPECT_FALSE(db.IsBusy());
        EXPECT_EQ(observer.begun, observer.ended);
        EXPECT_SOUND(db);
    }

    // Answers each request target by the first entry whose key starts it; version requests get
    // `version`; anything else gets a reply without body.
    void Script(std::map<std::string, TestHttpServer::Behaviour> answers, std::string version = "1.3")
    {
        server.SetResponder([answers = std::move(answers), version](const std::string& target) {
            const std::string text = target.substr(std::min(target.size(), std::string("/qnql?").size()));
            if (text == "q=")
                return TestHttpServer::Behaviour{.body = Reply("", version.c_str())};
            for (const auto& [key, b] : answers) {
                if (text.rfind(key, 0) == 0)
                    return b;
            }
            return TestHttpServer::Behaviour{.noBody = true};
        });
    }

    static TestHttpServer::Behaviour Xml(const std::string& body) { return {.body = Section(body)}; }

    std::vector<std::string> Sent() const
    {
        std::vector<std::string> out;
        for (const std::string& t : server.Targets())
            out.push_back(t.substr(std::min(t.size(), std::string("/qnql?").size())));
        return out;
    }

    void LoadBox()
    {
        Script({{"q=check_pin", Xml(kPin + kFav + kSvc + kAlarm + kStatus)}});
        ASSERT_TRUE(db.UpdateService());
    }

    TestHttpServer server;
    CQuarnWrapper wrapper;
    CQuarnXML reader{wrapper};
    CQuarnDataModel db{reader};
    FakeBusyObserver observer;
};

TEST_F(OperationsTest, NewFormBoxReloadsWithOneRequest)
{
    Script({{"q=check_pin", Xml(kPin + kFav + kSvc + kAlarm + kStatus)}});
    ASSERT_TRUE(db.UpdateService());
    EXPECT_EQ(Sent(), (std::vector<std::string>{"q=", "q=" + kPinCheck +
                                                          "++fav_group++svc_list++alarm_list++status"}));
    EXPECT_EQ(db.Services().size(), 1u); // the service of the blocked group is withheld
    EXPECT_EQ(db.Schedules().size(), 1u);
    EXPECT_EQ(db.FindSchedule(4)->service, db.FindService(12));
    EXPECT_EQ(db.FindLiveService(), db.FindService(12));
    EXPECT_EQ(observer.begun, 1);
    EXPECT_SOUND(db);
}

TEST_F(OperationsTest, OldFormBoxReloadsWithFiveRequestsInOrder)
{
    for (const char* version : {"1.2", "abc"}) {
        SCOPED_TRACE(version);
        wrapper.version.clear();
        const size_t before = Sent().size();
        Script({{"q=fav_group", Xml(kFav)},
                {"q=svc_list", Xml(kSvc)},
                {"q=alarm_list", Xml(kAlarm)},
                {"cmd=" + kPinCheck, Xml(R"(<pin error="1"/>)")},
                {"q=status", Xml(kStatus)}},
               version);
        ASSERT_TRUE(db.UpdateService());
        const auto sent = Sent();
        EXPECT_EQ(std::vector<std::string>(sent.begin() + static_cast<std::ptrdiff_t>(before), sent.end()),
                  (std::vector<std::string>{"q=", "q=fav_group", "q=svc_list", "q=alarm_list",
                                            "cmd=" + kPinCheck, "q=status"}));
        EXPECT_TRUE(db.IsLocked());
        EXPECT_EQ(db.Services().size(), 1u);
        EXPECT_EQ(db.Groups().size(), 2u);
        EXPECT_EQ(db.Schedules().size(), 1u);
        EXPECT_SOUND(db);
    }
}

TEST_F(OperationsTest, ReloadStopsAtTheFirstMissingReply)
{
    LoadBox();
    wrapper.version = "1.2";
    Script({{"q=fav_group", Xml(kFav)}, {"q=svc_list", {.reset = true}}, {"q=alarm_list", Xml(kAlarm)}},
           "1.2");
    EXPECT_FALSE(db.UpdateService());
    EXPECT_EQ(Sent().back(), "q=svc_list");
    EXPECT_TRUE(db.Services().empty() && db.Groups().empty() && db.Schedules().empty());

    // An unreachable box: the version is asked for and nothing else.
    wrapper.version.clear();
    Script({{"q=check_pin", Xml(kPin)}});
    server.SetResponder([](const std::string&) { return TestHttpServer::Behaviour{.reset = true}; });
    const size_t before = Sent().size();
    EXPECT_FALSE(db.UpdateService());
    EXPECT_EQ(Sent().size(), before + 1);
    EXPECT_EQ(Sent().back(), "q=");
}

TEST_F(OperationsTest, GuideRequestLinksAndFailuresKeepTheGuide)
{
    LoadBox();
    const std::string guide = R"(<epg svc_type="0" svc_idx="12"><evt id="500"/><evt id="501"/></epg>)";
    Script({{"q=epg_info&svc_type=0&svc_idx=12", Xml(guide)},
            {"q=epg_info&svc_type=0&svc_idx=13", Xml(R"(<epg svc_type="0" svc_idx="13"><evt id="1"/>
                <evt id="2" stime="2014-00-01T10:00"/></epg>)")}});
    ASSERT_TRUE(db.UpdateEPG(0, 12));
    EXPECT_EQ(Sent().back(), "q=epg_info&svc_type=0&svc_idx=12");
    ASSERT_EQ(db.Guide().events.size(), 2u);
    EXPECT_EQ(db.Guide().events[0]->schedule, nullptr);
    EXPECT_EQ(db.Guide().events[1]->schedule, db.FindSchedule(4));

    const CEventElement* kept = db.Guide().events[1].get();
    EXPECT_FALSE(db.UpdateEPG(0, 13)); // a broken event
    EXPECT_FALSE(db.UpdateEPG(0, 14)); // no reply
    ASSERT_EQ(db.Guide().events.size(), 2u);
    EXPECT_EQ(db.Guide().events[1].get(), kept);
    EXPECT_EQ(db.Guide().svcIdx, 12);
    EXPECT_EQ(kept->schedule, db.FindSchedule(4));
    EXPECT_EQ(observer.begun, 4);
}

TEST_F(OperationsTest, SetScheduleSendsTheAlarmAndAppliesTheReply)
{
    LoadBox();
    Script({{"q=epg_info", Xml(R"(<epg svc_type="0" svc_idx="12"><evt id="600"/></epg>)")}});
    ASSERT_TRUE(db.UpdateEPG(0, 12));

    CScheduleElement s;
    s.id = 0;
    s.type = 1;
    s.mode = 1;
    s.days = 0;
    s.satIdx = 3;
    s.svcType = 0;
    s.svcIdx = 12;
    s.eventId = 600;
    s.start = Local(2014, 3, 5, 9, 7);
    s.end = Local(2014, 3, 5, 10, 0);
    const std::string stored = R"(<alarm error="0" id="17" type="1" mode="1" days="0" stime="2014-03-05T09:07"
        etime="2014-03-05T10:00"><svc sat="3" type="0" idx="12"/><evt id="600">Film</evt></alarm>)";
    Script({{"cmd=set_alarm", Xml(stored)}});
    EXPECT_EQ(db.SetSchedule(s), 0);
    EXPECT_EQ(Sent().back(),
              "cmd=set_alarm&sat_idx=3&svc_type=0&svc_idx=12&alarm_id=0&alarm_type=1&alarm_mode=1"
              "&alarm_days=0&stime=\"2014-3-5T9:7\"&etime=\"2014-3-5T10:0\"&evt_id=600");
    const CScheduleElement* added = db.FindSchedule(17);
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(added->service, db.FindService(12));
    EXPECT_EQ(db.Schedules().back().get(), added);
    EXPECT_EQ(db.Guide().events[0]->schedule, added);

    // Saved again with another end: overwritten where it stands.
    std::string changed = stored;
    changed.replace(changed.find("2014-03-05T10:00"), 16, "2014-03-05T11:00");
    Script({{"cmd=set_alarm", Xml(changed)}});
    EXPECT_EQ(db.SetSchedule(*added), 0);
    EXPECT_EQ(db.FindSchedule(17), added);
    EXPECT_EQ(added->end, Local(2014, 3, 5, 11, 0));
    EXPECT_EQ(db.Schedules().size(), 2u);

    // Results that change nothing.
    struct Case
    {
        const char* what;
        TestHttpServer::Behaviour reply;
        int result;
    };
    const std::vector<Case> cases{
        {"collision", Xml(R"(<alarm error="2"/>)"), 2},
        {"unknown value", Xml(R"(<alarm error="9" id="17" mode="0"/>)"), 9},
        {"no alarm element", Xml("<other/>"), -1},
        {"no reply", {.noBody = true}, -1},
        {"unreadable alarm", Xml(R"(<alarm id="17" mode="0" stime="yesterday"/>)"), 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Script({{"cmd=set_alarm", c.reply}});
        EXPECT_EQ(db.SetSchedule(*added), c.result);
        EXPECT_EQ(db.FindSchedule(17), added);
        EXPECT_EQ(db.Schedules().size(), 2u);
        EXPECT_SOUND(db);
    }

    // Deleted: the schedule and its guide link go.
    Script({{"cmd=set_alarm", Xml(R"(<alarm id="17" mode="0"/>)")}});
    CScheduleElement del = *added;
    del.mode = 0;
    EXPECT_EQ(db.SetSchedule(del), 0);
    EXPECT_NE(Sent().back().find("&alarm_id=17&alarm_type=1&alarm_mode=0&"), std::string::npos);
    EXPECT_EQ(db.FindSchedule(17), nullptr);
    EXPECT_EQ(db.Guide().events[0]->schedule, nullptr);
    EXPECT_EQ(db.Schedules().size(), 1u);
}

struct StartCase
{
    const char* what;
    std::string reply;
    int result;
};

class NewFormStartTest : public OperationsTest, public ::testing::WithParamInterface<StartCase>
{
};

TEST_P(NewFormStartTest, StopAndStartInOneCommand)
{
    LoadBox();
    Script({{"cmd=stop_streaming++start_streaming", Xml(GetParam().reply)}});
    EXPECT_EQ(db.StartStreaming(db.FindService(12)), GetParam().result);
    EXPECT_EQ(Sent().back(),
              "cmd=stop_streaming++start_streaming&sat_idx=3&svc_type=0&svc_idx=12&net_protocol=0"
              "&net_client_ip=\"127.0.0.9\"&net_client_port=5004&pin_code=\"8351\"");
    EXPECT_EQ(wrapper.timeLimit, CQuarnWrapper::kTimeLimit);
}

INSTANTIATE_TEST_SUITE_P(
    Results, NewFormStartTest,
    ::testing::Values(StartCase{"streams", R"(<stop error="0"/><streaming error="0"/>)", 0},
                      StartCase{"pin", R"(<stop error="0"/><streaming error="5"/>)", 5},
                      StartCase{"other", R"(<stop error="0"/><streaming error="12"/>)", 12},
                      StartCase{"not stopped", R"(<stop error="2"/><streaming error="0"/>)", 6},
                      StartCase{"no start section", R"(<stop error="0"/>)", -1},
                      StartCase{"no stop section", R"(<streaming error="0"/>)", -1}));

TEST_F(OperationsTest, OldFormStartStopsFirstThenStarts)
{
    LoadBox();
    wrapper.version = "1.2";
    db.Settings().stodEnabled = true;
    db.Settings().stodAddress = "127.0.0.50";
    db.Settings().stodPort = 1234;
    db.Settings().stodProtocol = 1;
    const std::string start = "cmd=start_streaming&sat_idx=3&svc_type=0&svc_idx=12&net_protocol=1"
                              "&net_client_ip=\"127.0.0.50\"&net_client_port=1234&pin_code=\"8351\"";
    struct Case
    {
        const char* what;
        std::string stop;
        std::string started;
        int result;
        size_t requests;
    };
    const std::vector<Case> cases{
        {"both fine", R"(<stop error="0"/>)", R"(<streaming error="0"/>)", 0, 2},
        // A refused start is reported, not passed off as success.
        {"start refused", R"(<stop error="0"/>)", R"(<streaming error="3"/>)", 3, 2},
        {"start without section", R"(<stop error="0"/>)", "<x/>", 0, 2},
        {"stop refused", R"(<stop error="1"/>)", R"(<streaming error="0"/>)", 1, 2},
        {"stop unanswered", "<x/>", R"(<streaming error="0"/>)", -1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Script({{"cmd=stop_streaming", Xml(c.stop)}, {"cmd=start_streaming", Xml(c.started)}}, "1.2");
        const size_t before = Sent().size();
        EXPECT_EQ(db.StartStreaming(db.FindService(12)), c.result);
        const auto sent = Sent();
        ASSERT_EQ(sent.size(), before + c.requests);
        EXPECT_EQ(sent[before], "cmd=stop_streaming");
        if (c.requests == 2) {
            EXPECT_EQ(sent[before + 1], start);
        }
    }
    const size_t before = Sent().size();
    EXPECT_EQ(db.StartStreaming(nullptr), -1);
    EXPECT_EQ(Sent().size(), before);
}

TEST_F(OperationsTest, StopStreamingAndRemoteKeys)
{
    Script({{"cmd=stop_streaming", Xml(R"(<stop error="4"/>)")}, {"cmd=rcu", Xml(R"(<rcu error="0"/>)")}});
    EXPECT_EQ(db.StopStreaming(), 4);
    EXPECT_EQ(Sent().back(), "cmd=stop_streaming");
    int code = -9;
    EXPECT_TRUE(db.SendRemoteKey(21, 1, &code));
    EXPECT_EQ(code, 0);
    EXPECT_EQ(Sent().back(), "cmd=rcu&key=21&repeat=1");
    EXPECT_EQ(observer.begun, 1); // keys do not go through the busy state

    Script({{"cmd=stop_streaming", Xml("<x/>")}, {"cmd=rcu", Xml("<x/>")}});
    EXPECT_EQ(db.StopStreaming(), -1);
    EXPECT_FALSE(db.SendRemoteKey(21, 0, &code));
    EXPECT_EQ(code, 0);
}

TEST_F(OperationsTest, OperationsWhileWaitingAreRefusedButKeysGoOut)
{
    wrapper.version = "1.3";
    Script({{"q=check_pin", {.body = Section(kPin + kSvc), .delayMs = 300}},
            {"cmd=rcu", Xml(R"(<rcu error="0"/>)")}});
    struct Seen
    {
        bool update = true, guide = true;
        int schedule = 0, start = 0, stop = 0;
        bool key = false, busy = false;
    } seen;
    observer.onBegin = [&] {
        QTimer::singleShot(50, [&] {
            seen.busy = db.IsBusy();
            seen.update = db.UpdateService();
            seen.guide = db.UpdateEPG(0, 12);
            seen.schedule = db.SetSchedule(CScheduleElement());
            seen.start = db.StartStreaming(nullptr);
            seen.stop = db.StopStreaming();
            seen.key = db.SendRemoteKey(5, 1);
        });
    };
    ASSERT_TRUE(db.UpdateService());
    EXPECT_TRUE(seen.busy);
    EXPECT_FALSE(seen.update);
    EXPECT_FALSE(seen.guide);
    EXPECT_EQ(seen.schedule, -4);
    EXPECT_EQ(seen.start, -4);
    EXPECT_EQ(seen.stop, -4);
    EXPECT_TRUE(seen.key);
    EXPECT_EQ(Sent(),
              (std::vector<std::string>{"q=" + kPinCheck + "++fav_group++svc_list++alarm_list++status",
                                        "cmd=rcu&key=5&repeat=1"}));
    EXPECT_EQ(observer.begun, 1);
    EXPECT_EQ(db.Services().size(), 2u);
}

TEST_F(OperationsTest, BusyStateEndsWhenTheReplyIsBroken)
{
    LoadBox();
    Script({{"q=check_pin", Xml(kPin + R"(<alarm id="1" stime="2014-02-30T25:00"/>)")}});
    EXPECT_FALSE(db.UpdateService());
    EXPECT_FALSE(db.IsBusy());
    EXPECT_EQ(observer.begun, 2);
    EXPECT_EQ(observer.ended, 2);
    EXPECT_TRUE(db.Services().empty());
}

} // namespace
