#include "discovery/CFindUPnpDevice.h"

#include "discovery/CGLibLoopThread.h"
#include "discovery/CUPnPDeviceFinderCallback.h"

#include <QAbstractEventDispatcher>
#include <QMetaObject>
#include <QThread>

namespace {
// Qt's GLib dispatcher turns the thread's default GLib context (the global default context on
// the main thread, a context of its own pushed as thread default on other threads), which is the
// context GUPnP attaches its sockets and timers to when created on this thread.
bool QtLoopRunsOnGLib()
{
    const QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance(QThread::currentThread());
    return dispatcher && dispatcher->inherits("QEventDispatcherGlib");
}
} // namespace

const int CFindUPnpDevice::kSweepWindowMs = CUPnPDeviceFinderCallback::kSweepWindowMs;
const int CFindUPnpDevice::kSweepDeadlineMs = CUPnPDeviceFinderCallback::kSweepDeadlineMs;

CFindUPnpDevice::CFindUPnpDevice(Scope scope, QObject* parent)
    : QObject(parent), m_scope(scope), m_offThread(std::make_shared<std::atomic<int>>(0))
{
    qRegisterMetaType<UpnpDevice>();
}

CFindUPnpDevice::~CFindUPnpDevice()
{
    Cancel();
}

bool CFindUPnpDevice::Start()
{
    if (m_started)
        return false;
    m_started = true;

    if (!QtLoopRunsOnGLib())
        m_helper = std::make_unique<CGLibLoopThread>();

    // Every event crosses to this object's thread as a queued call: the receiver may then delete
    // the finder from its slot without pulling the UPnP stack away under its own signal, and an
    // event still queued when the search is cancelled is dropped by the m_running check.
    QThread* const owner = thread();
    const bool checkThread = !m_helper;
    std::shared_ptr<std::atomic<int>> offThread = m_offThread;
    auto note = [owner, checkThread, offThread] {
        if (checkThread && QThread::currentThread() != owner)
            ++*offThread;
    };
    CUPnPDeviceFinderCallback::Events events;
    events.deviceAdded = [this, note](const UpnpDevice& device) {
        note();
        QMetaObject::invokeMethod(
            this,
            [this, device] {
                if (m_running)
                    OnDeviceAdded(device);
            },
            Qt::QueuedConnection);
    };
    events.deviceRemoved = [this, note](const QString& udn) {
        note();
        QMetaObject::invokeMethod(
            this,
            [this, udn] {
                if (m_running)
                    OnDeviceRemoved(udn);
            },
            Qt::QueuedConnection);
    };
    events.searchComplete = [this, note] {
        note();
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (m_running)
                    OnSearchComplete();
            },
            Qt::QueuedConnection);
    };

    bool started = false;
    auto create = [&] {
        m_callback = std::make_unique<CUPnPDeviceFinderCallback>(std::move(events), m_scope);
        started = m_callback->Start();
        if (!started)
            m_callback.reset();
    };
    if (m_helper)
        m_helper->InvokeSync(create);
    else
        create();

    if (!started) {
        m_helper.reset();
        return false;
    }
    m_running = true;
    return true;
}

void CFindUPnpDevice::Cancel()
{
    m_running = false;
    if (m_callback) {
        const CUPnPDeviceFinderCallback::Statistics stats = m_callback->Stats();
        m_finalStats.resourcesRefused = stats.resourcesRefused;
        m_finalStats.devicesSkipped = stats.devicesSkipped;
        m_finalStats.descriptionsCut = stats.descriptionsCut;
        if (m_helper)
            m_helper->InvokeSync([this] { m_callback.reset(); });
        else
            m_callback.reset();
    }
    m_helper.reset();
}

CFindUPnpDevice::Statistics CFindUPnpDevice::Stats() const
{
    Statistics stats = m_finalStats;
    if (m_callback) {
        const CUPnPDeviceFinderCallback::Statistics live = m_callback->Stats();
        stats.resourcesRefused = live.resourcesRefused;
        stats.devicesSkipped = live.devicesSkipped;
        stats.descriptionsCut = live.descriptionsCut;
    }
    stats.eventsOffThread = m_offThread->load();
    return stats;
}

void CFindUPnpDevice::OnDeviceAdded(const UpnpDevice& device)
{
    Q_EMIT DeviceFound(device);
}

void CFindUPnpDevice::OnDeviceRemoved(const QString& udn)
{
    Q_EMIT DeviceRemoved(udn);
}

void CFindUPnpDevice::OnSearchComplete()
{
    Q_EMIT SearchComplete();
}
