// The demo box's answers to every command family, read the way the client reads them.

#include "BoxXml.h"
#include "DemoBoxProcess.h"
#include "RawHttp.h"

#include <ctime>
#include <gtest/gtest.h>
#include <set>
#include <string>

namespace {

struct Reply
{
    RawReply raw;
    pugi::xml_document doc;
    bool wellFormed = false;
};

void ask(int port, const std::string& text, Reply* out, bool commandForm = false)
{
    out->raw = boxQuery(port, text, commandForm);
    out->wellFormed = out->raw.status == 200 && boxxml::load(out->raw.body, &out->doc);
}

int errorOf(const pugi::xml_document& doc, const char* section)
{
    const auto node = doc.select_node((std::string("//") + section).c_str()).node();
    if (!node || !node.attribute("error"))
        return -1000;
    return node.attribute("error").as_int();
}

// "YYYY-MM-DDTHH:MM" box local time -> seconds since 1970.
time_t boxTime(const std::string& text)
{
    std::tm tm{};
    if (sscanf(text.c_str(), "%d-%d-%dT%d:%d", &tm.tm_year, &tm.tm_mon, &tm.tm_mday, &tm.tm_hour,
               &tm.tm_min) != 5)
        return -1;
    tm.tm_year -= 1900;
    tm.tm_mon -= 1;
    tm.tm_isdst = -1;
    return std::mktime(&tm);
}

std::string boxTimeText(time_t t)
{
    std::tm tm{};
    localtime_r(&t, &tm);
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%d-%d-%dT%d:%d", tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday,
                  tm.tm_hour, tm.tm_min);
    return buffer;
}

class DemoBoxReplies : public ::testing::Test
{
protected:
    void start(const std::vector<std::string>& args = {})
    {
        std::vector<std::string> all = {"--no-ffmpeg", "--no-upnp"};
        all.insert(all.end(), args.begin(), args.end());
        box = std::make_unique<DemoBoxProcess>(all);
        ASSERT_TRUE(box->ok()) << box->error();
    }
    int port() const { return box->port(); }

    std::unique_ptr<DemoBoxProcess> box;
};

TEST_F(DemoBoxReplies, EmptyQueryGivesHeaderWithVersionAndCreationTime)
{
    for (const char* version : {"1.3", "1.2"}) {
        SCOPED_TRACE(version);
        start({"--protocol-version", version});
        Reply r;
        ask(port(), "", &r);
        ASSERT_TRUE(r.wellFormed) << r.raw.body;
        EXPECT_EQ(r.raw.body.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>", 0), 0u);
        const auto header = r.doc.select_node("//quarn:query").node();
        ASSERT_TRUE(header);
        EXPECT_STREQ(header.attribute("quarn:version").value(), version);
        EXPECT_FALSE(header.first_child()) << "the version query has no sections";
        const time_t created = boxTime(header.attribute("quarn:created").value());
        EXPECT_LE(std::llabs(static_cast<long long>(created - std::time(nullptr))), 120);
    }
}

TEST_F(DemoBoxReplies, ClockOffsetShiftsTheCreationTime)
{
    start({"--clock-offset", "7200"});
    Reply r;
    ask(port(), "", &r);
    const time_t created = boxTime(r.doc.select_node("//quarn:query/@quarn:created").attribute().value());
    EXPECT_NEAR(static_cast<double>(created - std::time(nullptr)), 7200.0, 120.0);
}

TEST_F(DemoBoxReplies, PinCheckAcceptsOnlyTheBoxPinAndQuotedValuesKeepSpacesAndAmpersands)
{
    start({"--pin", "1 2&3"});
    struct Case
    {
        const char* text;
        int error;
    } cases[] = {
        {"check_pin&pin_code=\"1%202&3\"", 0}, // the client escapes only the space
        {"check_pin&pin_code=\"1%202%263\"", 0}, {"check_pin&pin_code=\"8351\"", 1}, {"check_pin", 1},
        {"check_pin&pin_code=\"1%202&3", 1}, // unterminated quote
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        Reply r;
        ask(port(), c.text, &r, true);
        ASSERT_TRUE(r.wellFormed) << r.raw.body;
        EXPECT_EQ(errorOf(r.doc, "pin"), c.error);
    }
}

TEST_F(DemoBoxReplies, FullReloadAnswersEverySectionWithTheDefaultDatabase)
{
    start();
    Reply r;
    ask(port(), "check_pin&pin_code=\"8351\"++fav_group++svc_list++alarm_list++status", &r);
    ASSERT_TRUE(r.wellFormed);
    EXPECT_EQ(errorOf(r.doc, "pin"), 0);
    for (const char* section : {"fav_group", "svc_list", "alarm_list", "status"})
        EXPECT_EQ(errorOf(r.doc, section), 0) << section;

    const auto favs = r.doc.select_nodes("//fav");
    EXPECT_GE(favs.size(), 3u);
    EXPECT_TRUE(r.doc.select_node("//fav[@blocked='1']"));
    EXPECT_EQ(r.doc.select_nodes("//sat").size(), 3u);

    int tv = 0, radio = 0, scrambled = 0, blocked = 0, encoded = 0;
    std::set<long> keys;
    for (const auto& x : r.doc.select_nodes("//sat/tp/svc")) {
        const auto svc = x.node();
        const int type = svc.attribute("type").as_int(-1);
        (type == 0 ? tv : radio) += 1;
        scrambled += svc.attribute("scrambled").as_int();
        blocked += svc.attribute("blocked").as_int();
        encoded += svc.child("service").attribute("encoding") ? 1 : 0;
        EXPECT_TRUE(keys.insert(type << 12 | svc.attribute("idx").as_int()).second)
            << "service keys are unique";
        const auto evt = svc.child("evt");
        ASSERT_TRUE(evt) << "every service has its present event";
        const time_t now = std::time(nullptr);
        EXPECT_LE(boxTime(evt.attribute("stime").value()), now + 60);
        EXPECT_GT(boxTime(evt.attribute("etime").value()), now - 60);
    }
    EXPECT_GE(tv, 300);
    EXPECT_GE(radio, 50);
    EXPECT_GT(scrambled, 0);
    EXPECT_GT(blocked, 0);
    EXPECT_GT(encoded, 0);
    EXPECT_TRUE(r.doc.select_node("//tp[@streaming_possibility='0']")) << "one transponder cannot stream";

    std::set<int> series;
    for (const auto& x : r.doc.select_nodes("//alarm/series"))
        series.insert(x.node().attribute("id").as_int());
    EXPECT_EQ(series.size(), 2u);
    EXPECT_TRUE(r.doc.select_node("//status/streaming/net"));
    EXPECT_TRUE(r.doc.select_node("//status/live/svc/service"));
}

TEST_F(DemoBoxReplies, EncodedNamesReachTheClientAsCyrillicAndTurkishInBothReplyForms)
{
    for (bool singleByte : {false, true}) {
        SCOPED_TRACE(singleByte ? "single-byte" : "UTF-8");
        start(singleByte ? std::vector<std::string>{"--single-byte"} : std::vector<std::string>{});
        Reply r;
        ask(port(), "fav_group++svc_list", &r);
        ASSERT_TRUE(r.wellFormed);
        EXPECT_EQ(r.raw.body.find("UTF-8") == std::string::npos, singleByte);
        const auto cyrillic = r.doc.select_node("//svc[@type='0' and @idx='3']/service").node();
        EXPECT_STREQ(cyrillic.attribute("encoding").value(), "ISO-8859-5");
        EXPECT_STREQ(cyrillic.text().get(), "Культура");
        const auto turkish = r.doc.select_node("//svc[@type='0' and @idx='6']/service").node();
        EXPECT_STREQ(turkish.attribute("encoding").value(), "ISO-8859-9");
        EXPECT_STREQ(turkish.text().get(), "Şimşek TV 2");
        EXPECT_STREQ(r.doc.select_node("//fav[@idx='2']").node().text().get(), "Радио");
        EXPECT_STREQ(r.doc.select_node("//fav[@idx='1']").node().text().get(), "News & Info");
    }
}

TEST_F(DemoBoxReplies, GuideCoversSevenDaysWithoutGapsAndHasPlaceholderNames)
{
    start();
    Reply r;
    ask(port(), "epg_info&svc_type=0&svc_idx=3", &r);
    ASSERT_TRUE(r.wellFormed);
    const auto epg = r.doc.select_node("//epg").node();
    EXPECT_EQ(epg.attribute("error").as_int(-1), 0);
    EXPECT_EQ(epg.attribute("svc_type").as_int(-1), 0);
    EXPECT_EQ(epg.attribute("svc_idx").as_int(-1), 3);
    time_t first = 0, previousEnd = 0;
    std::set<int> ids;
    int placeholders = 0, cyrillic = 0;
    for (const auto& x : r.doc.select_nodes("//epg/evt")) {
        const auto evt = x.node();
        const time_t start = boxTime(evt.attribute("stime").value());
        const time_t end = boxTime(evt.attribute("etime").value());
        if (first == 0)
            first = start;
        else
            EXPECT_EQ(start, previousEnd);
        EXPECT_LT(start, end);
        previousEnd = end;
        EXPECT_TRUE(ids.insert(evt.attribute("id").as_int()).second);
        const std::string name = evt.child("name").text().get();
        placeholders += name == "(None)";
        cyrillic += std::string(evt.child("name").attribute("encoding").value()) == "ISO-8859-5";
    }
    EXPECT_GE(previousEnd - first, 7 * 86400 - 3600);
    EXPECT_GT(placeholders, 0);
    EXPECT_GT(cyrillic, 0);
    EXPECT_TRUE(r.doc.select_node("//epg/evt/name[text()='Космос']")) << "the series of this service";

    struct Case
    {
        const char* text;
        int error;
    } cases[] = {{"epg_info&svc_type=0&svc_idx=99999", 2},
                 {"epg_info&svc_type=0", 1},
                 {"epg_info&svc_type=x&svc_idx=1", 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        Reply bad;
        ask(port(), c.text, &bad);
        EXPECT_EQ(errorOf(bad.doc, "epg"), c.error);
        EXPECT_FALSE(bad.doc.select_node("//epg/evt"));
    }
}

TEST_F(DemoBoxReplies, SetAlarmCreatesChangesDeletesAndRefusesLikeTheBox)
{
    start();
    // 03:00 six days ahead: clear of the generated timers, whatever the time of day.
    const time_t now0 = std::time(nullptr);
    std::tm day{};
    localtime_r(&now0, &day);
    day.tm_mday += 6;
    day.tm_hour = 3;
    day.tm_min = 0;
    day.tm_sec = 0;
    day.tm_isdst = -1;
    const time_t base = std::mktime(&day);
    auto setAlarm = [&](int id, int mode, time_t start, time_t end, Reply* r, int svcIdx = 10) {
        const std::string text =
            "set_alarm&sat_idx=0&svc_type=0&svc_idx=" + std::to_string(svcIdx) +
            "&alarm_id=" + std::to_string(id) + "&alarm_type=1&alarm_mode=" + std::to_string(mode) +
            "&alarm_days=0&stime=\"" + boxTimeText(start) + "\"&etime=\"" + boxTimeText(end) + "\"&evt_id=-1";
        ask(port(), text, r, true);
    };
    Reply created;
    setAlarm(0, 1, base, base + 1800, &created);
    ASSERT_EQ(errorOf(created.doc, "alarm"), 0) << created.raw.body;
    const auto alarm = created.doc.select_node("//alarm").node();
    const int id = alarm.attribute("id").as_int();
    EXPECT_GT(id, 7) << "a fresh id after the generated timers";
    EXPECT_EQ(boxTime(alarm.attribute("stime").value()), base / 60 * 60);
    EXPECT_EQ(alarm.child("svc").attribute("idx").as_int(-1), 10);

    Reply collision;
    setAlarm(0, 1, base + 600, base + 2400, &collision, 11);
    EXPECT_EQ(errorOf(collision.doc, "alarm"), 2);

    Reply changed;
    setAlarm(id, 2, base, base + 3600, &changed);
    EXPECT_EQ(errorOf(changed.doc, "alarm"), 0);
    EXPECT_EQ(changed.doc.select_node("//alarm").node().attribute("id").as_int(), id);
    EXPECT_EQ(changed.doc.select_node("//alarm").node().attribute("mode").as_int(), 2);

    Reply removed;
    setAlarm(id, 0, base, base + 3600, &removed);
    EXPECT_EQ(errorOf(removed.doc, "alarm"), 0);
    EXPECT_EQ(removed.doc.select_node("//alarm").node().attribute("mode").as_int(-1), 0);
    Reply list;
    ask(port(), "alarm_list", &list);
    EXPECT_FALSE(list.doc.select_node(("//alarm[@id='" + std::to_string(id) + "']").c_str()));

    Reply running;
    const time_t now = std::time(nullptr);
    setAlarm(0, 1, now - 600, now + 3600, &running, 20);
    ASSERT_EQ(errorOf(running.doc, "alarm"), 0);
    const int runningId = running.doc.select_node("//alarm").node().attribute("id").as_int();
    Reply runningChange;
    setAlarm(runningId, 1, now - 600, now + 7200, &runningChange, 20);
    EXPECT_EQ(errorOf(runningChange.doc, "alarm"), 3);

    struct Case
    {
        const char* text;
        int error;
    } wrong[] = {
        {"set_alarm&sat_idx=0&svc_type=0&svc_idx=10&alarm_id=999&alarm_type=1&alarm_mode=0", 4},
        {"set_alarm&sat_idx=0&svc_type=0&svc_idx=10&alarm_id=0&alarm_type=1&alarm_mode=1&alarm_days=0"
         "&stime=\"0-0-0T-1:-1\"&etime=\"0-0-0T-1:-1\"&evt_id=-1",
         4},
        {"set_alarm&sat_idx=0&svc_type=0&svc_idx=99999&alarm_id=0&alarm_type=1&alarm_mode=1&alarm_days=0"
         "&stime=\"2030-1-1T10:0\"&etime=\"2030-1-1T11:0\"&evt_id=-1",
         4},
        {"set_alarm&alarm_id=0", 4},
    };
    for (const auto& c : wrong) {
        SCOPED_TRACE(c.text);
        Reply r;
        ask(port(), c.text, &r, true);
        EXPECT_EQ(errorOf(r.doc, "alarm"), c.error);
    }
}

TEST_F(DemoBoxReplies, SetAlarmReportsSlotAllocationWhenTheBoxIsFull)
{
    start({"--max-alarms", "7"});
    Reply r;
    ask(port(),
        "set_alarm&sat_idx=0&svc_type=0&svc_idx=10&alarm_id=0&alarm_type=0&alarm_mode=1&alarm_days=0"
        "&stime=\"2031-1-1T10:0\"&etime=\"2031-1-1T11:0\"&evt_id=-1",
        &r, true);
    EXPECT_EQ(errorOf(r.doc, "alarm"), 1);
}

TEST_F(DemoBoxReplies, StreamingCommandsFollowTheBoxRules)
{
    start();
    auto startCmd = [](int type, int idx, int protocol, const std::string& ip, int clientPort,
                       const std::string& pin, int sat = 0) {
        return "stop_streaming++start_streaming&sat_idx=" + std::to_string(sat) +
               "&svc_type=" + std::to_string(type) + "&svc_idx=" + std::to_string(idx) +
               "&net_protocol=" + std::to_string(protocol) + "&net_client_ip=\"" + ip +
               "\"&net_client_port=" + std::to_string(clientPort) + "&pin_code=\"" + pin + "\"";
    };
    Reply ok;
    ask(port(), startCmd(0, 1, 1, "127.0.0.1", 0, "8351"), &ok, true);
    EXPECT_EQ(errorOf(ok.doc, "stop"), 0);
    ASSERT_EQ(errorOf(ok.doc, "streaming"), 0) << ok.raw.body;

    Reply status;
    ask(port(), "status", &status);
    const auto net = status.doc.select_node("//streaming/net").node();
    EXPECT_EQ(status.doc.select_node("//streaming").node().attribute("status").as_int(), 1);
    EXPECT_EQ(net.attribute("protocol").as_int(-1), 1);
    EXPECT_STREQ(net.attribute("client_ip").value(), "127.0.0.1");
    EXPECT_EQ(net.attribute("client_port").as_int(), 1234) << "UDP port 0 means 1234";
    EXPECT_EQ(status.doc.select_node("//streaming/svc").node().attribute("idx").as_int(-1), 1);
    EXPECT_EQ(status.doc.select_node("//live/svc").node().attribute("idx").as_int(-1), 1);

    Reply again;
    ask(port(), startCmd(0, 2, 0, "127.0.0.1", 5004, "8351").substr(std::string("stop_streaming++").size()),
        &again, true);
    EXPECT_EQ(errorOf(again.doc, "streaming"), 3) << "now playing";

    Reply stop;
    ask(port(), "stop_streaming", &stop, true);
    EXPECT_EQ(errorOf(stop.doc, "stop"), 0);
    Reply idle;
    ask(port(), "status", &idle);
    EXPECT_EQ(idle.doc.select_node("//streaming").node().attribute("status").as_int(-1), 0);
    EXPECT_EQ(idle.doc.select_node("//streaming/svc").node().attribute("idx").as_int(0), -1);

    // Ordinal 13 is parentally blocked; its TV index is 12 (ordinal 6 is a radio service).
    Reply all;
    ask(port(), "svc_list", &all);
    const auto blockedSvc = all.doc.select_node("//svc[@blocked='1' and @type='0']").node();
    const int blockedIdx = blockedSvc.attribute("idx").as_int();
    const auto lastTp = all.doc.select_node("//tp[@streaming_possibility='0']/svc").node();

    struct Case
    {
        std::string text;
        int error;
    } cases[] = {
        {startCmd(0, blockedIdx, 0, "127.0.0.1", 5004, "0000"), 5},
        {startCmd(0, 1, 0, "192.168.0.20", 5004, "8351"), 1},
        {startCmd(0, 99999, 0, "127.0.0.1", 5004, "8351"), 1},
        {startCmd(lastTp.attribute("type").as_int(), lastTp.attribute("idx").as_int(), 0, "127.0.0.1", 5004,
                  "8351", 2),
         2},
        {startCmd(0, 1, 0, "127.0.0.1", 5004, "8351", 1), 1}, // service not on that satellite
        {startCmd(0, 1, 7, "127.0.0.1", 5004, "8351"), 1},
        {"start_streaming&svc_type=0", 1},
        {startCmd(0, blockedIdx, 2, "", 8080, "8351"), 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        Reply r;
        ask(port(), c.text, &r, true);
        EXPECT_EQ(errorOf(r.doc, "streaming"), c.error) << r.raw.body;
    }
}

TEST_F(DemoBoxReplies, RemoteKeysAreTakenAndLogged)
{
    start();
    Reply key;
    ask(port(), "rcu&key=17&repeat=1", &key, true);
    EXPECT_EQ(errorOf(key.doc, "rcu"), 0);
    Reply bad;
    ask(port(), "rcu&repeat=1", &bad, true);
    EXPECT_EQ(errorOf(bad.doc, "rcu"), 1);
    const RawReply log = rawRequest(port(), "GET", "/demobox/log");
    EXPECT_NE(log.body.find("PUT /qnql?cmd=rcu&key=17&repeat=1"), std::string::npos) << log.body;
    EXPECT_NE(log.body.find("rcu key=17 repeat=1"), std::string::npos);
}

TEST_F(DemoBoxReplies, UnknownAndBrokenRequestsGetErrorsAndTheBoxKeepsAnswering)
{
    start();
    Reply mixed;
    ask(port(), "frobnicate&x=1++status++++&&==++\"", &mixed);
    ASSERT_TRUE(mixed.wellFormed) << mixed.raw.body;
    EXPECT_EQ(mixed.doc.select_node("//unknown[@command='frobnicate']").node().attribute("error").as_int(),
              1);
    EXPECT_EQ(errorOf(mixed.doc, "status"), 0);

    struct Case
    {
        const char* method;
        const char* target;
        int status;
    } cases[] = {
        {"DELETE", "/qnql?q=status", 405}, {"PUT", "/elsewhere", 404},          {"PUT", "/qnql?x=1", 400},
        {"PUT", "/qnql?q=%ZZ%", 200},      {"GET", "/quarn/content.m3u8", 401},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.target);
        EXPECT_EQ(rawRequest(port(), c.method, c.target).status, c.status);
    }
    const RawReply longHead = rawRequest(port(), "PUT", "/qnql?q=" + std::string(70000, 'a'));
    EXPECT_EQ(longHead.status, 431);
    Reply still;
    ask(port(), "", &still);
    EXPECT_TRUE(still.wellFormed);
}

TEST_F(DemoBoxReplies, RandomQueryTextsAlwaysGetWellFormedReplies)
{
    start();
    static const char* const tokens[] = {
        "++",           "&",        "\"",        "=",          "%",
        "%00",          "%22",      "%FF",       "%F0%9F%98",  "check_pin",
        "svc_list",     "epg_info", "set_alarm", "rcu",        "key",
        "svc_type",     "svc_idx",  "stime",     "alarm_mode", "start_streaming",
        "net_protocol", "-1",       "0",         "2147483648", "2014-3-5T9:7",
        "%20",          "<",        ">",         "'",          "\\"};
    unsigned state = 12345;
    auto next = [&state] {
        state = state * 1103515245u + 12345u;
        return (state >> 16) & 0x7FFF;
    };
    for (int i = 0; i < 300; ++i) {
        std::string text;
        const int count = 1 + int(next() % 12);
        for (int k = 0; k < count; ++k)
            text += tokens[next() % (sizeof tokens / sizeof tokens[0])];
        SCOPED_TRACE(text);
        Reply r;
        ask(port(), text, &r, next() % 2 == 0);
        ASSERT_EQ(r.raw.status, 200);
        ASSERT_TRUE(r.wellFormed) << r.raw.body;
    }
    // Not HTTP at all.
    const RawReply junk = rawRequest(port(), "\x01\x02", "\x03", 3000);
    EXPECT_GE(junk.status, 400);
    EXPECT_LT(junk.status, 500);
    Reply still;
    ask(port(), "status", &still);
    EXPECT_EQ(errorOf(still.doc, "status"), 0);
}

TEST_F(DemoBoxReplies, ServicesOptionScalesTheDatabase)
{
    start({"--services", "20000"});
    Reply r;
    ask(port(), "svc_list", &r);
    ASSERT_TRUE(r.wellFormed);
    EXPECT_EQ(r.doc.select_nodes("//sat/tp/svc").size(), 20000u);
}

} // namespace
