#pragma once

#include "model/CServiceRefElement.h"

#include <QString>

// What the box streams and shows, from the last full reload.
struct CBoxStatusElement
{
    int streamingStatus = -1;
    int netProtocol = -1;
    QString clientAddress;
    int clientPort = -1;
    QString url;
    CServiceRefElement streamingService;
    CServiceRefElement liveService;
};
