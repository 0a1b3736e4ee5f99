#pragma once

#include "model/CBoxConnection.h"
#include "views/settings/CSettingsInput.h"

#include <ostream>

using Octets = CSettingsInput::Octets;

// The four fields of an address control.
inline Octets O(const char* a, const char* b, const char* c, const char* d)
{
    return {QString::fromLatin1(a), QString::fromLatin1(b), QString::fromLatin1(c), QString::fromLatin1(d)};
}

// A saved connection with every field set, none to its default.
inline CBoxConnection Stored()
{
    CBoxConnection c;
    c.address = QStringLiteral("192.168.1.20");
    c.port = 8081;
    c.settings.streamingProtocol = CBoxSettings::UDP;
    c.settings.pinCode = QStringLiteral("0000");
    c.settings.userName = QStringLiteral("admin");
    c.settings.password = QStringLiteral("s3cret");
    c.settings.stodEnabled = true;
    c.settings.stodAddress = QStringLiteral("192.168.1.77");
    c.settings.stodPort = 1234;
    c.settings.stodProtocol = CBoxSettings::RTP;
    return c;
}

// Failed comparisons of connections name the fields instead of dumping bytes.
inline void PrintTo(const CBoxConnection& c, std::ostream* os)
{
    const CBoxSettings& s = c.settings;
    *os << "{address " << c.address.toStdString() << ", port " << c.port << ", protocol "
        << s.streamingProtocol << ", pin " << s.pinCode.toStdString() << ", user " << s.userName.toStdString()
        << ", password " << s.password.toStdString() << ", stod " << (s.stodEnabled ? "on " : "off ")
        << s.stodAddress.toStdString() << ':' << s.stodPort << " protocol " << s.stodProtocol << '}';
}
