#pragma once

// What the zap benches share: a settings store of the program's own, pointed at the demo box on
// loopback, and the streaming protocols' names.
#include "app/testing/KelvoTestSeams.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

// The program's runtime folder and message log go into `dir`; returns the settings file's path.
inline QString PrepareProgramFolder(const QTemporaryDir& dir)
{
    qputenv("XDG_RUNTIME_DIR", dir.path().toLocal8Bit());
    KelvoTestSeams::LogMessagesTo(dir.path() + QStringLiteral("/messages.log"));
    return dir.path() + QStringLiteral("/Kelvo+.conf");
}

inline bool WriteBoxSettings(const QString& path, int port, int protocol)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    f.write(
        QStringLiteral("[STB]\nSTB%20IP%20Address=127.0.0.1\nSTB%20Port=%1\nSTB%20Streaming%20Protocol=%2\n")
            .arg(port)
            .arg(protocol)
            .toUtf8());
    return true;
}

inline const char* ProtocolName(int protocol)
{
    return protocol == 0 ? "RTP" : protocol == 1 ? "UDP" : "HLS";
}
