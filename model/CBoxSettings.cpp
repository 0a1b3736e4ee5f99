#include "model/CBoxSettings.h"

#include <QUrl>

namespace {

// A UDP client port of 0 leaves the port to the box, which then sends to the usual MPEG-TS port.
constexpr int kBoxDefaultUdpPort = 1234;

} // namespace

int CBoxSettings::ClientPort(int protocol)
{
    switch (protocol) {
    case RTP:
        return 5004;
    case UDP:
        return 0;
    case HLS:
        return 8080;
    default:
        return -1;
    }
}

CStreamingTarget CBoxSettings::Target(const QString& localAddress) const
{
    if (stodEnabled)
        return {stodProtocol, stodAddress, stodPort};
    return {streamingProtocol, localAddress, ClientPort(streamingProtocol)};
}

QString CBoxSettings::MediaAddress(const QString& localAddress, const QString& boxAddress) const
{
    // The player listens on this computer's port even when the box streams elsewhere.
    const int port = ClientPort(streamingProtocol);
    switch (stodEnabled ? stodProtocol : streamingProtocol) {
    case RTP:
        return QStringLiteral("rtp://%1:%2").arg(localAddress).arg(port);
    case UDP:
        // The engine reads a host before the port as the only sender it accepts. The box sends
        // from its own address, so the player listens on the port for any sender instead.
        return QStringLiteral("udp://@:%1").arg(port == 0 ? kBoxDefaultUdpPort : port);
    case HLS:
        // A raw "@", ":", "/" or "%" in the credentials would move the host part elsewhere, so the
        // player would ask the wrong server; encoded, they reach the box as typed.
        return QStringLiteral("http://%1:%2@%3/quarn/content.m3u8")
            .arg(QString::fromLatin1(QUrl::toPercentEncoding(userName)),
                 QString::fromLatin1(QUrl::toPercentEncoding(password)), boxAddress);
    default:
        return QString();
    }
}
