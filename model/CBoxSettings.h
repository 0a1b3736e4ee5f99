#pragma once

#include <QString>

// Where the box is asked to stream to: a protocol, an address and a port.
struct CStreamingTarget
{
    int protocol = -1;
    QString address;
    int port = -1;
};

// How the box is reached and how it streams. The box's own address and port belong to the
// protocol client; these are the rest.
struct CBoxSettings
{
    enum Protocol : int
    {
        RTP = 0,
        UDP = 1,
        HLS = 2,
    };

    // The fields the settings store fills at start-up start at its defaults, so that nothing is
    // read before it has a value.
    int streamingProtocol = RTP;
    QString pinCode = QStringLiteral("8351");
    QString userName = QStringLiteral("root");
    QString password;
    bool stodEnabled = false; // stream to the other device instead of this computer
    QString stodAddress;
    int stodPort = 5004;
    int stodProtocol = HLS;

    // The port this computer listens on for a stream of the protocol; -1 for an unknown protocol.
    static int ClientPort(int protocol);

    // The target for the box: the other device when enabled, else this computer (`localAddress`)
    // on the client port of the streaming protocol.
    CStreamingTarget Target(const QString& localAddress) const;

    // The address the media player opens. `localAddress` serves RTP and UDP, `boxAddress` the HLS
    // playlist, which is fetched from the box's default HTTP port.
    QString MediaAddress(const QString& localAddress, const QString& boxAddress) const;
};
