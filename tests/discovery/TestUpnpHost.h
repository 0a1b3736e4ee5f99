#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <memory>

// Devices for discovery tests, served from 127.0.0.1 on a GLib loop of their own, the way a box
// runs in a process of its own: GUPnP root devices built from small description documents,
// plain announcements with any description URL, and hostile description servers.
class TestUpnpHost final
{
    Q_DISABLE_COPY_MOVE(TestUpnpHost)

public:
    // port 0 picks a free port for the description server.
    explicit TestUpnpHost(quint16 port = 0);
    ~TestUpnpHost();

    bool Ok() const;
    // "http://127.0.0.1:port"
    QString BaseUrl() const;

    // A GUPnP root device that announces itself; returns its description URL.
    QString AddRootDevice(const QString& friendlyName, const QString& udn);
    // Says goodbye for the device (ssdp:byebye) and drops it.
    void RemoveRootDevice(const QString& udn);

    // Serves `content` at `path` (with a Content-Length, as files are served).
    void HostFile(const QString& path, const QByteArray& content);
    // Serves `content` at `path` in chunked transfer encoding.
    void HostChunked(const QString& path, const QByteArray& content);
    // A port that accepts connections and never answers.
    quint16 SilentPort();

    // Announces a root device "uuid:<udn>" whose description is at `location`.
    void Announce(const QString& udn, const QString& location);

    static QByteArray Description(const QString& friendlyName, const QString& udn);

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};
