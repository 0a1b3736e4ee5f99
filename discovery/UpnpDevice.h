#pragma once

#include <QMetaType>
#include <QString>
#include <QtGlobal>

// One device that answered a root-device search, copied by value wherever it goes.
struct UpnpDevice
{
    QString udn;
    QString friendlyName;
    QString documentUrl;
    // Host of documentUrl as an IPv4 address in host byte order (first octet in the top byte);
    // 0 when the URL names no usable IPv4 host (see HostFromUrl).
    quint32 ipAddress = 0;

    friend bool operator==(const UpnpDevice&, const UpnpDevice&) = default;
};

Q_DECLARE_METATYPE(UpnpDevice)
