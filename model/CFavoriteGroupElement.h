#pragma once

#include "model/Lists.h"

#include <QString>

struct CServiceElement;

struct CFavoriteGroupElement
{
    int idx = -1; // bit number (mod 32) in a service's fav mask
    int satIdx = -1;
    bool blocked = false;
    QString nameEncoding;
    QString name;
    RefList<CServiceElement> services; // member services in reply order
};
