#include "discovery/CUPnPDeviceFinderCallback.h"

#include "discovery/HostFromUrl.h"

#include <QUrl>
#include <algorithm>
#include <arpa/inet.h>
#include <ifaddrs.h>
#include <libxml/xmlerror.h>
#include <memory>
#include <mutex>
#include <net/if.h>
#include <netinet/in.h>
#include <utility>

namespace {
constexpr char kLoopbackInterface[] = "lo";
constexpr char kLoopbackAddress[] = "127.0.0.1";
constexpr char kSearchTarget[] = "upnp:rootdevice";

template <typename Handler>
gulong Connect(gpointer instance, const char* signal, Handler handler, gpointer self)
{
    return g_signal_connect_data(instance, signal, reinterpret_cast<GCallback>(handler), self, nullptr,
                                 GConnectFlags(0));
}

QString FromUtf8(const char* text)
{
    return QString::fromUtf8(text);
}

// Up, multicast-capable, non-loopback IPv4 interfaces with their address, in the system's order,
// one entry per interface.
std::vector<std::pair<std::string, std::string>> LanInterfaces(int limit)
{
    std::vector<std::pair<std::string, std::string>> found;
    ifaddrs* all = nullptr;
    if (getifaddrs(&all) != 0)
        return found;
    const std::unique_ptr<ifaddrs, decltype(&freeifaddrs)> owner(all, &freeifaddrs);
    for (const ifaddrs* entry = all; entry && static_cast<int>(found.size()) < limit;
         entry = entry->ifa_next) {
        if (!entry->ifa_addr || entry->ifa_addr->sa_family != AF_INET || !entry->ifa_name)
            continue;
        const unsigned flags = entry->ifa_flags;
        if (!(flags & IFF_UP) || (flags & IFF_LOOPBACK) || !(flags & IFF_MULTICAST))
            continue;
        const std::string name = entry->ifa_name;
        if (std::any_of(found.begin(), found.end(), [&](const auto& known) { return known.first == name; }))
            continue;
        char text[INET_ADDRSTRLEN] = {};
        const auto* in = reinterpret_cast<const sockaddr_in*>(entry->ifa_addr);
        if (inet_ntop(AF_INET, &in->sin_addr, text, sizeof text))
            found.emplace_back(name, text);
    }
    return found;
}

void DropLogMessage(const gchar*, GLogLevelFlags, const gchar*, gpointer) {}

void DropXmlError(void*, const char*, ...) {}

void DropStructuredXmlError(void*, xmlErrorPtr) {}

// The stack reports every device that fails to describe itself on standard error; on a network
// with broken or hostile devices that would be an unbounded stream of text from an application
// that writes no log. Criticals and errors, which mean misuse, still come through.
void QuietenTheStack()
{
    static std::once_flag once;
    std::call_once(once, [] {
        const auto levels =
            GLogLevelFlags(G_LOG_LEVEL_WARNING | G_LOG_LEVEL_MESSAGE | G_LOG_LEVEL_INFO | G_LOG_LEVEL_DEBUG);
        for (const char* domain : {"gupnp-control-point", "gupnp-context", "gupnp-device-proxy", "GUPnP",
                                   "gssdp-client", "gssdp-resource-browser", "GSSDP", "libsoup"})
            g_log_set_handler(domain, levels, &DropLogMessage, nullptr);
    });
}
} // namespace

CUPnPDeviceFinderCallback::CUPnPDeviceFinderCallback(Events events, DiscoveryScope scope)
    : m_events(std::move(events)), m_scope(scope)
{
    QuietenTheStack();
}

CUPnPDeviceFinderCallback::~CUPnPDeviceFinderCallback()
{
    // Timers and handlers go first, so that nothing the teardown below sets off reaches us.
    m_windowTimer.reset();
    m_settleTimer.reset();
    m_deadlineTimer.reset();
    m_abortIdle.reset();
    for (auto& [message, download] : m_downloads)
        g_signal_handlers_disconnect_by_data(message, this);
    for (Search& search : m_searches) {
        g_signal_handlers_disconnect_by_data(gupnp_context_get_session(search.context.get()), this);
        g_signal_handlers_disconnect_by_data(search.controlPoint.get(), this);
        gssdp_resource_browser_set_active(GSSDP_RESOURCE_BROWSER(search.controlPoint.get()), FALSE);
    }
    m_downloads.clear();
    m_searches.clear();
}

bool CUPnPDeviceFinderCallback::Start()
{
    // The stack parses descriptions with libxml2 on this thread, and libxml2 prints every fault
    // of a broken document to standard error by default. Its handlers are per thread; nothing
    // else in the application parses with libxml2.
    xmlSetGenericErrorFunc(nullptr, &DropXmlError);
    xmlSetStructuredErrorFunc(nullptr, &DropStructuredXmlError);

    switch (m_scope) {
    case DiscoveryScope::None:
        break;
    case DiscoveryScope::Loopback:
        StartOn(kLoopbackInterface, kLoopbackAddress);
        break;
    case DiscoveryScope::Lan:
        for (const auto& [name, address] : LanInterfaces(kMaxInterfaces))
            StartOn(name.c_str(), address.c_str());
        break;
    }
    if (m_searches.empty())
        return false;
    m_windowTimer = AddTimer(kSweepWindowMs, &OnWindowClosed);
    m_deadlineTimer = AddTimer(kSweepDeadlineMs, &OnDeadline);
    for (Search& search : m_searches)
        gssdp_resource_browser_set_active(GSSDP_RESOURCE_BROWSER(search.controlPoint.get()), TRUE);
    return true;
}

bool CUPnPDeviceFinderCallback::StartOn(const char* interfaceName, const char* addressText)
{
    GObjectPtr<GInetAddress> address(g_inet_address_new_from_string(addressText));
    if (!address)
        return false;
    GError* rawError = nullptr;
    Search search;
    search.context.reset(
        gupnp_context_new_full(interfaceName, address.get(), 0, GSSDP_UDA_VERSION_1_0, &rawError));
    GErrorPtr error(rawError);
    if (!search.context)
        return false;
    search.controlPoint.reset(gupnp_control_point_new(search.context.get(), kSearchTarget));
    if (!search.controlPoint)
        return false;

    SoupSession* session = gupnp_context_get_session(search.context.get());
    // Descriptions are fetched straight from the device that announced them, never through a
    // proxy the environment may name.
    soup_session_set_proxy_resolver(session, nullptr);
    soup_session_set_timeout(session, kFetchTimeoutSeconds);
    Connect(session, "request-queued", &OnRequestQueued, this);
    Connect(session, "request-unqueued", &OnRequestUnqueued, this);

    auto* browser = GSSDP_RESOURCE_BROWSER(search.controlPoint.get());
    gssdp_resource_browser_set_mx(browser, kSearchMx);
    // "resource-available" runs its class handler last, so this one sees every announcement
    // before the control point starts a download for it, and can stop it.
    Connect(browser, "resource-available", &OnResourceAvailable, this);
    Connect(search.controlPoint.get(), "device-proxy-available", &OnProxyAvailable, this);
    Connect(search.controlPoint.get(), "device-proxy-unavailable", &OnProxyUnavailable, this);
    m_searches.push_back(std::move(search));
    return true;
}

CUPnPDeviceFinderCallback::Statistics CUPnPDeviceFinderCallback::Stats() const
{
    return {m_resourcesRefused.load(), m_devicesSkipped.load(), m_descriptionsCut.load()};
}

GSourcePtr CUPnPDeviceFinderCallback::AddTimer(unsigned ms, GSourceFunc callback)
{
    GSourcePtr source(g_timeout_source_new(ms));
    g_source_set_callback(source.get(), callback, this, nullptr);
    g_source_attach(source.get(), g_main_context_get_thread_default());
    return source;
}

quint32 CUPnPDeviceFinderCallback::FetchableHost(GSSDPClient* client, const char* location)
{
    // Only a dotted address on the network the search runs on: a host name would need a lookup,
    // and a device that points elsewhere would make us talk to a network we were not asked to.
    const QString text = FromUtf8(location);
    const QUrl url(text, QUrl::StrictMode);
    const quint32 host = HostFromUrl(text);
    if (host == 0 || url.scheme() != QLatin1String("http"))
        return 0;
    const QByteArray dotted = DottedIPv4(host).toLatin1();
    GObjectPtr<GInetAddress> address(g_inet_address_new_from_string(dotted.constData()));
    if (!address)
        return 0;
    GObjectPtr<GSocketAddress> socketAddress(
        g_inet_socket_address_new(address.get(), static_cast<guint16>(url.port(80))));
    const bool reachable = gssdp_client_can_reach(client, G_INET_SOCKET_ADDRESS(socketAddress.get()));
    return reachable ? host : 0;
}

void CUPnPDeviceFinderCallback::OnResourceAvailable(GSSDPResourceBrowser* browser, const char* usn,
                                                    GList* locations, gpointer self)
{
    auto* that = static_cast<CUPnPDeviceFinderCallback*>(self);
    const std::string key = usn ? usn : "";
    if (that->m_acceptedResources.count(key))
        return;
    const quint32 host = usn && locations && locations->data
                             ? FetchableHost(gssdp_resource_browser_get_client(browser),
                                             static_cast<const char*>(locations->data))
                             : 0;
    const bool accept = host != 0 && static_cast<int>(that->m_acceptedResources.size()) < kMaxResources &&
                        that->m_resourcesPerHost[host] < kMaxResourcesPerHost;
    if (!accept) {
        ++that->m_resourcesRefused;
        g_signal_stop_emission_by_name(browser, "resource-available");
        return;
    }
    that->m_acceptedResources.insert(key);
    ++that->m_resourcesPerHost[host];
}

void CUPnPDeviceFinderCallback::OnProxyAvailable(GUPnPControlPoint*, GUPnPDeviceProxy* proxy, gpointer self)
{
    auto* that = static_cast<CUPnPDeviceFinderCallback*>(self);
    auto* info = GUPNP_DEVICE_INFO(proxy);
    const char* udn = gupnp_device_info_get_udn(info);
    const char* location = gupnp_device_info_get_location(info);
    GCharPtr friendlyName(gupnp_device_info_get_friendly_name(info));
    if (!udn || !location || !friendlyName) {
        ++that->m_devicesSkipped;
        return;
    }
    UpnpDevice device;
    device.udn = FromUtf8(udn);
    device.friendlyName = FromUtf8(friendlyName.get());
    device.documentUrl = FromUtf8(location);
    device.ipAddress = HostFromUrl(device.documentUrl);
    that->m_events.deviceAdded(device);
}

void CUPnPDeviceFinderCallback::OnProxyUnavailable(GUPnPControlPoint*, GUPnPDeviceProxy* proxy, gpointer self)
{
    auto* that = static_cast<CUPnPDeviceFinderCallback*>(self);
    const char* udn = gupnp_device_info_get_udn(GUPNP_DEVICE_INFO(proxy));
    if (udn)
        that->m_events.deviceRemoved(FromUtf8(udn));
}

void CUPnPDeviceFinderCallback::OnRequestQueued(SoupSession*, SoupMessage* message, gpointer self)
{
    auto* that = static_cast<CUPnPDeviceFinderCallback*>(self);
    // A fresh connection per download lets us see its socket, which is how an oversized one is
    // stopped; redirects could lead the download away from the device's own address.
    soup_message_headers_replace(soup_message_get_request_headers(message), "Connection", "close");
    soup_message_add_flags(message, SOUP_MESSAGE_NO_REDIRECT);
    Download download;
    download.message.reset(static_cast<SoupMessage*>(g_object_ref(message)));
    that->m_downloads[message] = std::move(download);
    Connect(message, "network-event", &OnNetworkEvent, self);
    Connect(message, "got-headers", &OnGotHeaders, self);
}

void CUPnPDeviceFinderCallback::OnRequestUnqueued(SoupSession*, SoupMessage* message, gpointer self)
{
    auto* that = static_cast<CUPnPDeviceFinderCallback*>(self);
    g_signal_handlers_disconnect_by_data(message, self);
    that->m_downloads.erase(message);
    that->TryComplete();
}

void CUPnPDeviceFinderCallback::OnNetworkEvent(SoupMessage* message, GSocketClientEvent,
                                               GIOStream* connection, gpointer self)
{
    auto* that = static_cast<CUPnPDeviceFinderCallback*>(self);
    const auto it = that->m_downloads.find(message);
    if (it == that->m_downloads.end() || it->second.socket || !G_IS_SOCKET_CONNECTION(connection))
        return;
    GSocket* socket = g_socket_connection_get_socket(G_SOCKET_CONNECTION(connection));
    if (socket)
        it->second.socket.reset(static_cast<GSocket*>(g_object_ref(socket)));
}

void CUPnPDeviceFinderCallback::OnGotHeaders(SoupMessage* message, gpointer self)
{
    auto* that = static_cast<CUPnPDeviceFinderCallback*>(self);
    // libsoup reads a body without a limit, so only a body whose size is declared up front, and
    // small, is let through; chunked or close-delimited bodies could grow without end.
    SoupMessageHeaders* headers = soup_message_get_response_headers(message);
    const bool bounded = soup_message_headers_get_encoding(headers) == SOUP_ENCODING_CONTENT_LENGTH &&
                         soup_message_headers_get_content_length(headers) <= kMaxDescriptionBytes;
    if (!bounded)
        that->Cut(message);
}

void CUPnPDeviceFinderCallback::Cut(SoupMessage* message)
{
    ++m_descriptionsCut;
    const auto it = m_downloads.find(message);
    if (it != m_downloads.end() && it->second.socket) {
        // Every later read on it then fails, so the download ends as if the connection broke.
        // A shutdown would not do: the kernel keeps delivering what the peer goes on sending.
        g_socket_close(it->second.socket.get(), nullptr);
        return;
    }
    // No socket seen: stop every download rather than let this one run; aborting from inside
    // the message's own signal is not safe, so it happens on the next turn of the loop.
    if (!m_abortIdle) {
        m_abortIdle.reset(g_idle_source_new());
        g_source_set_callback(m_abortIdle.get(), &OnAbortSession, this, nullptr);
        g_source_attach(m_abortIdle.get(), g_main_context_get_thread_default());
    }
}

gboolean CUPnPDeviceFinderCallback::OnAbortSession(gpointer self)
{
    auto* that = static_cast<CUPnPDeviceFinderCallback*>(self);
    g_source_unref(that->m_abortIdle.release());
    for (Search& search : that->m_searches)
        soup_session_abort(gupnp_context_get_session(search.context.get()));
    return G_SOURCE_REMOVE;
}

gboolean CUPnPDeviceFinderCallback::OnWindowClosed(gpointer self)
{
    auto* that = static_cast<CUPnPDeviceFinderCallback*>(self);
    that->m_windowClosed = true;
    that->TryComplete();
    return G_SOURCE_REMOVE;
}

void CUPnPDeviceFinderCallback::TryComplete()
{
    if (m_completed || !m_windowClosed || !m_downloads.empty() || m_settleTimer)
        return;
    // The download's result reaches the control point a little after the request leaves the
    // queue; the settle time lets the device it describes be reported inside the sweep.
    m_settleTimer = AddTimer(kSettleMs, &OnSettled);
}

gboolean CUPnPDeviceFinderCallback::OnSettled(gpointer self)
{
    auto* that = static_cast<CUPnPDeviceFinderCallback*>(self);
    g_source_unref(that->m_settleTimer.release());
    if (that->m_downloads.empty())
        that->Complete();
    return G_SOURCE_REMOVE;
}

gboolean CUPnPDeviceFinderCallback::OnDeadline(gpointer self)
{
    auto* that = static_cast<CUPnPDeviceFinderCallback*>(self);
    g_source_unref(that->m_deadlineTimer.release());
    that->Complete();
    return G_SOURCE_REMOVE;
}

void CUPnPDeviceFinderCallback::Complete()
{
    if (m_completed)
        return;
    m_completed = true;
    m_settleTimer.reset();
    m_deadlineTimer.reset();
    m_events.searchComplete();
}
