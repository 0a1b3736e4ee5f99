#pragma once

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QTcpSocket>
#include <functional>
#include <utility>
#include <vector>

// One HTTP/1.1 request on one connection, and the ways the box can answer it: a whole reply, a
// reply trickled out slowly, a huge generated reply written as the peer reads, a connection
// reset, or no answer at all. Every reply closes the connection afterwards.
class CHttpExchange final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CHttpExchange)
public:
    using Headers = std::vector<std::pair<QByteArray, QByteArray>>;
    // Hands out the next at most `max` bytes at `offset` of a generated body.
    using Generator = std::function<QByteArray(qint64 offset, qint64 max)>;

    explicit CHttpExchange(QTcpSocket* socket, QObject* parent = nullptr);
    ~CHttpExchange() override;

    const QByteArray& method() const { return m_method; }
    const QByteArray& target() const { return m_target; }
    QByteArray header(const QByteArray& lowerCaseName) const { return m_headers.value(lowerCaseName); }
    bool isAnswered() const { return m_answered; }

    void send(int status, const QByteArray& contentType, const QByteArray& body, const Headers& extra = {});
    void sendDripped(int status, const QByteArray& contentType, const QByteArray& body, int chunkBytes,
                     int intervalMs);
    void sendGenerated(int status, const QByteArray& contentType, qint64 length, Generator generator);
    void sendRaw(const QByteArray& bytes);
    void resetConnection();
    void neverAnswer();

    static QByteArray reasonPhrase(int status);

signals:
    void requestReady(CHttpExchange* exchange);

private:
    void onReadyRead();
    void onBytesWritten();
    bool parseHead(const QByteArray& head);
    QByteArray statusHead(int status, const QByteArray& contentType, qint64 length,
                          const Headers& extra) const;
    void finishWriting();
    void dripNext();

    QTcpSocket* m_socket;
    QByteArray m_buffer;
    QByteArray m_method;
    QByteArray m_target;
    QHash<QByteArray, QByteArray> m_headers;
    qint64 m_bodyToSkip = 0;
    bool m_headParsed = false;
    bool m_requestSeen = false;
    bool m_answered = false;

    // generated or dripped reply state
    Generator m_generator;
    qint64 m_generatedLength = 0;
    qint64 m_generatedOffset = 0;
    QByteArray m_drip;
    qsizetype m_dripOffset = 0;
    int m_dripChunk = 0;
    int m_dripInterval = 0;
};
