#include "discovery/CGLibLoopThread.h"

#include <condition_variable>
#include <mutex>

namespace {
struct Invocation
{
    const std::function<void()>* work = nullptr;
    std::mutex mutex;
    std::condition_variable condition;
    bool done = false;
};

gboolean RunInvocation(gpointer data)
{
    auto* invocation = static_cast<Invocation*>(data);
    (*invocation->work)();
    // Notified under the lock: the waiter owns the invocation and may free it as soon as it sees
    // `done`, which it can only do after this thread has let go of the mutex.
    std::lock_guard lock(invocation->mutex);
    invocation->done = true;
    invocation->condition.notify_one();
    return G_SOURCE_REMOVE;
}

// Cancelled I/O of destroyed objects reports back through sources of the context; letting them
// run releases what they hold. Bounded so that a source that keeps re-arming cannot hold us.
constexpr int kDrainIterations = 200;
} // namespace

CGLibLoopThread::CGLibLoopThread()
    : m_context(g_main_context_new()), m_loop(g_main_loop_new(m_context.get(), FALSE))
{
    m_thread = std::thread([this] { Run(); });
    // Returns once the loop runs, so a later quit cannot come before the loop has started.
    InvokeSync([] {});
}

CGLibLoopThread::~CGLibLoopThread()
{
    InvokeSync([this] { g_main_loop_quit(m_loop.get()); });
    m_thread.join();
}

void CGLibLoopThread::InvokeSync(const std::function<void()>& work)
{
    Invocation invocation;
    invocation.work = &work;
    GSourcePtr source(g_idle_source_new());
    g_source_set_priority(source.get(), G_PRIORITY_HIGH);
    g_source_set_callback(source.get(), RunInvocation, &invocation, nullptr);
    g_source_attach(source.get(), m_context.get());
    std::unique_lock lock(invocation.mutex);
    invocation.condition.wait(lock, [&] { return invocation.done; });
}

void CGLibLoopThread::Run()
{
    g_main_context_push_thread_default(m_context.get());
    g_main_loop_run(m_loop.get());
    for (int i = 0; i < kDrainIterations && g_main_context_pending(m_context.get()); ++i)
        g_main_context_iteration(m_context.get(), FALSE);
    g_main_context_pop_thread_default(m_context.get());
}
