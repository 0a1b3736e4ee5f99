#pragma once

#include <QString>
#include <QtGlobal>

// Strict dotted-quad parser ("a.b.c.d", each 0..255, decimal, no leading zeros beyond a single
// "0"). Returns false for anything else.
bool ParseDottedIPv4(const QString& text, quint32& address);

// "a.b.c.d" for an address in host byte order.
QString DottedIPv4(quint32 address);
