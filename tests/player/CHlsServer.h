#pragma once

#include <QString>
#include <atomic>
#include <memory>

class QThread;

// A box's web server as far as the player sees it: serves the files of one folder below
// "/quarn/" on 127.0.0.1, only to requests that carry the basic-auth credentials, from its own
// thread so that it answers whatever the thread under test is doing.
class CHlsServer final
{
public:
    CHlsServer(const QString& folder, const QString& user, const QString& password);
    ~CHlsServer();
    CHlsServer(const CHlsServer&) = delete;
    CHlsServer& operator=(const CHlsServer&) = delete;

    // Binds 127.0.0.1:port (0 picks a free port); false when the port cannot be had.
    bool Listen(quint16 port);
    quint16 Port() const { return m_port; }
    int Served() const { return m_served.load(); }
    int Refused() const { return m_refused.load(); }

private:
    QString m_folder;
    QByteArray m_expectedAuth;
    quint16 m_port = 0;
    std::atomic<int> m_served{0};
    std::atomic<int> m_refused{0};
    std::unique_ptr<QThread> m_thread;
};
