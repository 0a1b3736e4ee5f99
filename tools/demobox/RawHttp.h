#pragma once

// A deliberately plain HTTP client for the demo box's tests: it writes the request target
// exactly as given (the box's clients send their query texts raw), reads until the box closes,
// and reports resets and silence instead of hiding them.

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <netinet/in.h>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <unistd.h>

struct RawReply
{
    bool connected = false;
    bool reset = false;
    bool timedOut = false;
    int status = 0;
    std::string head;
    std::string body;
    long long bytes = 0; // everything received, also beyond what was kept
    long long elapsedMs = 0;
};

inline RawReply rawRequest(int port, const std::string& method, const std::string& target,
                           int timeoutMs = 5000, const std::string& extraHeaders = {},
                           std::size_t keepBytes = 16 * 1024 * 1024)
{
    RawReply reply;
    const auto started = std::chrono::steady_clock::now();
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return reply;
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<uint16_t>(port));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        ::close(fd);
        return reply;
    }
    reply.connected = true;
    const std::string request = method + " " + target +
                                " HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(port) + "\r\n" +
                                extraHeaders + "\r\n";
    if (::send(fd, request.data(), request.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(request.size())) {
        ::close(fd);
        return reply;
    }
    std::string data;
    const auto deadline = started + std::chrono::milliseconds(timeoutMs);
    char buffer[65536];
    while (true) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now())
                .count();
        if (left <= 0) {
            reply.timedOut = true;
            break;
        }
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(left)) <= 0)
            continue;
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n == 0)
            break;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            reply.reset = errno == ECONNRESET;
            break;
        }
        reply.bytes += n;
        if (data.size() < keepBytes)
            data.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    reply.elapsedMs =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started)
            .count();
    const auto end = data.find("\r\n\r\n");
    if (end != std::string::npos) {
        reply.head = data.substr(0, end);
        reply.body = data.substr(end + 4);
        if (reply.head.rfind("HTTP/1.1 ", 0) == 0)
            reply.status = std::atoi(reply.head.c_str() + 9);
    }
    return reply;
}

// The box's query endpoint, as the client calls it: PUT with the text after "q=" or "cmd=".
inline RawReply boxQuery(int port, const std::string& text, bool commandForm = false, int timeoutMs = 5000)
{
    return rawRequest(port, "PUT", std::string("/qnql?") + (commandForm ? "cmd=" : "q=") + text, timeoutMs);
}
