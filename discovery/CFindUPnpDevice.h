#pragma once

#include "discovery/DiscoveryScope.h"
#include "discovery/UpnpDevice.h"

#include <QObject>
#include <QString>
#include <atomic>
#include <memory>

class CGLibLoopThread;
class CUPnPDeviceFinderCallback;

// One asynchronous UPnP search for root devices, owned by the settings view while it is active.
//
// The three signals below are this finder's "CFindUPnpDevice_DefaultMsg": DeviceFound (found,
// wParam 0), DeviceRemoved (removed, wParam 1) and SearchComplete (initial sweep done, wParam 2).
// They are emitted on the thread that called Start, from its Qt event loop, never from inside
// Start or Cancel, and never again once Cancel has returned or the finder is gone.
//
// When Qt runs on GLib's main context (the normal case on Linux) the UPnP stack runs on the same
// thread; otherwise it runs on a helper thread with its own GLib context and its results come
// over by queued calls. Either way nothing here blocks on the network.
//
// The search runs on the interfaces of its scope: by default every local IPv4 network the computer
// is on (the application's case); loopback only ("lo", 127.0.0.1) for tests, which run it inside
// a private network namespace. Descriptions are fetched only from dotted addresses on the network
// of the interface the answer came in on: nothing it does reaches another network.
class CFindUPnpDevice final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CFindUPnpDevice)

public:
    struct Statistics
    {
        int resourcesRefused = 0;
        int devicesSkipped = 0;
        int descriptionsCut = 0;
        // Events produced away from the thread that started the search while no helper thread
        // was in use; the integration with Qt's loop is broken if this is ever above 0.
        int eventsOffThread = 0;
    };

    // When the initial sweep ends (see CUPnPDeviceFinderCallback): once the last answer to the
    // search is due and no description download is left, and never later than the deadline.
    static const int kSweepWindowMs;
    static const int kSweepDeadlineMs;

    using Scope = DiscoveryScope;

    explicit CFindUPnpDevice(Scope scope = Scope::Lan, QObject* parent = nullptr);
    ~CFindUPnpDevice() override;

    // Starts the search; false when none could be started (then no signal ever comes). A finder
    // searches once: a second call, or a call after Cancel, returns false.
    bool Start();
    // Stops the search and releases the UPnP stack; safe to call at any time, also repeatedly.
    void Cancel();

    bool IsRunning() const { return m_running; }
    Scope SearchScope() const { return m_scope; }
    bool UsesHelperThread() const { return m_helper != nullptr; }
    Statistics Stats() const;

Q_SIGNALS:
    void DeviceFound(const UpnpDevice& device);
    void DeviceRemoved(const QString& udn);
    void SearchComplete();

private:
    void OnDeviceAdded(const UpnpDevice& device);
    void OnDeviceRemoved(const QString& udn);
    void OnSearchComplete();

    Scope m_scope;
    // Declared before the callback: it must outlive the objects that run on it.
    std::unique_ptr<CGLibLoopThread> m_helper;
    std::unique_ptr<CUPnPDeviceFinderCallback> m_callback;
    bool m_started = false;
    bool m_running = false;
    Statistics m_finalStats;
    std::shared_ptr<std::atomic<int>> m_offThread;
};
