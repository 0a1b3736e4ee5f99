// End-to-end discovery inside a private network namespace (see tools/netns-run): devices are
// served from 127.0.0.1 by a GUPnP stack on a loop of its own, and the finder searches "lo".

#include "TestUpnpHost.h"
#include "discovery/CFindUPnpDevice.h"
#include "discovery/CNearbyBoxList.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace {
const QString kBox = QStringLiteral("NORVA+ Media Server");
constexpr quint32 kLoopback = 0x7F000001u;
// The longest a search may take to report its end: the sweep's deadline, plus slack for a
// loaded machine and sanitizers.
const int kCompletionLimitMs = CFindUPnpDevice::kSweepDeadlineMs + 2500;

struct Event
{
    enum Kind
    {
        Found,
        Removed,
        Complete
    } kind;
    UpnpDevice device;
    QString udn;
    qint64 atMs;
};

// Collects the finder's events and feeds them to a nearby list, as the settings view does.
class Recorder final
{
public:
    Recorder(CFindUPnpDevice& finder, CNearbyBoxList* list = nullptr) : m_list(list)
    {
        m_clock.start();
        QObject::connect(&finder, &CFindUPnpDevice::DeviceFound, &finder, [this](const UpnpDevice& device) {
            m_events.push_back({Event::Found, device, device.udn, m_clock.elapsed()});
            if (m_list)
                m_list->OnDeviceFound(device);
        });
        QObject::connect(&finder, &CFindUPnpDevice::DeviceRemoved, &finder, [this](const QString& udn) {
            m_events.push_back({Event::Removed, {}, udn, m_clock.elapsed()});
            if (m_list)
                m_list->OnDeviceRemoved(udn);
        });
        QObject::connect(&finder, &CFindUPnpDevice::SearchComplete, &finder, [this] {
            m_events.push_back({Event::Complete, {}, {}, m_clock.elapsed()});
            if (m_list)
                m_list->OnSearchComplete();
        });
    }

    const std::vector<Event>& Events() const { return m_events; }
    int Count(Event::Kind kind, const QString& udn = {}) const
    {
        int count = 0;
        for (const Event& event : m_events)
            count += event.kind == kind && (udn.isEmpty() || event.udn == udn);
        return count;
    }
    const Event* First(Event::Kind kind, const QString& udn = {}) const
    {
        for (const Event& event : m_events)
            if (event.kind == kind && (udn.isEmpty() || event.udn == udn))
                return &event;
        return nullptr;
    }
    bool Completed() const { return Count(Event::Complete) > 0; }

private:
    CNearbyBoxList* m_list;
    QElapsedTimer m_clock;
    std::vector<Event> m_events;
};

// Runs the event loop until `done` holds or `ms` have passed; returns `done()`.
bool Pump(
    int ms, const std::function<bool()>& done = [] { return false; })
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < ms) {
        QEventLoop loop;
        QTimer::singleShot(10, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return done();
}

std::vector<std::string> Rows(const CNearbyBoxList& list)
{
    std::vector<std::string> rows;
    for (int row = 0; row < list.RowCount(); ++row)
        rows.push_back(list.RowText(row).toStdString());
    return rows;
}

class Discovery : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        static int argc = 1;
        static char name[] = "test_find_upnp_device";
        static char* argv[] = {name, nullptr};
        if (!QCoreApplication::instance())
            s_app = std::make_unique<QCoreApplication>(argc, argv);
    }

    static void TearDownTestSuite() { s_app.reset(); }

    static bool HelperThreadExpected() { return qEnvironmentVariableIsSet("QT_NO_GLIB"); }

    static std::unique_ptr<QCoreApplication> s_app;
};
std::unique_ptr<QCoreApplication> Discovery::s_app;

TEST_F(Discovery, FindsABoxAtTheHostOfItsDescriptionUrl)
{
    TestUpnpHost host;
    ASSERT_TRUE(host.Ok());
    const QString location = host.AddRootDevice(kBox, QStringLiteral("kelvo-box-1"));
    ASSERT_TRUE(location.startsWith(host.BaseUrl() + QLatin1Char('/'))) << location.toStdString();

    CNearbyBoxList list;
    list.BeginSearch();
    CFindUPnpDevice finder(CFindUPnpDevice::Scope::Loopback);
    Recorder recorder(finder, &list);
    ASSERT_TRUE(finder.Start());
    EXPECT_EQ(finder.UsesHelperThread(), HelperThreadExpected());
    EXPECT_TRUE(recorder.Events().empty()) << "events arrive from the event loop, never from Start";
    ASSERT_TRUE(Pump(kCompletionLimitMs, [&] { return recorder.Completed(); }));
    Pump(300);

    const Event* found = recorder.First(Event::Found, QStringLiteral("uuid:kelvo-box-1"));
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->device.friendlyName, kBox);
    EXPECT_EQ(found->device.documentUrl, location);
    EXPECT_EQ(found->device.ipAddress, kLoopback);
    EXPECT_EQ(recorder.Count(Event::Found, QStringLiteral("uuid:kelvo-box-1")), 1);
    EXPECT_EQ(recorder.Count(Event::Complete), 1);
    EXPECT_LT(found->atMs, recorder.First(Event::Complete)->atMs);
    EXPECT_EQ(finder.Stats().eventsOffThread, 0);
    EXPECT_EQ(Rows(list), (std::vector<std::string>{"NORVA+ Media Server (127.0.0.1)", "Scanning..."}));
    std::printf("found after %lld ms, sweep ended after %lld ms\n", static_cast<long long>(found->atMs),
                static_cast<long long>(recorder.First(Event::Complete)->atMs));
}

TEST_F(Discovery, TwoRootDevicesAtOneAddressGiveOneRowAndOtherDevicesNone)
{
    TestUpnpHost host;
    ASSERT_TRUE(host.Ok());
    ASSERT_FALSE(host.AddRootDevice(kBox, QStringLiteral("kelvo-a")).isEmpty());
    ASSERT_FALSE(
        host.AddRootDevice(QStringLiteral("norva+ media SERVER"), QStringLiteral("kelvo-b")).isEmpty());
    ASSERT_FALSE(
        host.AddRootDevice(QStringLiteral("Other Media Server"), QStringLiteral("kelvo-c")).isEmpty());

    CNearbyBoxList list;
    list.BeginSearch();
    CFindUPnpDevice finder(CFindUPnpDevice::Scope::Loopback);
    Recorder recorder(finder, &list);
    ASSERT_TRUE(finder.Start());
    ASSERT_TRUE(Pump(kCompletionLimitMs, [&] { return recorder.Completed(); }));

    for (const char* udn : {"uuid:kelvo-a", "uuid:kelvo-b", "uuid:kelvo-c"})
        EXPECT_EQ(recorder.Count(Event::Found, QString::fromLatin1(udn)), 1) << udn;
    ASSERT_EQ(list.BoxCount(), 1);
    EXPECT_EQ(list.Box(0)->ipAddress, kLoopback);
    EXPECT_NE(list.Box(0)->friendlyName, QStringLiteral("Other Media Server"));
    EXPECT_TRUE(list.IsPlaceholder(1));
}

TEST_F(Discovery, ABoxThatLeftIsPrunedWhenTheNextSearchCompletes)
{
    TestUpnpHost host;
    ASSERT_TRUE(host.Ok());
    ASSERT_FALSE(host.AddRootDevice(kBox, QStringLiteral("kelvo-leaving")).isEmpty());
    const QString udn = QStringLiteral("uuid:kelvo-leaving");

    CNearbyBoxList list;
    {
        list.BeginSearch();
        CFindUPnpDevice first(CFindUPnpDevice::Scope::Loopback);
        Recorder recorder(first, &list);
        ASSERT_TRUE(first.Start());
        ASSERT_TRUE(Pump(kCompletionLimitMs, [&] { return recorder.Completed(); }));
        ASSERT_EQ(list.BoxCount(), 1);

        // Its goodbye reaches the running search as a removal; the row stays.
        host.RemoveRootDevice(QStringLiteral("kelvo-leaving"));
        EXPECT_TRUE(Pump(3000, [&] { return recorder.Count(Event::Removed, udn) > 0; }));
        EXPECT_EQ(list.BoxCount(), 1);
    }

    list.BeginSearch();
    CFindUPnpDevice second(CFindUPnpDevice::Scope::Loopback);
    Recorder recorder(second, &list);
    ASSERT_TRUE(second.Start());
    EXPECT_EQ(list.BoxCount(), 1) << "rows stay until the new search completes";
    ASSERT_TRUE(Pump(kCompletionLimitMs, [&] { return recorder.Completed(); }));
    EXPECT_EQ(recorder.Count(Event::Found, udn), 0);
    EXPECT_EQ(Rows(list), std::vector<std::string>{"Scanning..."});
}

TEST_F(Discovery, NoEventAfterCancellingOrDestroying)
{
    TestUpnpHost host;
    ASSERT_TRUE(host.Ok());
    ASSERT_FALSE(host.AddRootDevice(kBox, QStringLiteral("kelvo-cancel-1")).isEmpty());

    // Cancelled before anything came back.
    CFindUPnpDevice early(CFindUPnpDevice::Scope::Loopback);
    Recorder earlyRecorder(early);
    ASSERT_TRUE(early.Start());
    early.Cancel();
    EXPECT_FALSE(early.IsRunning());
    EXPECT_FALSE(early.Start()) << "a finder searches once";

    // Cancelled in the middle: after the first device, before the sweep ends.
    CFindUPnpDevice middle(CFindUPnpDevice::Scope::Loopback);
    Recorder middleRecorder(middle);
    ASSERT_TRUE(middle.Start());
    ASSERT_TRUE(Pump(kCompletionLimitMs, [&] { return middleRecorder.Count(Event::Found) > 0; }));
    ASSERT_FALSE(middleRecorder.Completed());
    middle.Cancel();
    const size_t seen = middleRecorder.Events().size();

    // Destroyed in the middle of a search.
    auto destroyed = std::make_unique<CFindUPnpDevice>(CFindUPnpDevice::Scope::Loopback);
    ASSERT_TRUE(destroyed->Start());
    Pump(200);
    destroyed.reset();

    // A new device announces itself and old ones leave, while nobody is searching any more.
    ASSERT_FALSE(host.AddRootDevice(kBox, QStringLiteral("kelvo-cancel-2")).isEmpty());
    host.RemoveRootDevice(QStringLiteral("kelvo-cancel-1"));
    Pump(CFindUPnpDevice::kSweepWindowMs + 1200); // past the moment the sweeps would have ended
    EXPECT_TRUE(earlyRecorder.Events().empty());
    EXPECT_EQ(middleRecorder.Events().size(), seen);
    middle.Cancel(); // twice is harmless
}

TEST_F(Discovery, TheLocalNetworkScopeSearchesNoLoopbackAndNoneSearchesNothing)
{
    // The namespace has only "lo", which the application's own scope leaves out; a box announced
    // there must stay unseen, and a search with nothing to search reports that it did not start.
    TestUpnpHost host;
    ASSERT_TRUE(host.Ok());
    ASSERT_FALSE(host.AddRootDevice(kBox, QStringLiteral("kelvo-scope-1")).isEmpty());
    for (const CFindUPnpDevice::Scope scope : {CFindUPnpDevice::Scope::Lan, CFindUPnpDevice::Scope::None}) {
        CFindUPnpDevice finder(scope);
        Recorder recorder(finder);
        EXPECT_FALSE(finder.Start());
        EXPECT_FALSE(finder.IsRunning());
        Pump(300);
        EXPECT_TRUE(recorder.Events().empty());
    }
    EXPECT_EQ(CFindUPnpDevice().SearchScope(), CFindUPnpDevice::Scope::Lan) << "the application's default";
}

TEST_F(Discovery, ADescriptionUrlWithoutAPortGivesTheHostAddress)
{
    // Port 80 is only ours inside the private namespace the test runs in.
    TestUpnpHost host(80);
    ASSERT_TRUE(host.Ok()) << "needs port 80 (run inside tools/netns-run)";
    host.HostFile(QStringLiteral("/box.xml"),
                  TestUpnpHost::Description(kBox, QStringLiteral("kelvo-port80")));
    host.Announce(QStringLiteral("kelvo-port80"), QStringLiteral("http://127.0.0.1/box.xml"));

    CNearbyBoxList list;
    list.BeginSearch();
    CFindUPnpDevice finder(CFindUPnpDevice::Scope::Loopback);
    Recorder recorder(finder, &list);
    ASSERT_TRUE(finder.Start());
    ASSERT_TRUE(Pump(kCompletionLimitMs, [&] { return recorder.Completed(); }));
    const Event* found = recorder.First(Event::Found, QStringLiteral("uuid:kelvo-port80"));
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->device.documentUrl, QStringLiteral("http://127.0.0.1/box.xml"));
    EXPECT_EQ(found->device.ipAddress, kLoopback);
    EXPECT_EQ(Rows(list), (std::vector<std::string>{"NORVA+ Media Server (127.0.0.1)", "Scanning..."}));
}

QByteArray Padded(const QByteArray& description, int bytes)
{
    QByteArray padded = description;
    padded.append("<!-- ");
    padded.append(QByteArray(bytes, 'x'));
    padded.append(" -->\n");
    return padded;
}

TEST_F(Discovery, BrokenAndHostileDescriptionsAreSkipped)
{
    TestUpnpHost host;
    ASSERT_TRUE(host.Ok());
    ASSERT_FALSE(host.AddRootDevice(kBox, QStringLiteral("kelvo-good")).isEmpty());
    const QString base = host.BaseUrl();
    auto serve = [&](const char* udn, const QByteArray& body) {
        const QString path = QStringLiteral("/%1.xml").arg(QString::fromLatin1(udn));
        host.HostFile(path, body);
        host.Announce(QString::fromLatin1(udn), base + path);
    };
    // Each of these would be a box if its description were taken.
    serve("huge", Padded(TestUpnpHost::Description(kBox, QStringLiteral("huge")), 4 * 1024 * 1024));
    host.HostChunked(QStringLiteral("/chunked.xml"),
                     Padded(TestUpnpHost::Description(kBox, QStringLiteral("chunked")), 512 * 1024));
    host.Announce(QStringLiteral("chunked"), base + QStringLiteral("/chunked.xml"));
    serve("garbage", QByteArray(3000, '\x9c'));
    serve("nameless", TestUpnpHost::Description(kBox, QStringLiteral("nameless"))
                          .replace("<friendlyName>NORVA+ Media Server</friendlyName>", ""));
    serve("otherudn", TestUpnpHost::Description(kBox, QStringLiteral("somebody-else")));
    serve("laughs",
          QByteArray(
              "<?xml version=\"1.0\"?><!DOCTYPE root [<!ENTITY a \"aaaaaaaaaa\">"
              "<!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\"><!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\">"
              "<!ENTITY d \"&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;\"><!ENTITY e \"&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;\">"
              "<!ENTITY f \"&e;&e;&e;&e;&e;&e;&e;&e;&e;&e;\"><!ENTITY g \"&f;&f;&f;&f;&f;&f;&f;&f;&f;&f;\">"
              "<!ENTITY h \"&g;&g;&g;&g;&g;&g;&g;&g;&g;&g;\"><!ENTITY i \"&h;&h;&h;&h;&h;&h;&h;&h;&h;&h;\">]>"
              "<root xmlns=\"urn:schemas-upnp-org:device-1-0\"><device>"
              "<friendlyName>&i;</friendlyName><UDN>uuid:laughs</UDN></device></root>"));
    host.Announce(QStringLiteral("missing"), base + QStringLiteral("/missing.xml"));
    host.Announce(QStringLiteral("refused"), QStringLiteral("http://127.0.0.1:1/refused.xml"));
    host.Announce(QStringLiteral("silent"),
                  QStringLiteral("http://127.0.0.1:%1/silent.xml").arg(host.SilentPort()));
    // Never fetched: elsewhere than the searched network, a name to look up, not http.
    host.Announce(QStringLiteral("elsewhere"), QStringLiteral("http://10.9.8.7/box.xml"));
    host.Announce(QStringLiteral("named"),
                  QString(base).replace(QStringLiteral("127.0.0.1"), QStringLiteral("localhost")) +
                      QStringLiteral("/kelvo-good.xml"));
    host.Announce(QStringLiteral("ftp"), QStringLiteral("ftp://127.0.0.1/box.xml"));

    CFindUPnpDevice finder(CFindUPnpDevice::Scope::Loopback);
    Recorder recorder(finder);
    ASSERT_TRUE(finder.Start());
    ASSERT_TRUE(Pump(kCompletionLimitMs, [&] { return recorder.Completed(); }));

    EXPECT_EQ(recorder.Count(Event::Found, QStringLiteral("uuid:kelvo-good")), 1);
    for (const Event& event : recorder.Events())
        EXPECT_TRUE(event.kind != Event::Found || event.udn == QStringLiteral("uuid:kelvo-good"))
            << event.udn.toStdString() << " at " << event.device.documentUrl.toStdString() << " named "
            << event.device.friendlyName.left(80).toStdString();
    const CFindUPnpDevice::Statistics stats = finder.Stats();
    EXPECT_GE(stats.descriptionsCut, 2);
    EXPECT_GE(stats.resourcesRefused, 3);
    EXPECT_GE(stats.devicesSkipped, 1);

    // Tearing down with downloads still hanging does not wait for them.
    QElapsedTimer clock;
    clock.start();
    finder.Cancel();
    EXPECT_LT(clock.elapsed(), 1000);
}

TEST_F(Discovery, AFloodOfAnnouncementsIsBounded)
{
    TestUpnpHost host;
    ASSERT_TRUE(host.Ok());
    ASSERT_FALSE(host.AddRootDevice(kBox, QStringLiteral("kelvo-among-many")).isEmpty());
    // One noisy address: it gets a bounded share (16 root devices), the box is still found.
    constexpr int kFromOneHost = 300;
    for (int i = 0; i < kFromOneHost; ++i)
        host.Announce(QStringLiteral("flood-%1").arg(i), QStringLiteral("http://127.0.0.9:1/%1.xml").arg(i));
    {
        CFindUPnpDevice finder(CFindUPnpDevice::Scope::Loopback);
        Recorder recorder(finder);
        ASSERT_TRUE(finder.Start());
        ASSERT_TRUE(Pump(kCompletionLimitMs, [&] { return recorder.Completed(); }));
        EXPECT_EQ(recorder.Count(Event::Found, QStringLiteral("uuid:kelvo-among-many")), 1);
        EXPECT_EQ(recorder.Count(Event::Found), 1);
        EXPECT_GE(finder.Stats().resourcesRefused, kFromOneHost - 16);
    }

    // Many addresses: at most 64 root devices are looked at in one search.
    constexpr int kFromManyHosts = 200;
    for (int i = 0; i < kFromManyHosts; ++i)
        host.Announce(QStringLiteral("spread-%1").arg(i),
                      QStringLiteral("http://127.0.%1.%2:1/d.xml").arg(1 + i / 250).arg(1 + i % 250));
    CFindUPnpDevice finder(CFindUPnpDevice::Scope::Loopback);
    Recorder recorder(finder);
    ASSERT_TRUE(finder.Start());
    ASSERT_TRUE(Pump(kCompletionLimitMs, [&] { return recorder.Completed(); }));
    EXPECT_LE(recorder.Count(Event::Found), 1);
    EXPECT_GE(finder.Stats().resourcesRefused, kFromOneHost + kFromManyHosts + 1 - 64);
}
} // namespace
