#pragma once

#include <QHostAddress>
#include <QObject>
#include <QUdpSocket>
#include <cstdint>

// A multiplexer whose delay changes while it runs, as a broadcast's statistical multiplexer's
// does: ffmpeg sends its RTP or UDP stream here on loopback, and every datagram goes on to the
// client at once with its clock references (PCR) moved so that the stamps lead them by a delay
// that swings from `from` down to `to` and back, smoothly (a cosine), once every `period`
// seconds of the stream's own clock. ffmpeg itself keeps a fixed delay, which is `from`.
class CMuxDelaySwing final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CMuxDelaySwing)
public:
    struct Swing
    {
        double from = 0.7; // seconds, ffmpeg's own delay
        double to = 0.3;
        double period = 0; // seconds; 0: no swing
    };

    CMuxDelaySwing(Swing swing, const QHostAddress& client, quint16 clientPort, QObject* parent = nullptr);

    // Binds a free loopback port for ffmpeg; false with the reason when it cannot.
    bool listen(QString* why);
    quint16 port() const { return m_in.localPort(); }

    // The delay at `seconds` of the stream's clock.
    static double delayAt(const Swing& swing, double seconds);
    // Moves the clock references of a datagram of bare packets or RTP in place.
    void rewrite(QByteArray& datagram);

private:
    void onReadyRead();
    void rewritePacket(uint8_t* packet);

    Swing m_swing;
    QHostAddress m_client;
    quint16 m_clientPort;
    QUdpSocket m_in;
    QUdpSocket m_out;
    bool m_haveFirst = false;
    int64_t m_first = 0; // the stream's first clock reference
};
