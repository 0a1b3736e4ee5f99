#include "CHlsServer.h"

#include <QEventLoop>
#include <QFile>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <future>

namespace {

QByteArray Reply(const QByteArray& status, const QByteArray& headers, const QByteArray& body)
{
    return "HTTP/1.1 " + status + "\r\n" + headers + "Content-Length: " + QByteArray::number(body.size()) +
           "\r\nConnection: close\r\n\r\n" + body;
}

} // namespace

CHlsServer::CHlsServer(const QString& folder, const QString& user, const QString& password)
    : m_folder(folder), m_expectedAuth("Basic " + (user + ':' + password).toUtf8().toBase64())
{}

CHlsServer::~CHlsServer()
{
    if (m_thread) {
        m_thread->quit();
        m_thread->wait();
    }
}

bool CHlsServer::Listen(quint16 port)
{
    std::promise<quint16> bound;
    std::future<quint16> result = bound.get_future();
    m_thread.reset(QThread::create([this, port, &bound] {
        QTcpServer server;
        if (!server.listen(QHostAddress(QHostAddress::LocalHost), port)) {
            bound.set_value(0);
            return;
        }
        QObject::connect(&server, &QTcpServer::newConnection, &server, [this, &server] {
            while (QTcpSocket* socket = server.nextPendingConnection()) {
                QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
                QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                    QByteArray request = socket->property("request").toByteArray() + socket->readAll();
                    socket->setProperty("request", request);
                    const qsizetype end = request.indexOf("\r\n\r\n");
                    if (end < 0) {
                        if (request.size() > 16384)
                            socket->abort();
                        return;
                    }
                    const QList<QByteArray> lines = request.left(end).split('\n');
                    const QList<QByteArray> first = lines.value(0).trimmed().split(' ');
                    QByteArray auth;
                    for (const QByteArray& line : lines) {
                        const qsizetype colon = line.indexOf(':');
                        if (colon > 0 && line.left(colon).trimmed().toLower() == "authorization")
                            auth = line.mid(colon + 1).trimmed();
                    }
                    const QByteArray path = first.value(1);
                    const QByteArray name = path.startsWith("/quarn/") ? path.mid(7) : QByteArray();
                    QByteArray reply;
                    if (auth != m_expectedAuth) {
                        ++m_refused;
                        reply = Reply("401 Unauthorized", "WWW-Authenticate: Basic realm=\"STB\"\r\n", {});
                    } else if (name.isEmpty() || name.contains('/') || name.contains("..")) {
                        reply = Reply("404 Not Found", {}, {});
                    } else {
                        QFile file(m_folder + '/' + QString::fromLatin1(name));
                        if (file.open(QIODevice::ReadOnly)) {
                            ++m_served;
                            const QByteArray type =
                                name.endsWith(".m3u8") ? "application/vnd.apple.mpegurl" : "video/mp2t";
                            reply = Reply("200 OK", "Content-Type: " + type + "\r\n", file.readAll());
                        } else {
                            reply = Reply("404 Not Found", {}, {});
                        }
                    }
                    socket->write(reply);
                    socket->disconnectFromHost();
                });
            }
        });
        bound.set_value(server.serverPort());
        QEventLoop loop;
        loop.exec();
    }));
    m_thread->start();
    m_port = result.get();
    if (m_port == 0) {
        m_thread->wait();
        m_thread.reset();
    }
    return m_port != 0;
}
