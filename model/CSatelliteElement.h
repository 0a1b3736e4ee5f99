#pragma once

#include "model/CFavoriteGroupElement.h"
#include "model/Lists.h"

#include <QString>

struct CServiceElement;

// One entry of the group list: a satellite, or a favourite group shown among the satellites.
struct CSatelliteElement
{
    int idx = -1;
    int degree = -1;
    QString name;
    RefList<CServiceElement> services;
    CFavoriteGroupElement* favoriteGroup = nullptr; // not owned; set for a group entry

    // The services listed under the entry: the group's for a group entry, else its own.
    const RefList<CServiceElement>& MemberServices() const
    {
        return favoriteGroup ? favoriteGroup->services : services;
    }
};
