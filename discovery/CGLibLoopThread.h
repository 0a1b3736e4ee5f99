#pragma once

#include "discovery/GLibHandles.h"

#include <QtGlobal>
#include <functional>
#include <thread>

// A private GLib main context turned by its own thread. Discovery falls back to it when Qt's event
// loop on the calling thread is not GLib's, so that GUPnP still has a loop to run in; everything
// created for the context must also be destroyed on that thread, which InvokeSync provides.
class CGLibLoopThread final
{
    Q_DISABLE_COPY_MOVE(CGLibLoopThread)

public:
    CGLibLoopThread();
    ~CGLibLoopThread();

    GMainContext* Context() const { return m_context.get(); }

    // Runs `work` on the loop's thread, with the loop's context as the thread's default, and
    // returns when it has run.
    void InvokeSync(const std::function<void()>& work);

private:
    void Run();

    GMainContextPtr m_context;
    GMainLoopPtr m_loop;
    std::thread m_thread;
};
