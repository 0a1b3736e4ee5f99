#include "CMuxDelaySwing.h"

#include <QNetworkDatagram>
#include <cmath>
#include <numbers>

namespace {

constexpr int64_t kWrap = int64_t{1} << 33;
constexpr double kTicksPerSecond = 90000.0;

} // namespace

CMuxDelaySwing::CMuxDelaySwing(Swing swing, const QHostAddress& client, quint16 clientPort, QObject* parent)
    : QObject(parent), m_swing(swing), m_client(client), m_clientPort(clientPort)
{
    connect(&m_in, &QUdpSocket::readyRead, this, &CMuxDelaySwing::onReadyRead);
}

bool CMuxDelaySwing::listen(QString* why)
{
    if (!m_in.bind(QHostAddress::LocalHost, 0)) {
        *why = QStringLiteral("delay swing: %1").arg(m_in.errorString());
        return false;
    }
    // A busy moment must not cost datagrams here that the network would not have lost.
    m_in.setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, 4 << 20);
    return true;
}

double CMuxDelaySwing::delayAt(const Swing& swing, double seconds)
{
    if (swing.period <= 0)
        return swing.from;
    const double phase = 2.0 * std::numbers::pi * seconds / swing.period;
    return swing.to + (swing.from - swing.to) * (1.0 + std::cos(phase)) / 2.0;
}

void CMuxDelaySwing::onReadyRead()
{
    while (m_in.hasPendingDatagrams()) {
        QNetworkDatagram datagram = m_in.receiveDatagram();
        QByteArray bytes = datagram.data();
        rewrite(bytes);
        m_out.writeDatagram(bytes, m_client, m_clientPort);
    }
}

void CMuxDelaySwing::rewrite(QByteArray& datagram)
{
    auto* d = reinterpret_cast<uint8_t*>(datagram.data());
    const auto size = static_cast<size_t>(datagram.size());
    size_t at = 0;
    if (size > 0 && d[0] != 0x47) {
        // ffmpeg's RTP: the fixed header and the sources it names; it sends no extension.
        if (size < 12 || (d[0] >> 6) != 2 || (d[0] & 0x10) != 0)
            return;
        at = 12 + 4 * size_t{d[0] & 0x0Fu};
    }
    for (; at + 188 <= size && d[at] == 0x47; at += 188)
        rewritePacket(d + at);
}

void CMuxDelaySwing::rewritePacket(uint8_t* p)
{
    if ((p[3] & 0x20) == 0 || p[4] < 7 || p[4] > 183 || (p[5] & 0x10) == 0)
        return;
    uint8_t* f = p + 6;
    const int64_t pcr = (int64_t{f[0]} << 25) | (int64_t{f[1]} << 17) | (int64_t{f[2]} << 9) |
                        (int64_t{f[3]} << 1) | (f[4] >> 7);
    if (!m_haveFirst) {
        m_haveFirst = true;
        m_first = pcr;
    }
    const double seconds = static_cast<double>((pcr - m_first + kWrap) % kWrap) / kTicksPerSecond;
    // A clock that runs ahead by what the delay has fallen leaves the stamps that much less lead.
    const auto ahead =
        static_cast<int64_t>(std::llround((m_swing.from - delayAt(m_swing, seconds)) * kTicksPerSecond));
    const int64_t moved = ((pcr + ahead) % kWrap + kWrap) % kWrap;
    f[0] = static_cast<uint8_t>(moved >> 25);
    f[1] = static_cast<uint8_t>(moved >> 17);
    f[2] = static_cast<uint8_t>(moved >> 9);
    f[3] = static_cast<uint8_t>(moved >> 1);
    f[4] = static_cast<uint8_t>(((moved & 1) << 7) | (f[4] & 0x7F));
}
