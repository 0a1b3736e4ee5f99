#pragma once

// A small scriptable HTTP server on 127.0.0.1 for tests: it records every raw request and answers
// each according to the behaviour set for it (answer, delay, hang, reset, drip-feed). A thread per
// connection, so a slow answer does not hold up another; everything stops with the object.

#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <cstring>
#include <functional>
#include <mutex>
#include <netinet/in.h>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

class TestHttpServer final
{
public:
    struct Behaviour
    {
        int status = 200;
        std::string body; // empty with `noBody`: a reply without a body
        bool noBody = false;
        int delayMs = 0;        // before answering
        bool hang = false;      // never answer; keep the connection open
        bool reset = false;     // drop the connection abruptly after reading the request
        int dripChunk = 0;      // > 0: send the body this many bytes at a time ...
        int dripIntervalMs = 0; // ... with this pause between chunks
    };

    using Responder = std::function<Behaviour(const std::string& requestTarget)>;

    TestHttpServer()
    {
        m_listen = ::socket(AF_INET, SOCK_STREAM, 0);
        int one = 1;
        ::setsockopt(m_listen, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        addr.sin_port = 0;
        ::bind(m_listen, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
        ::listen(m_listen, 16);
        socklen_t len = sizeof addr;
        ::getsockname(m_listen, reinterpret_cast<sockaddr*>(&addr), &len);
        m_port = ntohs(addr.sin_port);
        m_thread = std::thread([this] { Run(); });
    }

    ~TestHttpServer()
    {
        m_stop = true;
        m_thread.join();
        ::close(m_listen);
    }

    TestHttpServer(const TestHttpServer&) = delete;
    TestHttpServer& operator=(const TestHttpServer&) = delete;

    int Port() const { return m_port; }

    void SetResponder(Responder r)
    {
        std::lock_guard lock(m_mutex);
        m_responder = std::move(r);
    }

    void Answer(Behaviour b)
    {
        SetResponder([b](const std::string&) { return b; });
    }

    void AnswerXml(const std::string& xml) { Answer(Behaviour{.body = xml}); }

    // Raw request heads (request line and headers) in arrival order.
    std::vector<std::string> Requests() const
    {
        std::lock_guard lock(m_mutex);
        return m_requests;
    }

    // The request targets (path and query, as sent) in arrival order.
    std::vector<std::string> Targets() const
    {
        std::vector<std::string> out;
        for (const std::string& r : Requests()) {
            const auto a = r.find(' ');
            const auto b = r.find(' ', a + 1);
            out.push_back(a == std::string::npos || b == std::string::npos ? std::string()
                                                                           : r.substr(a + 1, b - a - 1));
        }
        return out;
    }

private:
    void Run()
    {
        std::vector<std::thread> workers;
        while (!m_stop) {
            pollfd p{m_listen, POLLIN, 0};
            if (::poll(&p, 1, 20) <= 0)
                continue;
            const int fd = ::accept(m_listen, nullptr, nullptr);
            if (fd >= 0)
                workers.emplace_back([this, fd] { Handle(fd); });
        }
        for (std::thread& t : workers)
            t.join();
    }

    // One connection: read the request head, record it, answer as told.
    void Handle(int fd)
    {
        std::string in;
        while (!m_stop && in.find("\r\n\r\n") == std::string::npos) {
            pollfd p{fd, POLLIN, 0};
            if (::poll(&p, 1, 20) <= 0)
                continue;
            char buf[4096];
            const ssize_t n = ::recv(fd, buf, sizeof buf, 0);
            if (n <= 0) {
                ::close(fd);
                return;
            }
            in.append(buf, static_cast<size_t>(n));
        }
        const std::string head = in.substr(0, in.find("\r\n\r\n") + 4);
        Behaviour b;
        {
            std::lock_guard lock(m_mutex);
            m_requests.push_back(head);
            const auto a = head.find(' ');
            const auto e = head.find(' ', a + 1);
            if (m_responder)
                b = m_responder(head.substr(a + 1, e - a - 1));
        }
        if (b.hang) {
            // Silent until the client gives up or the server stops.
            while (!m_stop) {
                pollfd p{fd, POLLIN, 0};
                char buf[256];
                if (::poll(&p, 1, 20) > 0 && ::recv(fd, buf, sizeof buf, 0) <= 0)
                    break;
            }
        } else {
            Serve(fd, b);
        }
        ::close(fd);
    }

    bool Sleep(int ms)
    {
        const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (std::chrono::steady_clock::now() < until) {
            if (m_stop)
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return true;
    }

    static void SendAll(int fd, const char* data, size_t size)
    {
        while (size > 0) {
            const ssize_t n = ::send(fd, data, size, MSG_NOSIGNAL);
            if (n <= 0)
                return;
            data += n;
            size -= static_cast<size_t>(n);
        }
    }

    void Serve(int fd, const Behaviour& b)
    {
        if (b.reset) {
            linger l{1, 0};
            ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &l, sizeof l);
            return;
        }
        if (b.delayMs > 0 && !Sleep(b.delayMs))
            return;
        std::string head = "HTTP/1.1 " + std::to_string(b.status) + " X\r\nConnection: close\r\n";
        if (!b.noBody)
            head += "Content-Length: " + std::to_string(b.body.size()) + "\r\n";
        else
            head += "Content-Length: 0\r\n";
        head += "\r\n";
        SendAll(fd, head.data(), head.size());
        if (b.noBody)
            return;
        if (b.dripChunk <= 0) {
            SendAll(fd, b.body.data(), b.body.size());
            return;
        }
        for (size_t off = 0; off < b.body.size(); off += static_cast<size_t>(b.dripChunk)) {
            SendAll(fd, b.body.data() + off, std::min(b.body.size() - off, static_cast<size_t>(b.dripChunk)));
            if (!Sleep(b.dripIntervalMs))
                break;
        }
    }

    int m_listen = -1;
    int m_port = 0;
    std::atomic<bool> m_stop{false};
    mutable std::mutex m_mutex;
    Responder m_responder;
    std::vector<std::string> m_requests;
    std::thread m_thread;
};
