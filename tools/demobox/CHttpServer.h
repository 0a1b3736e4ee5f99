#pragma once

#include <QHostAddress>
#include <QObject>
#include <QTcpServer>

class CHttpExchange;

// Accepts connections and hands every complete request on as a CHttpExchange, which lives until
// its connection closes.
class CHttpServer final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CHttpServer)
public:
    explicit CHttpServer(QObject* parent = nullptr);
    ~CHttpServer() override;

    bool listen(const QHostAddress& address, quint16 port, QString* error);
    quint16 port() const { return m_server.serverPort(); }

signals:
    void requestReady(CHttpExchange* exchange);

private:
    void onNewConnection();

    QTcpServer m_server;
};
