// What waiting for the box costs: the CPU the process burns while it waits 5 s for a box that never
// answers (as a fraction of one core), and the round trip of a small request on loopback.
#include "protocol/CQuarnWrapper.h"
#include "tests/support/TestHttpServer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <sys/resource.h>
#include <vector>

namespace {

double CpuSeconds()
{
    rusage ru{};
    getrusage(RUSAGE_SELF, &ru);
    auto sec = [](const timeval& tv) {
        return static_cast<double>(tv.tv_sec) + static_cast<double>(tv.tv_usec) / 1e6;
    };
    return sec(ru.ru_utime) + sec(ru.ru_stime);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    TestHttpServer server;
    CQuarnWrapper wrapper;
    wrapper.address = QStringLiteral("127.0.0.1");
    wrapper.port = server.Port();

    server.AnswerXml("<quarn:query quarn:version=\"1.3\"/>");
    std::vector<double> trips;
    for (int i = 0; i < 50; ++i) {
        QElapsedTimer t;
        t.start();
        wrapper.Query(QStringLiteral("status"));
        trips.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
    }
    std::sort(trips.begin(), trips.end());
    std::printf("small request round trip on loopback: median %.2f ms, worst %.2f ms\n",
                trips[trips.size() / 2], trips.back());

    // The test server's own thread polls every 20 ms; measure it alone first so it can be taken out.
    server.Answer({.hang = true});
    const double serverCpu0 = CpuSeconds();
    std::this_thread::sleep_for(std::chrono::seconds(1));
    const double idleFraction = CpuSeconds() - serverCpu0;

    const double cpu0 = CpuSeconds();
    QElapsedTimer wall;
    wall.start();
    const int rc = wrapper.Query(QStringLiteral("status"));
    const double wallSec = static_cast<double>(wall.elapsed()) / 1000.0;
    const double fraction = (CpuSeconds() - cpu0) / wallSec;
    std::printf("5 s wait for a silent box: result %d after %.3f s, CPU %.3f%% of one core "
                "(whole process; test server alone %.3f%%)\n",
                rc, wallSec, fraction * 100.0, idleFraction * 100.0);
    return 0;
}
