// Description URLs from anything on the network that answers a UPnP search.
#include "discovery/HostFromUrl.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const quint32 host = HostFromUrl(text);
    // A host found names the same host again when written as a plain dotted address, with and
    // without a port.
    if (host != 0) {
        const QString dotted = DottedIPv4(host);
        quint32 parsed = 0;
        if (!ParseDottedIPv4(dotted, parsed) || parsed != host)
            __builtin_trap();
        if (HostFromUrl(QStringLiteral("http://") + dotted + QStringLiteral("/d.xml")) != host ||
            HostFromUrl(QStringLiteral("http://") + dotted + QStringLiteral(":49152/d.xml")) != host)
            __builtin_trap();
    }
    return 0;
}
