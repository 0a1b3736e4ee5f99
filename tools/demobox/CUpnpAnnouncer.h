#pragma once

#include <QString>
#include <QTemporaryDir>
#include <QTimer>
#include <memory>

struct _GUPnPContext;
struct _GUPnPRootDevice;

// Announces the box as a UPnP root device through GUPnP, on the loopback interface only. The
// description lives in a temporary folder; GUPnP serves it on a port of its own, so the
// description URL always names its port. GUPnP runs on the GLib main context, which Qt's event
// loop drives on Linux; where it does not, a timer pumps the context.
class CUpnpAnnouncer final
{
    Q_DISABLE_COPY_MOVE(CUpnpAnnouncer)
public:
    CUpnpAnnouncer();
    ~CUpnpAnnouncer();

    bool start(const QString& friendlyName, const QString& udn, quint16 boxPort, QString* error);
    QString descriptionUrl() const;

private:
    struct GObjectDeleter
    {
        void operator()(void* object) const;
    };
    std::unique_ptr<_GUPnPContext, GObjectDeleter> m_context;
    std::unique_ptr<_GUPnPRootDevice, GObjectDeleter> m_device;
    QTemporaryDir m_dir;
    QTimer m_pump;
};
