#pragma once

#include "protocol/CQuarnXML.h"
#include "tests/db/DbTestSupport.h"

#include <algorithm>

#include <initializer_list>
#include <string>
#include <vector>

// Small boxes for the channel page and dialogs, written as the box would send them.
namespace channeltest {

struct Svc
{
    int type = 0;
    int idx = 0;
    int lcn = 0;
    const char* name = "";
    bool streamable = true;
    int sat = 1;
    unsigned fav = 0;      // favourite group g when bit g is set
    bool scrambled = false;
    bool blocked = false;
    const char* evtStart = nullptr; // box local time "2014-03-05T21:00"; no event without it
    const char* evtEnd = nullptr;
    int evtId = 100;
    const char* evtName = "Event";
};

struct Fav
{
    int idx;
    const char* name;
};

// One satellite per distinct `sat` (named "Sat <n>"), two transponders on each: 10*sat+1 can be
// streamed, 10*sat+2 cannot. `live` is the service the box shows on its own screen.
inline std::string Box(const std::vector<Svc>& services, const std::vector<Fav>& favs = {},
                       int liveType = -1, int liveIdx = -1)
{
    std::string x = "<pin error=\"0\"/><fav_group>";
    for (const Fav& f : favs)
        x += "<fav idx=\"" + std::to_string(f.idx) + "\" sat_idx=\"" + std::to_string(100 + f.idx) +
             "\" blocked=\"0\">" + f.name + "</fav>";
    x += "</fav_group><svc_list>";
    std::vector<int> sats;
    for (const Svc& s : services)
        if (std::find(sats.begin(), sats.end(), s.sat) == sats.end())
            sats.push_back(s.sat);
    for (int sat : sats) {
        x += "<sat idx=\"" + std::to_string(sat) + "\" degree=\"192\" name=\"Sat " + std::to_string(sat) + "\">";
        for (int streamable = 1; streamable >= 0; --streamable) {
            const int tp = 10 * sat + (streamable ? 1 : 2);
            x += "<tp idx=\"" + std::to_string(tp) + "\" tsid=\"" + std::to_string(1000 + tp) +
                 "\" orgnetid=\"" + std::to_string(70 + sat) + "\" streaming_possibility=\"" +
                 std::to_string(streamable) + "\">";
            for (const Svc& s : services) {
                if (s.sat != sat || int(s.streamable) != streamable)
                    continue;
                x += "<svc idx=\"" + std::to_string(s.idx) + "\" type=\"" + std::to_string(s.type) +
                     "\" sid=\"" + std::to_string(s.idx + 250) + "\" scrambled=\"" + std::to_string(s.scrambled) +
                     "\" blocked=\"" + std::to_string(s.blocked) + "\" fav=\"" + std::to_string(s.fav) +
                     "\"><service num=\"" + std::to_string(s.lcn) + "\" lcn=\"" + std::to_string(s.lcn) + "\">" +
                     s.name + "</service>";
                if (s.evtStart)
                    x += "<evt id=\"" + std::to_string(s.evtId) + "\" stime=\"" + s.evtStart + "\" etime=\"" +
                         s.evtEnd + "\"><name>" + s.evtName + "</name><text>About " + s.evtName +
                         "</text></evt>";
                x += "</svc>";
            }
            x += "</tp>";
        }
        x += "</sat>";
    }
    x += "</svc_list><alarm_list/>";
    if (liveIdx >= 0)
        x += "<live><svc idx=\"" + std::to_string(liveIdx) + "\" type=\"" + std::to_string(liveType) + "\"/></live>";
    return dbtest::Reply(x);
}

// A database and the protocol client it needs, filled from a box reply.
struct Db
{
    CQuarnWrapper wrapper;
    CQuarnXML reader{wrapper};
    CQuarnDataModel db{reader};

    bool Load(const std::string& reply) { return dbtest::Reload(db, wrapper, reply); }
};

} // namespace channeltest
