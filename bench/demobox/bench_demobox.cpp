// Prints how long the demo box takes to become ready and to answer its largest replies, for
// the default database and for benchmark sizes:  bench_demobox [services...]

#include "DemoBoxProcess.h"
#include "RawHttp.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

double msSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<int> sizes = {360, 20000, 100000};
    if (argc > 1) {
        sizes.clear();
        for (int i = 1; i < argc; ++i)
            sizes.push_back(std::atoi(argv[i]));
    }
    std::printf("%10s %12s %14s %12s %12s\n", "services", "ready ms", "svc_list ms", "svc_list MB",
                "epg_info ms");
    for (int services : sizes) {
        const auto started = std::chrono::steady_clock::now();
        DemoBoxProcess box({"--no-ffmpeg", "--no-upnp", "--services", std::to_string(services)}, 30000);
        const double readyMs = msSince(started);
        if (!box.ok()) {
            std::fprintf(stderr, "demo box failed: %s\n", box.error().c_str());
            return 1;
        }
        const auto listStart = std::chrono::steady_clock::now();
        const RawReply list = boxQuery(box.port(), "svc_list", false, 60000);
        const double listMs = msSince(listStart);
        const auto epgStart = std::chrono::steady_clock::now();
        const RawReply epg = boxQuery(box.port(), "epg_info&svc_type=0&svc_idx=0", false, 60000);
        const double epgMs = msSince(epgStart);
        if (list.status != 200 || epg.status != 200) {
            std::fprintf(stderr, "unexpected reply status %d / %d\n", list.status, epg.status);
            return 1;
        }
        std::printf("%10d %12.1f %14.1f %12.2f %12.1f\n", services, readyMs, listMs, double(list.bytes) / 1e6,
                    epgMs);
    }
    return 0;
}
