// The finder against the real demo box, in a private network namespace where the box announces
// itself by UPnP on "lo".

#include "DemoBoxProcess.h"
#include "discovery/CFindUPnpDevice.h"
#include "discovery/CNearbyBoxList.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <gtest/gtest.h>

namespace {
TEST(DiscoveryOfTheDemoBox, FindsTheBoxAndListsIt)
{
    int argc = 1;
    char name[] = "test_find_demobox";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);

    DemoBoxProcess box({"--no-ffmpeg"});
    ASSERT_TRUE(box.ok()) << box.error();

    CNearbyBoxList list;
    list.BeginSearch();
    CFindUPnpDevice finder(CFindUPnpDevice::Scope::Loopback);
    UpnpDevice found;
    bool complete = false;
    QObject::connect(&finder, &CFindUPnpDevice::DeviceFound, &finder, [&](const UpnpDevice& device) {
        if (CNearbyBoxList::IsBox(device))
            found = device;
        list.OnDeviceFound(device);
    });
    QObject::connect(&finder, &CFindUPnpDevice::SearchComplete, &finder, [&] {
        complete = true;
        list.OnSearchComplete();
    });
    ASSERT_TRUE(finder.Start());
    QElapsedTimer clock;
    clock.start();
    while (!complete && clock.elapsed() < 12000) {
        QEventLoop loop;
        QTimer::singleShot(10, &loop, &QEventLoop::quit);
        loop.exec();
    }
    ASSERT_TRUE(complete);
    EXPECT_EQ(found.friendlyName, QStringLiteral("NORVA+ Media Server"));
    EXPECT_TRUE(found.udn.startsWith(QStringLiteral("uuid:"))) << found.udn.toStdString();
    EXPECT_EQ(found.ipAddress, 0x7F000001u) << found.documentUrl.toStdString();
    ASSERT_EQ(list.RowCount(), 2);
    EXPECT_EQ(list.RowText(0), QStringLiteral("NORVA+ Media Server (127.0.0.1)"));
    EXPECT_TRUE(list.IsPlaceholder(1));
}
} // namespace
