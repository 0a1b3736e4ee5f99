#pragma once

#include "model/CEventElement.h"
#include "model/Lists.h"

#include <QtGlobal>

// The guide of one service, from the last guide request.
struct CGuideElement
{
    qint64 boxTime = 0;
    int svcType = -1;
    int svcIdx = -1;
    OwnedList<CEventElement> events; // in reply order
};
