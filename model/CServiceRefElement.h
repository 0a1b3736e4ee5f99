#pragma once

#include "model/CEventElement.h"

#include <QString>

// One service as the box's status reply describes it.
struct CServiceRefElement
{
    int idx = -1;
    int type = -1;
    int num = -1;
    int lcn = -1;
    QString nameEncoding;
    QString name;
    bool scrambled = false;
    bool teletext = false;
    bool subtitle = false;
    bool dolby = false;
    bool hd = false;
    bool multifeed = false;
    CEventElement event;
};
