// The media address from hostile settings: whatever the user name and password hold, the HLS
// address must still name the box as its host and carry the credentials unchanged.
#include "model/CBoxSettings.h"

#include <QUrl>
#include <algorithm>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    const QString all =
        QString::fromUtf8(reinterpret_cast<const char*>(data + 2), static_cast<qsizetype>(size - 2));
    const qsizetype cut = all.indexOf(QChar(u'\n'));
    CBoxSettings settings;
    settings.userName = all.left(cut < 0 ? all.size() : cut);
    settings.password = cut < 0 ? QString() : all.mid(cut + 1);
    settings.streamingProtocol = data[0] % 4;
    settings.stodEnabled = (data[1] & 1) != 0;
    settings.stodProtocol = (data[1] >> 1) % 4;
    const QString box = QStringLiteral("192.168.7.42");
    const QString address = settings.MediaAddress(QStringLiteral("192.168.7.10"), box);
    const int mode = settings.stodEnabled ? settings.stodProtocol : settings.streamingProtocol;
    if (mode == CBoxSettings::HLS) {
        const QUrl url(address, QUrl::StrictMode);
        if (!url.isValid() || url.host() != box || url.path() != QStringLiteral("/quarn/content.m3u8"))
            __builtin_trap();
        // QUrl itself turns Unicode noncharacters into U+FFFD; no one types those into a password.
        const auto plain = [](const QString& t) {
            const QList<uint> points = t.toUcs4();
            return std::none_of(points.begin(), points.end(),
                                [](uint c) { return QChar::isNonCharacter(c); });
        };
        if (plain(settings.userName) && plain(settings.password) &&
            (url.userName(QUrl::FullyDecoded) != settings.userName ||
             url.password(QUrl::FullyDecoded) != settings.password))
            __builtin_trap();
    }
    return 0;
}
