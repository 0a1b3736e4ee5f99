#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>

// Plain records of the generated box. They carry no behaviour: the generator fills them and the
// reply writer turns them into XML.

// A text as the box keeps it: Unicode text, or, when `encoding` is set, the raw single-byte
// string of that encoding (the box marks such texts with an encoding attribute).
struct DemoText
{
    QString plain;
    QByteArray raw;
    QByteArray encoding;

    bool isEncoded() const { return !encoding.isEmpty(); }
};

struct DemoSatellite
{
    int idx = 0;
    int degree = 0;
    QString name;
};

struct DemoTransponder
{
    int idx = 0;
    int satIdx = 0;
    int freq = 0;
    int polar = 0;
    int sr = 0;
    int tsid = 0;
    int orgnetid = 0;
    QString netname;
    bool changeSvcPossibility = true;
    bool streamingPossibility = true;
};

struct DemoService
{
    int ordinal = 0; // position in the generated list, drives every derived value
    int idx = 0;
    int type = 0; // 0 TV, 1 radio
    int satIdx = 0;
    int tpIdx = 0;
    int sid = 0;
    int vpid = 0;
    int apid = 0;
    int ppid = 0;
    bool scrambled = false;
    bool blocked = false;
    std::uint32_t fav = 0;
    int num = 0;
    int lcn = 0;
    bool hd = false;
    DemoText name;
};

struct DemoFavGroup
{
    int idx = 0;
    int satIdx = 0;
    bool blocked = false;
    DemoText name;
};

struct DemoEvent
{
    int id = -1;
    qint64 start = 0; // seconds since 1970 UTC
    qint64 end = 0;
    DemoText name;
    DemoText text;
};

struct DemoAlarm
{
    int id = 0;
    int type = 0;
    int mode = 1;
    int days = 0;
    qint64 start = 0;
    qint64 end = 0;
    int satIdx = 0;
    int svcType = 0;
    int svcIdx = 0;
    DemoText serviceName;
    int eventId = -1;
    DemoText eventName;
    int seriesId = -1;
    DemoText seriesName;
};
