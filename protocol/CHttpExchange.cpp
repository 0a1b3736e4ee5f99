#include "protocol/CHttpExchange.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QMetaObject>
#include <QTimer>
#include <atomic>
#include <curl/curl.h>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace {

struct CurlDeleter
{
    void operator()(CURL* h) const { curl_easy_cleanup(h); }
};
struct SlistDeleter
{
    void operator()(curl_slist* l) const { curl_slist_free_all(l); }
};
using CurlHandle = std::unique_ptr<CURL, CurlDeleter>;
using CurlHeaders = std::unique_ptr<curl_slist, SlistDeleter>;

void EnsureCurlInitialised()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

// Shared between the waiting thread and the worker; the last one to let go frees it.
struct Exchange
{
    std::mutex mutex;
    QEventLoop* waiter = nullptr; // guarded by mutex; null once the waiter has left
    bool done = false;            // guarded by mutex
    CHttpExchange::Reply reply;   // written by the worker before `done`
    std::atomic<bool> abandoned{false};
    QByteArray buffer;
    bool tooLarge = false;
};

size_t OnBody(char* data, size_t size, size_t count, void* user)
{
    auto* ex = static_cast<Exchange*>(user);
    const size_t n = size * count;
    if (ex->abandoned.load(std::memory_order_relaxed))
        return 0;
    if (static_cast<qsizetype>(n) > CHttpExchange::kMaxBodyBytes - ex->buffer.size()) {
        ex->tooLarge = true;
        return 0; // curl drops the connection
    }
    ex->buffer.append(data, static_cast<qsizetype>(n));
    return n;
}

int OnProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    return static_cast<Exchange*>(user)->abandoned.load(std::memory_order_relaxed) ? 1 : 0;
}

void Perform(const std::shared_ptr<Exchange>& ex, const QByteArray& url, int timeLimitMs)
{
    CHttpExchange::Reply reply;
    CurlHandle curl(curl_easy_init());
    if (curl) {
        // An explicit empty "Accept:" removes curl's default header: the box gets the request line
        // and Host only, as it has always been sent.
        CurlHeaders headers(curl_slist_append(nullptr, "Accept:"));
        CURL* h = curl.get();
        curl_easy_setopt(h, CURLOPT_URL, url.constData());
        curl_easy_setopt(h, CURLOPT_CUSTOMREQUEST, "PUT");
        curl_easy_setopt(h, CURLOPT_HTTPHEADER, headers.get());
        curl_easy_setopt(h, CURLOPT_PATH_AS_IS, 1L);
        curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http");
        curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 0L);
        curl_easy_setopt(h, CURLOPT_PROXY, ""); // the box is on the local network
        curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, OnBody);
        curl_easy_setopt(h, CURLOPT_WRITEDATA, ex.get());
        curl_easy_setopt(h, CURLOPT_NOPROGRESS, 0L);
        curl_easy_setopt(h, CURLOPT_XFERINFOFUNCTION, OnProgress);
        curl_easy_setopt(h, CURLOPT_XFERINFODATA, ex.get());
        // A backstop only: the waiter gives up at the limit; this keeps an abandoned worker from
        // living on should the progress tick not come.
        curl_easy_setopt(h, CURLOPT_TIMEOUT_MS, static_cast<long>(timeLimitMs) + 2000L);
        curl_easy_setopt(h, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(CHttpExchange::kMaxBodyBytes));

        const CURLcode rc = curl_easy_perform(h);
        if (rc == CURLE_OK) {
            long status = 0;
            curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &status);
            reply.result = CHttpExchange::Completed;
            reply.httpStatus = static_cast<int>(status);
            // A reply without a body leaves the text empty, as an empty byte array would.
            if (!ex->buffer.isEmpty())
                reply.body = std::move(ex->buffer);
        } else {
            reply.result = CHttpExchange::Failed;
        }
    }

    std::lock_guard lock(ex->mutex);
    ex->reply = std::move(reply);
    ex->done = true;
    if (ex->waiter)
        QMetaObject::invokeMethod(ex->waiter, "quit", Qt::QueuedConnection);
}

class Workers final
{
public:
    static Workers& Instance()
    {
        static Workers w;
        return w;
    }

    void Start(std::shared_ptr<Exchange> ex, QByteArray url, int timeLimitMs)
    {
        std::lock_guard lock(m_mutex);
        Reap();
        m_threads.push_back(
            {ex, std::thread([ex, url = std::move(url), timeLimitMs] { Perform(ex, url, timeLimitMs); })});
    }

    void DrainAll()
    {
        std::vector<Entry> all;
        {
            std::lock_guard lock(m_mutex);
            all.swap(m_threads);
        }
        for (Entry& e : all) {
            e.exchange->abandoned = true;
            e.thread.join();
        }
    }

    ~Workers() { DrainAll(); }

private:
    struct Entry
    {
        std::shared_ptr<Exchange> exchange;
        std::thread thread;
    };

    // Joins workers whose exchange has ended; cheap, since a finished worker is about to return.
    void Reap()
    {
        std::erase_if(m_threads, [](Entry& e) {
            bool done;
            {
                std::lock_guard lock(e.exchange->mutex);
                done = e.exchange->done;
            }
            if (done)
                e.thread.join();
            return done;
        });
    }

    std::mutex m_mutex;
    std::vector<Entry> m_threads;
};

} // namespace

CHttpExchange::Reply CHttpExchange::Put(const QByteArray& url, int timeLimitMs)
{
    EnsureCurlInitialised();
    auto ex = std::make_shared<Exchange>();
    Workers::Instance().Start(ex, url, timeLimitMs);

    QEventLoop loop;
    {
        std::lock_guard lock(ex->mutex);
        if (ex->done)
            return ex->reply;
        ex->waiter = &loop;
    }
    QTimer limit;
    limit.setSingleShot(true);
    limit.setTimerType(Qt::PreciseTimer);
    QObject::connect(&limit, &QTimer::timeout, &loop, [&loop] { loop.exit(1); });
    limit.start(std::max(0, timeLimitMs));
    loop.exec();

    std::lock_guard lock(ex->mutex);
    ex->waiter = nullptr; // a completion posted from now on finds nobody to wake
    if (ex->done)
        return ex->reply;
    ex->abandoned = true;
    Reply timedOut;
    timedOut.result = TimedOut;
    timedOut.httpStatus = 408;
    return timedOut;
}

void CHttpExchange::DrainAbandoned()
{
    Workers::Instance().DrainAll();
}
