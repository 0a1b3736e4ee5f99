#pragma once

#include "discovery/DiscoveryScope.h"
#include "discovery/GLibHandles.h"
#include "discovery/UpnpDevice.h"

#include <QtGlobal>
#include <atomic>
#include <functional>
#include <libgupnp/gupnp.h>
#include <libsoup/soup.h>
#include <map>
#include <set>
#include <string>
#include <vector>

// The GLib side of one root-device search: it owns the GUPnP context and control point, turns
// their signals into found/removed events, decides when the initial sweep has ended, and keeps
// hostile devices from costing more than a bounded amount of memory and time.
//
// It lives entirely on the thread whose default GLib main context was current when Start ran
// (the user-interface thread when Qt runs on GLib, otherwise a helper thread), and it must be
// destroyed there. Events are called on that thread too; after destruction none is called.
//
// The sweep: the control point sends its M-SEARCH three times, 500 ms apart, asking for answers
// within kSearchMx seconds, so the last answer to a search is due kSweepWindowMs after the start.
// Descriptions of the devices that answered are then still being fetched; the sweep ends once
// none is left in flight (after a short settle time in which the parsed answer is handed over),
// and at the latest kSweepDeadlineMs after the start, so a stalled device cannot hold it open.
class CUPnPDeviceFinderCallback final
{
    Q_DISABLE_COPY_MOVE(CUPnPDeviceFinderCallback)

public:
    static constexpr unsigned kSearchMx = 2;
    static constexpr unsigned kSweepWindowMs = 1000 + kSearchMx * 1000 + 300;
    static constexpr unsigned kSettleMs = 100;
    static constexpr unsigned kFetchTimeoutSeconds = 4;
    static constexpr unsigned kSweepDeadlineMs = kSweepWindowMs + kFetchTimeoutSeconds * 1000 + 500;
    // A description beyond this size is not a box's; its download is cut off.
    static constexpr goffset kMaxDescriptionBytes = 64 * 1024;
    // Root devices whose description is fetched per search, in all and per announcing address;
    // announcements beyond are ignored, so that one noisy host cannot crowd out the others.
    static constexpr int kMaxResources = 64;
    static constexpr int kMaxResourcesPerHost = 16;

    struct Events
    {
        std::function<void(const UpnpDevice&)> deviceAdded;
        std::function<void(const QString& udn)> deviceRemoved;
        std::function<void()> searchComplete;
    };

    struct Statistics
    {
        int resourcesRefused = 0; // announcements ignored: over the limit or not reachable here
        int devicesSkipped = 0;   // descriptions without a usable name, or over the device limit
        int descriptionsCut = 0;  // downloads stopped for size or framing
    };

    // Interfaces searched at most; a machine with more (containers, tunnels) keeps the first ones.
    static constexpr int kMaxInterfaces = 16;

    explicit CUPnPDeviceFinderCallback(Events events, DiscoveryScope scope = DiscoveryScope::Lan);
    ~CUPnPDeviceFinderCallback();

    // Creates a context per interface of the scope and starts the search on each; false when no
    // search could be started on any (nothing will be reported then).
    bool Start();

    Statistics Stats() const;

private:
    // One interface searched: its UPnP context (with its own HTTP session) and control point.
    struct Search
    {
        GObjectPtr<GUPnPContext> context;
        GObjectPtr<GUPnPControlPoint> controlPoint;
    };

    struct Download
    {
        GObjectPtr<SoupMessage> message;
        GObjectPtr<GSocket> socket;
    };

    static void OnResourceAvailable(GSSDPResourceBrowser* browser, const char* usn, GList* locations,
                                    gpointer self);
    static void OnProxyAvailable(GUPnPControlPoint* point, GUPnPDeviceProxy* proxy, gpointer self);
    static void OnProxyUnavailable(GUPnPControlPoint* point, GUPnPDeviceProxy* proxy, gpointer self);
    static void OnRequestQueued(SoupSession* session, SoupMessage* message, gpointer self);
    static void OnRequestUnqueued(SoupSession* session, SoupMessage* message, gpointer self);
    static void OnNetworkEvent(SoupMessage* message, GSocketClientEvent event, GIOStream* connection,
                               gpointer self);
    static void OnGotHeaders(SoupMessage* message, gpointer self);
    static gboolean OnWindowClosed(gpointer self);
    static gboolean OnSettled(gpointer self);
    static gboolean OnDeadline(gpointer self);
    static gboolean OnAbortSession(gpointer self);

    bool StartOn(const char* interfaceName, const char* address);
    // The IPv4 address of a description URL the search may fetch from, or 0: it must lie on the
    // network of the interface (client) whose search it answered.
    static quint32 FetchableHost(GSSDPClient* client, const char* location);
    void Cut(SoupMessage* message);
    void TryComplete();
    void Complete();
    GSourcePtr AddTimer(unsigned ms, GSourceFunc callback);

    Events m_events;
    DiscoveryScope m_scope;
    std::vector<Search> m_searches;
    std::map<SoupMessage*, Download> m_downloads;
    std::set<std::string> m_acceptedResources;
    std::map<quint32, int> m_resourcesPerHost;
    GSourcePtr m_windowTimer;
    GSourcePtr m_settleTimer;
    GSourcePtr m_deadlineTimer;
    GSourcePtr m_abortIdle;
    bool m_windowClosed = false;
    bool m_completed = false;
    std::atomic<int> m_resourcesRefused{0};
    std::atomic<int> m_devicesSkipped{0};
    std::atomic<int> m_descriptionsCut{0};
};
