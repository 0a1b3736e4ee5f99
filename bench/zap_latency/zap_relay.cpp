// Puts an impaired link between the demo box and a running program:
//   zap_relay <listen-port> <target-port> clean|lan|wifi [seconds]
// The box streams to 127.0.0.1:<listen-port>; the program listens on <target-port>. Prints what
// the link did every five seconds.
#include "CUdpImpairRelay.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

int main(int argc, char** argv)
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s listen-port target-port clean|lan|wifi [seconds]\n", argv[0]);
        return 2;
    }
    CUdpImpairRelay relay(std::atoi(argv[1]), std::atoi(argv[2]));
    relay.SetProfile(std::strcmp(argv[3], "lan") == 0    ? CUdpImpairRelay::Lan()
                     : std::strcmp(argv[3], "wifi") == 0 ? CUdpImpairRelay::Wifi()
                                                         : CUdpImpairRelay::Clean());
    if (!relay.Start()) {
        std::fprintf(stderr, "cannot listen on 127.0.0.1:%s\n", argv[1]);
        return 1;
    }
    const int seconds = argc > 4 ? std::atoi(argv[4]) : 3600;
    for (int t = 0; t < seconds; t += 5) {
        std::this_thread::sleep_for(std::chrono::seconds(5));
        const CUdpImpairRelay::Counters c = relay.Take();
        std::printf("in %llu sent %llu dropped %llu reordered %llu spells %llu\n",
                    static_cast<unsigned long long>(c.received), static_cast<unsigned long long>(c.sent),
                    static_cast<unsigned long long>(c.dropped), static_cast<unsigned long long>(c.reordered),
                    static_cast<unsigned long long>(c.spells));
        std::fflush(stdout);
    }
    return 0;
}
