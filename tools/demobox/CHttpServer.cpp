#include "CHttpServer.h"

#include "CHttpExchange.h"

#include <QTcpSocket>

CHttpServer::CHttpServer(QObject* parent) : QObject(parent)
{
    connect(&m_server, &QTcpServer::newConnection, this, &CHttpServer::onNewConnection);
}

CHttpServer::~CHttpServer() = default;

bool CHttpServer::listen(const QHostAddress& address, quint16 port, QString* error)
{
    if (m_server.listen(address, port))
        return true;
    if (error != nullptr)
        *error = m_server.errorString();
    return false;
}

void CHttpServer::onNewConnection()
{
    while (QTcpSocket* socket = m_server.nextPendingConnection()) {
        auto* exchange = new CHttpExchange(socket, this);
        connect(exchange, &CHttpExchange::requestReady, this, &CHttpServer::requestReady);
    }
}
