#pragma once

// Test helper: runs the demo box on a free loopback port for the lifetime of one object.
//
//     DemoBoxProcess box({"--no-ffmpeg", "--protocol-version", "1.2"});
//     ASSERT_TRUE(box.ok()) << box.error();
//     std::string url = box.baseUrl() + "/qnql?q=svc_list";
//
// Link `kelvo-demobox-testing`, which defines KELVO_DEMOBOX_PATH and builds the box first. The
// helper needs nothing but POSIX, so it serves tests with or without a Qt application object.
// The box ends (SIGTERM, then SIGKILL after 5 s) when the object is destroyed, and by itself when
// the test process dies first.

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

class DemoBoxProcess final
{
public:
    // `args` are passed after "--port 0"; a later "--port" in them wins.
    explicit DemoBoxProcess(const std::vector<std::string>& args = {}, int readyTimeoutMs = 10000,
                            const std::string& binary = defaultBinary())
    {
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC) != 0) {
            m_error = "pipe failed";
            return;
        }
        std::vector<std::string> all = {binary, "--port", "0", "--parent-pid", std::to_string(::getpid())};
        all.insert(all.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (auto& a : all)
            argv.push_back(a.data());
        argv.push_back(nullptr);

        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
        const int rc = ::posix_spawn(&m_pid, binary.c_str(), &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        ::close(fds[1]);
        m_stdout = fds[0];
        if (rc != 0) {
            m_pid = -1;
            m_error = "cannot start " + binary + ": " + std::strerror(rc);
            return;
        }
        waitForReady(readyTimeoutMs);
    }

    ~DemoBoxProcess() { stop(); }

    DemoBoxProcess(const DemoBoxProcess&) = delete;
    DemoBoxProcess& operator=(const DemoBoxProcess&) = delete;

    bool ok() const { return m_port > 0; }
    const std::string& error() const { return m_error; }
    int port() const { return m_port; }
    const std::string& host() const { return m_host; }
    std::string baseUrl() const { return "http://" + m_host + ":" + std::to_string(m_port); }
    pid_t pid() const { return m_pid; }

    // Ends the box; returns its wait status, or -1 when it was not running.
    int stop()
    {
        if (m_pid <= 0)
            return -1;
        ::kill(m_pid, SIGTERM);
        int status = -1;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (::waitpid(m_pid, &status, WNOHANG) == 0) {
            if (std::chrono::steady_clock::now() > deadline) {
                ::kill(m_pid, SIGKILL);
                ::waitpid(m_pid, &status, 0);
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        m_pid = -1;
        if (m_stdout >= 0)
            ::close(m_stdout);
        m_stdout = -1;
        return status;
    }

    static std::string defaultBinary()
    {
#ifdef KELVO_DEMOBOX_PATH
        return KELVO_DEMOBOX_PATH;
#else
        return "kelvo-demobox";
#endif
    }

private:
    void waitForReady(int timeoutMs)
    {
        static const std::string marker = "demobox listening on ";
        std::string line;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (true) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0) {
                m_error = "the demo box did not report ready in time";
                return;
            }
            pollfd p{m_stdout, POLLIN, 0};
            if (::poll(&p, 1, int(left.count())) <= 0)
                continue;
            char c = 0;
            const ssize_t n = ::read(m_stdout, &c, 1);
            if (n <= 0) {
                m_error = "the demo box ended before it was ready";
                return;
            }
            if (c != '\n') {
                line += c;
                continue;
            }
            const auto at = line.find(marker);
            const auto colon = line.rfind(':');
            if (at != std::string::npos && colon != std::string::npos && colon > at) {
                m_host = line.substr(at + marker.size(), colon - at - marker.size());
                m_port = std::atoi(line.c_str() + colon + 1);
                return;
            }
            line.clear();
        }
    }

    pid_t m_pid = -1;
    int m_stdout = -1;
    int m_port = 0;
    std::string m_host;
    std::string m_error;
};
