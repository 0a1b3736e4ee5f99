#include "CHttpExchange.h"

#include <QTimer>
#include <sys/socket.h>

namespace {

constexpr qsizetype kMaxHead = 64 * 1024;
constexpr qint64 kMaxBody = 1024 * 1024;
constexpr qint64 kWriteAhead = 256 * 1024;
constexpr qint64 kGeneratedChunk = 64 * 1024;

} // namespace

CHttpExchange::CHttpExchange(QTcpSocket* socket, QObject* parent) : QObject(parent), m_socket(socket)
{
    m_socket->setParent(this);
    connect(m_socket, &QTcpSocket::readyRead, this, &CHttpExchange::onReadyRead);
    connect(m_socket, &QTcpSocket::bytesWritten, this, &CHttpExchange::onBytesWritten);
    connect(m_socket, &QTcpSocket::disconnected, this, &QObject::deleteLater);
    connect(m_socket, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError) {
        if (m_socket->state() != QAbstractSocket::ConnectedState)
            deleteLater();
    });
}

CHttpExchange::~CHttpExchange() = default;

QByteArray CHttpExchange::reasonPhrase(int status)
{
    switch (status) {
    case 200:
        return "OK";
    case 400:
        return "Bad Request";
    case 401:
        return "Unauthorized";
    case 404:
        return "Not Found";
    case 405:
        return "Method Not Allowed";
    case 413:
        return "Payload Too Large";
    case 431:
        return "Request Header Fields Too Large";
    case 500:
        return "Internal Server Error";
    case 503:
        return "Service Unavailable";
    default:
        return "Status";
    }
}

void CHttpExchange::onReadyRead()
{
    m_buffer += m_socket->readAll();
    if (m_requestSeen) {
        // Whatever follows the one request is not read; the connection closes after the reply.
        m_buffer.clear();
        return;
    }
    if (!m_headParsed) {
        const qsizetype end = m_buffer.indexOf("\r\n\r\n");
        if (end < 0) {
            if (m_buffer.size() > kMaxHead)
                send(431, "text/plain", "request head too large\n");
            return;
        }
        if (end > kMaxHead) {
            send(431, "text/plain", "request head too large\n");
            return;
        }
        const QByteArray head = m_buffer.left(end);
        m_buffer.remove(0, end + 4);
        m_headParsed = true;
        if (!parseHead(head)) {
            m_requestSeen = true;
            send(400, "text/plain", "malformed request\n");
            return;
        }
        bool ok = true;
        const QByteArray length = header("content-length");
        if (!length.isEmpty()) {
            m_bodyToSkip = length.trimmed().toLongLong(&ok);
            if (!ok || m_bodyToSkip < 0 || m_bodyToSkip > kMaxBody) {
                m_requestSeen = true;
                send(413, "text/plain", "request body not accepted\n");
                return;
            }
        }
    }
    if (m_buffer.size() < m_bodyToSkip)
        return;
    // The box's commands carry no body; one that arrives is read and dropped.
    m_buffer.clear();
    m_requestSeen = true;
    emit requestReady(this);
}

bool CHttpExchange::parseHead(const QByteArray& head)
{
    const QList<QByteArray> lines = head.split('\n');
    const QList<QByteArray> requestLine = lines.front().trimmed().split(' ');
    if (requestLine.size() != 3 || !requestLine[2].startsWith("HTTP/1."))
        return false;
    m_method = requestLine[0];
    m_target = requestLine[1];
    if (m_method.isEmpty() || m_target.isEmpty())
        return false;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines[i].trimmed();
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0)
            continue;
        m_headers.insert(line.left(colon).trimmed().toLower(), line.mid(colon + 1).trimmed());
    }
    return true;
}

QByteArray CHttpExchange::statusHead(int status, const QByteArray& contentType, qint64 length,
                                     const Headers& extra) const
{
    QByteArray head = "HTTP/1.1 " + QByteArray::number(status) + ' ' + reasonPhrase(status) + "\r\n";
    head += "Server: kelvo-demobox\r\n";
    head += "Connection: close\r\n";
    if (!contentType.isEmpty())
        head += "Content-Type: " + contentType + "\r\n";
    head += "Content-Length: " + QByteArray::number(length) + "\r\n";
    for (const auto& [name, value] : extra)
        head += name + ": " + value + "\r\n";
    head += "\r\n";
    return head;
}

void CHttpExchange::send(int status, const QByteArray& contentType, const QByteArray& body,
                         const Headers& extra)
{
    if (m_answered)
        return;
    m_answered = true;
    m_socket->write(statusHead(status, contentType, body.size(), extra));
    m_socket->write(body);
    finishWriting();
}

void CHttpExchange::sendRaw(const QByteArray& bytes)
{
    if (m_answered)
        return;
    m_answered = true;
    m_socket->write(bytes);
    finishWriting();
}

void CHttpExchange::finishWriting()
{
    // disconnectFromHost() waits until everything written has gone out.
    m_socket->disconnectFromHost();
}

void CHttpExchange::sendDripped(int status, const QByteArray& contentType, const QByteArray& body,
                                int chunkBytes, int intervalMs)
{
    if (m_answered)
        return;
    m_answered = true;
    m_drip = statusHead(status, contentType, body.size(), {}) + body;
    m_dripOffset = 0;
    m_dripChunk = std::max(1, chunkBytes);
    m_dripInterval = std::max(1, intervalMs);
    dripNext();
}

void CHttpExchange::dripNext()
{
    if (m_socket->state() != QAbstractSocket::ConnectedState)
        return;
    m_socket->write(m_drip.mid(m_dripOffset, m_dripChunk));
    m_socket->flush();
    m_dripOffset += m_dripChunk;
    if (m_dripOffset >= m_drip.size()) {
        m_drip.clear();
        finishWriting();
        return;
    }
    QTimer::singleShot(m_dripInterval, this, &CHttpExchange::dripNext);
}

void CHttpExchange::sendGenerated(int status, const QByteArray& contentType, qint64 length,
                                  Generator generator)
{
    if (m_answered)
        return;
    m_answered = true;
    m_generator = std::move(generator);
    m_generatedLength = length;
    m_generatedOffset = 0;
    m_socket->write(statusHead(status, contentType, length, {}));
    onBytesWritten();
}

void CHttpExchange::onBytesWritten()
{
    if (!m_generator)
        return;
    // Only a little is kept queued, so a huge reply never sits in memory as a whole.
    while (m_generatedOffset < m_generatedLength && m_socket->bytesToWrite() < kWriteAhead) {
        const QByteArray piece =
            m_generator(m_generatedOffset, std::min(kGeneratedChunk, m_generatedLength - m_generatedOffset));
        if (piece.isEmpty())
            break;
        m_socket->write(piece);
        m_generatedOffset += piece.size();
    }
    if (m_generatedOffset >= m_generatedLength) {
        m_generator = nullptr;
        finishWriting();
    }
}

void CHttpExchange::resetConnection()
{
    if (m_answered)
        return;
    m_answered = true;
    // A zero linger time makes the close send a reset instead of an orderly end.
    const qintptr fd = m_socket->socketDescriptor();
    if (fd >= 0) {
        linger lg{};
        lg.l_onoff = 1;
        lg.l_linger = 0;
        ::setsockopt(int(fd), SOL_SOCKET, SO_LINGER, &lg, sizeof lg);
    }
    m_socket->abort();
    deleteLater();
}

void CHttpExchange::neverAnswer()
{
    // The connection stays open until the peer gives up; the box keeps it but says nothing.
    m_answered = true;
}
