#include "discovery/HostFromUrl.h"

#include <QUrl>

namespace {
// Description URLs are short; anything far longer is not worth parsing.
constexpr qsizetype kMaxUrlLength = 2048;
} // namespace

quint32 HostFromUrl(const QString& url)
{
    if (url.isEmpty() || url.size() > kMaxUrlLength)
        return 0;
    const QUrl parsed(url, QUrl::StrictMode);
    if (!parsed.isValid() || parsed.isRelative())
        return 0;
    const QString host = parsed.host(QUrl::FullyDecoded);
    quint32 address = 0;
    if (host.isEmpty() || !ParseDottedIPv4(host, address))
        return 0;
    return address;
}
