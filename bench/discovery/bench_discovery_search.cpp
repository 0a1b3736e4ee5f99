// Prints how long a search takes to report a box and to end its initial sweep, over a number of
// searches, for one box and for several boxes at once. Runs inside tools/netns-run.

#include "TestUpnpHost.h"
#include "discovery/CFindUPnpDevice.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {
struct Sample
{
    qint64 firstFoundMs = -1;
    qint64 allFoundMs = -1;
    qint64 completeMs = -1;
    qint64 startUs = -1;  // time spent inside Start
    qint64 cancelUs = -1; // time spent inside Cancel
};

Sample Search(int boxes)
{
    CFindUPnpDevice finder(CFindUPnpDevice::Scope::Loopback);
    QElapsedTimer clock;
    Sample sample;
    int found = 0;
    QObject::connect(&finder, &CFindUPnpDevice::DeviceFound, &finder, [&](const UpnpDevice&) {
        if (++found == 1)
            sample.firstFoundMs = clock.elapsed();
        if (found == boxes)
            sample.allFoundMs = clock.elapsed();
    });
    QObject::connect(&finder, &CFindUPnpDevice::SearchComplete, &finder,
                     [&] { sample.completeMs = clock.elapsed(); });
    clock.start();
    QElapsedTimer call;
    call.start();
    const bool started = finder.Start();
    sample.startUs = call.nsecsElapsed() / 1000;
    if (!started)
        return sample;
    while (sample.completeMs < 0 && clock.elapsed() < 15000) {
        QEventLoop loop;
        QTimer::singleShot(5, &loop, &QEventLoop::quit);
        loop.exec();
    }
    call.restart();
    finder.Cancel();
    sample.cancelUs = call.nsecsElapsed() / 1000;
    return sample;
}

void Report(const char* what, std::vector<qint64> values, const char* unit = "ms")
{
    std::erase(values, -1);
    if (values.empty()) {
        std::printf("  %-22s none\n", what);
        return;
    }
    std::sort(values.begin(), values.end());
    qint64 sum = 0;
    for (qint64 value : values)
        sum += value;
    std::printf("  %-22s min %5lld  median %5lld  mean %5lld  max %5lld %s  (n=%zu)\n", what,
                static_cast<long long>(values.front()), static_cast<long long>(values[values.size() / 2]),
                static_cast<long long>(sum / static_cast<qint64>(values.size())),
                static_cast<long long>(values.back()), unit, values.size());
}
} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 10;
    for (int boxes : {1, 8}) {
        TestUpnpHost host;
        if (!host.Ok()) {
            std::fprintf(stderr, "no UPnP host on lo (run inside tools/netns-run)\n");
            return 1;
        }
        for (int i = 0; i < boxes; ++i)
            host.AddRootDevice(QStringLiteral("NORVA+ Media Server"), QStringLiteral("bench-box-%1").arg(i));
        std::vector<qint64> first, all, complete, start, cancel;
        for (int run = 0; run < runs; ++run) {
            const Sample sample = Search(boxes);
            first.push_back(sample.firstFoundMs);
            all.push_back(sample.allFoundMs);
            complete.push_back(sample.completeMs);
            start.push_back(sample.startUs);
            cancel.push_back(sample.cancelUs);
        }
        std::printf("%d box(es), %d searches, helper thread: %s\n", boxes, runs,
                    qEnvironmentVariableIsSet("QT_NO_GLIB") ? "yes" : "no");
        Report("first box found", first);
        Report("all boxes found", all);
        Report("sweep ended", complete);
        Report("inside Start", start, "us");
        Report("inside Cancel", cancel, "us");
    }
    return 0;
}
