#include "model/DottedIPv4.h"

bool ParseDottedIPv4(const QString& text, quint32& address)
{
    const QStringView view(text);
    quint32 result = 0;
    int octets = 0;
    qsizetype pos = 0;
    while (octets < 4) {
        qsizetype end = pos;
        while (end < view.size() && view[end] >= u'0' && view[end] <= u'9')
            ++end;
        const qsizetype digits = end - pos;
        // Leading zeros are refused: classic parsers read them as octal, so "010" is ambiguous.
        if (digits == 0 || digits > 3 || (digits > 1 && view[pos] == u'0'))
            return false;
        const uint octet = view.mid(pos, digits).toUInt();
        if (octet > 255)
            return false;
        result = (result << 8) | octet;
        ++octets;
        if (octets < 4) {
            if (end >= view.size() || view[end] != u'.')
                return false;
            pos = end + 1;
        } else if (end != view.size()) {
            return false;
        }
    }
    address = result;
    return true;
}

QString DottedIPv4(quint32 address)
{
    return QStringLiteral("%1.%2.%3.%4")
        .arg((address >> 24) & 0xFF)
        .arg((address >> 16) & 0xFF)
        .arg((address >> 8) & 0xFF)
        .arg(address & 0xFF);
}
