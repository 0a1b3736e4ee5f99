#include "TestUpnpHost.h"

#include "discovery/CGLibLoopThread.h"
#include "discovery/GLibHandles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <libgupnp/gupnp.h>
#include <libsoup/soup.h>
#include <map>
#include <vector>

struct TestUpnpHost::Impl
{
    CGLibLoopThread loop;
    QTemporaryDir dir;
    GObjectPtr<GUPnPContext> context;
    GObjectPtr<GSSDPResourceGroup> group;
    std::map<QString, GObjectPtr<GUPnPRootDevice>> devices;
    std::vector<GObjectPtr<GUPnPRootDevice>> retired;
    std::map<QString, QByteArray> chunked;
    std::vector<GObjectPtr<GSocket>> silent;
    int files = 0;

    QString WriteFile(const QByteArray& content)
    {
        const QString path = dir.filePath(QStringLiteral("file%1").arg(++files));
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write(content);
        return path;
    }

    static void ServeChunked(SoupServer*, SoupServerMessage* message, const char* path, GHashTable*,
                             gpointer self)
    {
        auto* that = static_cast<Impl*>(self);
        const auto it = that->chunked.find(QString::fromUtf8(path));
        if (it == that->chunked.end()) {
            soup_server_message_set_status(message, 404, nullptr);
            return;
        }
        soup_server_message_set_status(message, 200, nullptr);
        soup_message_headers_set_encoding(soup_server_message_get_response_headers(message),
                                          SOUP_ENCODING_CHUNKED);
        SoupMessageBody* body = soup_server_message_get_response_body(message);
        constexpr qsizetype kChunk = 16 * 1024;
        for (qsizetype at = 0; at < it->second.size(); at += kChunk) {
            const QByteArray part = it->second.mid(at, kChunk);
            soup_message_body_append(body, SOUP_MEMORY_COPY, part.constData(),
                                     static_cast<gsize>(part.size()));
        }
        soup_message_body_complete(body);
    }
};

TestUpnpHost::TestUpnpHost(quint16 port) : d(std::make_unique<Impl>())
{
    d->loop.InvokeSync([&] {
        GObjectPtr<GInetAddress> address(g_inet_address_new_from_string("127.0.0.1"));
        GError* error = nullptr;
        d->context.reset(gupnp_context_new_full("lo", address.get(), port, GSSDP_UDA_VERSION_1_0, &error));
        if (error)
            g_error_free(error);
        if (!d->context)
            return;
        d->group.reset(gssdp_resource_group_new(GSSDP_CLIENT(d->context.get())));
        // Announcements go out at once, so that a flood is a flood.
        gssdp_resource_group_set_message_delay(d->group.get(), 0);
        gssdp_resource_group_set_available(d->group.get(), TRUE);
    });
}

TestUpnpHost::~TestUpnpHost()
{
    d->loop.InvokeSync([&] {
        d->devices.clear();
        d->retired.clear();
        d->group.reset();
        d->silent.clear();
        d->context.reset();
    });
}

bool TestUpnpHost::Ok() const
{
    return d->context != nullptr;
}

QString TestUpnpHost::BaseUrl() const
{
    return QStringLiteral("http://127.0.0.1:%1").arg(gupnp_context_get_port(d->context.get()));
}

QByteArray TestUpnpHost::Description(const QString& friendlyName, const QString& udn)
{
    return QStringLiteral("<?xml version=\"1.0\"?>\n"
                          "<root xmlns=\"urn:schemas-upnp-org:device-1-0\">"
                          "<specVersion><major>1</major><minor>0</minor></specVersion>"
                          "<device><deviceType>urn:schemas-upnp-org:device:MediaServer:1</deviceType>"
                          "<friendlyName>%1</friendlyName><manufacturer>Test</manufacturer>"
                          "<modelName>Test</modelName><UDN>uuid:%2</UDN></device></root>\n")
        .arg(friendlyName.toHtmlEscaped(), udn)
        .toUtf8();
}

QString TestUpnpHost::AddRootDevice(const QString& friendlyName, const QString& udn)
{
    const QString file = QStringLiteral("%1.xml").arg(udn);
    QFile out(d->dir.filePath(file));
    if (!out.open(QIODevice::WriteOnly))
        return {};
    out.write(Description(friendlyName, udn));
    out.close();
    QString location;
    d->loop.InvokeSync([&] {
        GError* error = nullptr;
        GObjectPtr<GUPnPRootDevice> device(gupnp_root_device_new(d->context.get(), file.toUtf8().constData(),
                                                                 d->dir.path().toUtf8().constData(), &error));
        if (error)
            g_error_free(error);
        if (!device)
            return;
        // Its first announcements (a goodbye, then hellos) go out at once rather than paced, so
        // that a search started next sees a device that has settled.
        gssdp_resource_group_set_message_delay(gupnp_root_device_get_ssdp_resource_group(device.get()), 0);
        gupnp_root_device_set_available(device.get(), TRUE);
        location = QString::fromUtf8(gupnp_device_info_get_location(GUPNP_DEVICE_INFO(device.get())));
        d->devices[udn] = std::move(device);
    });
    // Lets those first announcements leave before the caller starts searching.
    QThread::msleep(150);
    return location;
}

void TestUpnpHost::RemoveRootDevice(const QString& udn)
{
    d->loop.InvokeSync([&] {
        const auto it = d->devices.find(udn);
        if (it == d->devices.end())
            return;
        gupnp_root_device_set_available(it->second.get(), FALSE);
        // Kept until the host goes, so that its queued goodbyes are still sent.
        d->retired.push_back(std::move(it->second));
        d->devices.erase(it);
    });
}

void TestUpnpHost::HostFile(const QString& path, const QByteArray& content)
{
    const QString local = d->WriteFile(content);
    d->loop.InvokeSync([&] {
        gupnp_context_host_path(d->context.get(), local.toUtf8().constData(), path.toUtf8().constData());
    });
}

void TestUpnpHost::HostChunked(const QString& path, const QByteArray& content)
{
    d->loop.InvokeSync([&] {
        d->chunked[path] = content;
        soup_server_add_handler(gupnp_context_get_server(d->context.get()), path.toUtf8().constData(),
                                &Impl::ServeChunked, d.get(), nullptr);
    });
}

quint16 TestUpnpHost::SilentPort()
{
    quint16 port = 0;
    d->loop.InvokeSync([&] {
        GObjectPtr<GSocket> socket(
            g_socket_new(G_SOCKET_FAMILY_IPV4, G_SOCKET_TYPE_STREAM, G_SOCKET_PROTOCOL_TCP, nullptr));
        GObjectPtr<GInetAddress> address(g_inet_address_new_from_string("127.0.0.1"));
        GObjectPtr<GSocketAddress> any(g_inet_socket_address_new(address.get(), 0));
        if (!socket || !g_socket_bind(socket.get(), any.get(), TRUE, nullptr) ||
            !g_socket_listen(socket.get(), nullptr))
            return;
        GObjectPtr<GSocketAddress> bound(g_socket_get_local_address(socket.get(), nullptr));
        port = g_inet_socket_address_get_port(G_INET_SOCKET_ADDRESS(bound.get()));
        d->silent.push_back(std::move(socket));
    });
    return port;
}

void TestUpnpHost::Announce(const QString& udn, const QString& location)
{
    d->loop.InvokeSync([&] {
        const QByteArray usn = QStringLiteral("uuid:%1::upnp:rootdevice").arg(udn).toUtf8();
        gssdp_resource_group_add_resource_simple(d->group.get(), "upnp:rootdevice", usn.constData(),
                                                 location.toUtf8().constData());
    });
}
