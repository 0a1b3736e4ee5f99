#pragma once

// Replies of a large box, generated: a full reload of 10,000 services over 4 satellites with 40
// favourite groups, 500 schedules (100 of them in 20 series) and a third of the names in
// ISO-8859-5, and a 7-day guide of one service with about 1,000 events.

#include <cstdio>
#include <string>

namespace bigbox {

constexpr int kSatellites = 4;
constexpr int kTranspondersPerSatellite = 50;
constexpr int kServicesPerTransponder = 50; // 4 * 50 * 50 = 10,000
constexpr int kGroups = 40;
constexpr int kSingles = 400;
constexpr int kSeries = 20;
constexpr int kPerSeries = 5;
constexpr int kGuideEvents = 1008; // 7 days of 10-minute slots

inline std::string Cyrillic(int n)
{
    // Bytes of ISO-8859-5 capital and small letters, sent as the box sends them: one byte each.
    std::string s;
    for (int i = 0; i < 10; ++i)
        s += static_cast<char>(0xB0 + (n * 7 + i * 3) % 64);
    return s;
}

inline std::string Time(int day, int minuteOfDay)
{
    char buf[40];
    std::snprintf(buf, sizeof buf, "2014-03-%02dT%02d:%02d", 1 + day, minuteOfDay / 60, minuteOfDay % 60);
    return buf;
}

inline std::string FullReload()
{
    std::string x;
    x.reserve(8 << 20);
    x += "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n"
         "<quarn:query quarn:version=\"1.3\" quarn:created=\"2014-03-05T21:15:59\">\n<pin "
         "error=\"0\"/>\n<fav_group>\n";
    for (int g = 0; g < kGroups; ++g) {
        x += "<fav idx=\"" + std::to_string(g) + "\" sat_idx=\"" + std::to_string(100 + g) +
             "\" blocked=\"0\"";
        if (g % 3 == 0)
            x += " encoding=\"ISO-8859-5\">" + Cyrillic(g) + "</fav>\n";
        else
            x += ">Favourites " + std::to_string(g) + "</fav>\n";
    }
    x += "</fav_group>\n<svc_list>\n";
    int service = 0;
    int tpIdx = 0;
    for (int s = 0; s < kSatellites; ++s) {
        x += "<sat idx=\"" + std::to_string(s) + "\" degree=\"" + std::to_string(130 + 62 * s) +
             "\" name=\"Satellite " + std::to_string(s) + "\">\n";
        for (int t = 0; t < kTranspondersPerSatellite; ++t, ++tpIdx) {
            x += "<tp idx=\"" + std::to_string(tpIdx) + "\" freq=\"" + std::to_string(10700 + tpIdx * 7) +
                 "\" polar=\"" + std::to_string(tpIdx % 2) + "\" sr=\"27500\" tsid=\"" +
                 std::to_string(1000 + tpIdx) +
                 "\" orgnetid=\"1\" netname=\"Network\" change_svc_possibility=\"1\" "
                 "streaming_possibility=\"1\">\n";
            for (int v = 0; v < kServicesPerTransponder; ++v, ++service) {
                const int type = service % 10 == 9 ? 1 : 0;
                const int idx = type == 1 ? service / 10 : service - service / 10;
                const unsigned fav = service % 4 == 0 ? (1u << (service % kGroups % 32)) : 0u;
                x += "<svc idx=\"" + std::to_string(idx) + "\" type=\"" + std::to_string(type) + "\" sid=\"" +
                     std::to_string(20000 + service) + "\" vpid=\"" + std::to_string(100 + v) + "\" apid=\"" +
                     std::to_string(200 + v) + "\" ppid=\"" + std::to_string(300 + v) + "\" scrambled=\"" +
                     std::to_string(service % 5 == 0) + "\" blocked=\"0\" fav=\"" + std::to_string(fav) +
                     "\">";
                x += "<service num=\"" + std::to_string(service + 1) + "\" lcn=\"" +
                     std::to_string(service + 1) + "\"";
                if (service % 3 == 0)
                    x += " encoding=\"ISO-8859-5\">" + Cyrillic(service) + "</service>";
                else
                    x += ">Channel " + std::to_string(service) + "</service>";
                // Present events start and end anywhere within three hours, to the minute.
                x += "<evt id=\"" + std::to_string(service * 10) + "\" stime=\"" +
                     Time(4, 18 * 60 + service * 37 % 180) + "\" etime=\"" +
                     Time(4, 21 * 60 + service * 53 % 179) + "\"><name>Programme " + std::to_string(service) +
                     "</name><text>About programme " + std::to_string(service) + "</text></evt>";
                if (service % 50 == 0)
                    x += "<recording duration=\"01:00\" rectime=\"2014-03-05T20:00\"/>";
                x += "</svc>\n";
            }
            x += "</tp>\n";
        }
        x += "</sat>\n";
    }
    x += "</svc_list>\n<alarm_list>\n";
    for (int a = 0; a < kSingles + kSeries * kPerSeries; ++a) {
        const bool inSeries = a >= kSingles;
        const int svcIdx = a * 17 % 4000;
        x += "<alarm id=\"" + std::to_string(a + 1) + "\" type=\"" + std::to_string(a % 2) + "\" mode=\"" +
             std::to_string(1 + a % 3) + "\" days=\"0\" stime=\"" + Time(a % 7, (a * 13) % 1380) +
             "\" etime=\"" + Time(a % 7, (a * 13) % 1380 + 45) + "\"><svc sat=\"0\" type=\"0\" idx=\"" +
             std::to_string(svcIdx) + "\">Channel</svc><evt id=\"" + std::to_string(a * 3) + "\">Event " +
             std::to_string(a) + "</evt>";
        if (inSeries)
            x += "<series id=\"" + std::to_string((a - kSingles) % kSeries) + "\">Series</series>";
        x += "</alarm>\n";
    }
    x += "</alarm_list>\n<streaming status=\"1\"><net protocol=\"0\" client_ip=\"192.168.0.20\" "
         "client_port=\"5004\" url=\"\"/><svc idx=\"12\" type=\"0\"><service num=\"13\">Channel</service>"
         "<info scrambled=\"0\" hd=\"1\"/></svc></streaming>\n<live><svc idx=\"12\" type=\"0\"/></live>\n"
         "</quarn:query>\n";
    return x;
}

inline std::string Guide()
{
    std::string x;
    x += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<quarn:query quarn:version=\"1.3\" "
         "quarn:created=\"2014-03-01T00:00:05\">\n<epg svc_type=\"0\" svc_idx=\"0\">\n";
    for (int e = 0; e < kGuideEvents; ++e) {
        const int day = e / 144;
        const int minute = (e % 144) * 10;
        x += "<evt id=\"" + std::to_string(e * 3) + "\" stime=\"" + Time(day, minute) + "\" etime=\"" +
             Time(day, minute + 9) + "\"><name>Programme title number " + std::to_string(e) +
             "</name><text>A description of the programme that runs for a while, number " +
             std::to_string(e) + ".</text></evt>\n";
    }
    x += "</epg>\n</quarn:query>\n";
    return x;
}

} // namespace bigbox
