#pragma once

#include "model/CEventElement.h"

#include <QString>

// One service (channel) of the box.
struct CServiceElement
{
    int satIdx = 0;
    int tpIdx = -1;
    bool streamingPossible = false;
    bool streaming = false;
    bool live = false;
    int key = -1;
    int idx = 0;
    int type = -1;
    int sid = -1;
    int vpid = -1;
    int apid = -1;
    int ppid = -1;
    bool scrambled = false;
    bool blocked = false;
    int fav = 0; // favourite group g is named when bit (g.idx mod 32) is set
    int num = 0;
    int lcn = 0;
    QString nameEncoding;
    QString name;
    CEventElement presentEvent;
    QString recDuration;
    QString recTime;
};
