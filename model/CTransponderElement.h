#pragma once

#include <QString>

struct CTransponderElement
{
    int idx = -1; // key of the transponder map, taken as an unsigned 16-bit value
    int freq = -1;
    int polar = -1;
    int sr = -1;
    int tsid = -1;
    int orgnetid = -1;
    QString netname;
    bool changeSvcPossibility = false;
    bool streamingPossibility = false;
};
