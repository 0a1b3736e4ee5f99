#pragma once

#include "model/CBoxConnection.h"

#include <ostream>

// Failed comparisons of connections name the fields instead of dumping bytes.
inline void PrintTo(const CBoxConnection& c, std::ostream* os)
{
    const CBoxSettings& s = c.settings;
    *os << "{address " << c.address.toStdString() << ", port " << c.port << ", protocol "
        << s.streamingProtocol << ", pin " << s.pinCode.toStdString() << ", user " << s.userName.toStdString()
        << ", password " << s.password.toStdString() << ", stod " << (s.stodEnabled ? "on " : "off ")
        << s.stodAddress.toStdString() << ':' << s.stodPort << " protocol " << s.stodProtocol << '}';
}
