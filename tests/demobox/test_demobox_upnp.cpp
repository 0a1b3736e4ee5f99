// Inside a private network namespace the demo box announces itself as a UPnP root device that
// the client's discovery accepts: friendly name "NORVA+ Media Server", description URL on
// 127.0.0.1 with an explicit port.

#include "DemoBoxProcess.h"
#include "RawHttp.h"

#include <chrono>
#include <gtest/gtest.h>
#include <libgssdp/gssdp.h>
#include <string>

namespace {

struct Found
{
    std::string location;
};

void onAvailable(GSSDPResourceBrowser*, const char*, GList* locations, gpointer data)
{
    auto* found = static_cast<Found*>(data);
    if (locations != nullptr && found->location.empty())
        found->location = static_cast<const char*>(locations->data);
}

std::string browseRootDevice(int timeoutMs)
{
    GError* error = nullptr;
    GSSDPClient* client = gssdp_client_new_full("lo", nullptr, 0, GSSDP_UDA_VERSION_1_0, &error);
    if (client == nullptr) {
        ADD_FAILURE() << (error != nullptr ? error->message : "no SSDP client");
        g_clear_error(&error);
        return {};
    }
    GSSDPResourceBrowser* browser = gssdp_resource_browser_new(client, "upnp:rootdevice");
    Found found;
    g_signal_connect(browser, "resource-available", G_CALLBACK(onAvailable), &found);
    gssdp_resource_browser_set_active(browser, TRUE);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (found.location.empty() && std::chrono::steady_clock::now() < deadline) {
        if (!g_main_context_iteration(nullptr, FALSE))
            g_usleep(10000);
    }
    gssdp_resource_browser_set_active(browser, FALSE);
    g_object_unref(browser);
    g_object_unref(client);
    return found.location;
}

TEST(DemoBoxUpnp, AnnouncesARootDeviceWithTheBoxFriendlyName)
{
    ASSERT_STREQ(std::getenv("KELVO_IN_NETNS"), "1") << "run through tools/netns-run";
    {
        DemoBoxProcess quiet({"--no-ffmpeg", "--no-upnp"});
        ASSERT_TRUE(quiet.ok()) << quiet.error();
        EXPECT_TRUE(browseRootDevice(2500).empty()) << "--no-upnp announces nothing";
    }
    DemoBoxProcess box({"--no-ffmpeg"});
    ASSERT_TRUE(box.ok()) << box.error();
    // A second box in the same namespace finds port 80 taken and still starts.
    DemoBoxProcess second({"--no-ffmpeg", "--no-upnp"});
    EXPECT_TRUE(second.ok()) << second.error();

    const std::string location = browseRootDevice(10000);
    ASSERT_FALSE(location.empty()) << "no announcement seen";
    const std::string prefix = "http://127.0.0.1:";
    ASSERT_EQ(location.rfind(prefix, 0), 0u) << location;
    const int port = std::atoi(location.c_str() + prefix.size());
    EXPECT_GT(port, 0) << "the description URL names its port";
    const std::string path = location.substr(location.find('/', prefix.size()));
    const RawReply description = rawRequest(port, "GET", path);
    EXPECT_EQ(description.status, 200);
    EXPECT_NE(description.body.find("<friendlyName>NORVA+ Media Server</friendlyName>"), std::string::npos)
        << description.body;

    // Port 80 inside the namespace serves the box's HLS files.
    EXPECT_EQ(rawRequest(80, "GET", "/quarn/content.m3u8").status, 401);
}

} // namespace
