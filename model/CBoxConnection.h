#pragma once

#include "model/CBoxSettings.h"

#include <QString>

// Everything the settings form edits: where the box is and how it streams. The form works on a
// copy; only Save puts it back into the protocol client and the database.
struct CBoxConnection
{
    QString address = QStringLiteral("0.0.0.0");
    int port = 8080;
    CBoxSettings settings;

    bool operator==(const CBoxConnection& other) const
    {
        const CBoxSettings& a = settings;
        const CBoxSettings& b = other.settings;
        return address == other.address && port == other.port && a.streamingProtocol == b.streamingProtocol &&
               a.pinCode == b.pinCode && a.userName == b.userName && a.password == b.password &&
               a.stodEnabled == b.stodEnabled && a.stodAddress == b.stodAddress && a.stodPort == b.stodPort &&
               a.stodProtocol == b.stodProtocol;
    }
};
