// Every fault mode of the demo box, set at run time through its control endpoint and from its
// command line, and how a plain HTTP client sees it.

#include "BoxXml.h"
#include "DemoBoxProcess.h"
#include "RawHttp.h"

#include <functional>
#include <gtest/gtest.h>
#include <string>

namespace {

constexpr const char* kKey = "rcu&key=1&repeat=0";

bool wellFormed(const std::string& body)
{
    pugi::xml_document doc;
    return boxxml::load(body, &doc) && doc.select_node("//quarn:query");
}

class DemoBoxFaults : public ::testing::Test
{
protected:
    void SetUp() override
    {
        box = std::make_unique<DemoBoxProcess>(std::vector<std::string>{"--no-ffmpeg", "--no-upnp"});
        ASSERT_TRUE(box->ok()) << box->error();
    }
    RawReply control(const std::string& query)
    {
        return rawRequest(box->port(), "GET", "/demobox/fault?" + query);
    }

    std::unique_ptr<DemoBoxProcess> box;
};

TEST_F(DemoBoxFaults, EachModeReachesTheClientAsDescribed)
{
    const RawReply normal = boxQuery(box->port(), kKey, true);
    ASSERT_EQ(normal.status, 200);

    struct Case
    {
        const char* mode;
        const char* arg;
        int timeoutMs;
        std::function<void(const RawReply&)> check;
    } cases[] = {
        {"delay", "400", 5000,
         [&](const RawReply& r) {
             EXPECT_EQ(r.status, 200);
             EXPECT_GE(r.elapsedMs, 380);
             EXPECT_EQ(r.body, normal.body.substr(0, r.body.size()));
         }},
        {"hang", "", 800,
         [](const RawReply& r) {
             EXPECT_TRUE(r.timedOut);
             EXPECT_EQ(r.bytes, 0);
         }},
        {"reset", "", 3000,
         [](const RawReply& r) {
             EXPECT_TRUE(r.reset);
             EXPECT_EQ(r.bytes, 0);
         }},
        {"http500", "", 3000,
         [](const RawReply& r) {
             EXPECT_EQ(r.status, 500);
             EXPECT_FALSE(r.body.empty());
         }},
        {"truncate", "", 3000,
         [&](const RawReply& r) {
             EXPECT_EQ(r.status, 200);
             EXPECT_LT(r.body.size(), normal.body.size());
             EXPECT_FALSE(wellFormed(r.body));
         }},
        {"garbage", "300", 3000,
         [](const RawReply& r) {
             EXPECT_EQ(r.status, 200);
             EXPECT_EQ(r.body.size(), 300u);
             EXPECT_FALSE(wellFormed(r.body));
         }},
        {"huge", "8", 20000,
         [](const RawReply& r) {
             EXPECT_EQ(r.status, 200);
             EXPECT_FALSE(r.timedOut);
             EXPECT_EQ(r.bytes - static_cast<long long>(r.head.size() + 4), 8LL * 1024 * 1024);
             EXPECT_EQ(r.body.rfind("<?xml", 0), 0u);
         }},
        {"drip", "15", 10000,
         [&](const RawReply& r) {
             EXPECT_EQ(r.status, 200);
             EXPECT_GE(r.elapsedMs, 150) << "sent in small pieces";
             EXPECT_TRUE(wellFormed(r.body));
         }},
        {"error", "4", 3000,
         [](const RawReply& r) {
             pugi::xml_document doc;
             ASSERT_TRUE(boxxml::load(r.body, &doc));
             EXPECT_EQ(doc.select_node("//rcu/@error").attribute().as_int(), 4);
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode);
        const RawReply set = control(std::string("cmd=rcu&mode=") + c.mode + (*c.arg ? "&arg=" : "") + c.arg);
        ASSERT_EQ(set.status, 200) << set.body;
        c.check(boxQuery(box->port(), kKey, true, c.timeoutMs));
        // Other commands are not touched by a fault set for one command.
        EXPECT_TRUE(wellFormed(boxQuery(box->port(), "status").body));
        ASSERT_EQ(control("clear=1").status, 200);
        EXPECT_EQ(boxQuery(box->port(), kKey, true).body.size(), normal.body.size());
    }
}

TEST_F(DemoBoxFaults, GlobalFaultsCountsAndBadSettings)
{
    ASSERT_EQ(control("mode=http500&count=2").status, 200);
    EXPECT_EQ(boxQuery(box->port(), "").status, 500);
    EXPECT_EQ(boxQuery(box->port(), "status").status, 500);
    EXPECT_EQ(boxQuery(box->port(), "status").status, 200) << "the fault cleared itself after two requests";

    EXPECT_EQ(control("mode=explode").status, 400);
    EXPECT_EQ(control("mode=delay&arg=-5").status, 400);
    EXPECT_EQ(control("mode=delay&count=x").status, 400);

    ASSERT_EQ(control("cmd=version&mode=reset").status, 200);
    EXPECT_TRUE(boxQuery(box->port(), "").reset);
    EXPECT_EQ(boxQuery(box->port(), "status").status, 200);
    EXPECT_NE(control("").body.find("version reset"), std::string::npos);
}

TEST(DemoBoxFaultOptions, FaultsGivenOnTheCommandLineApplyFromTheStart)
{
    DemoBoxProcess box(
        {"--no-ffmpeg", "--no-upnp", "--fault", "svc_list=http500", "--fault", "status=error:9"});
    ASSERT_TRUE(box.ok()) << box.error();
    EXPECT_EQ(boxQuery(box.port(), "fav_group++svc_list").status, 500);
    pugi::xml_document doc;
    ASSERT_TRUE(boxxml::load(boxQuery(box.port(), "status++fav_group").body, &doc));
    EXPECT_EQ(doc.select_node("//status/@error").attribute().as_int(), 9);
    EXPECT_EQ(doc.select_node("//fav_group/@error").attribute().as_int(), 0);
}

TEST_F(DemoBoxFaults, OmittedSectionsAreLeftOutAndTheirCommandsNotCarriedOut)
{
    ASSERT_EQ(control("cmd=start_streaming&mode=omit").status, 200);
    pugi::xml_document doc;
    ASSERT_TRUE(
        boxxml::load(boxQuery(box->port(),
                              "stop_streaming++start_streaming&sat_idx=0&svc_type=0&svc_idx=1&net_protocol=1"
                              "&net_client_ip=\"127.0.0.1\"&net_client_port=0&pin_code=\"8351\"",
                              true)
                         .body,
                     &doc));
    EXPECT_EQ(doc.select_node("//stop/@error").attribute().as_int(-1), 0);
    EXPECT_FALSE(doc.select_node("//streaming"));
    pugi::xml_document status;
    ASSERT_TRUE(boxxml::load(boxQuery(box->port(), "status").body, &status));
    EXPECT_EQ(status.select_node("//streaming/@status").attribute().as_int(-1), 0) << "nothing was started";

    DemoBoxProcess broken({"--no-upnp", "--fault", "svc_list=melt"});
    EXPECT_FALSE(broken.ok());
}

} // namespace
