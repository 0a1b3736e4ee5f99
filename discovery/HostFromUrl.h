#pragma once

#include "model/DottedIPv4.h"

#include <QString>
#include <QtGlobal>

// IPv4 address of the host of a description URL, in host byte order.
//
// Any well-formed absolute URL with a host counts, with or without a port: a box that serves its
// description on port 80 may leave the port out, and it must still be choosable. The host has to
// be an IPv4 address (after the URL standard's normalisation, under which "0x7f.1" is 127.0.0.1,
// the address a connection to that URL would reach); a host name or an IPv6 literal gives 0, because
// resolving a name here would make the user interface wait on the network, and an address that is
// 0 is what the rest of the application already treats as "no box". Text that is not a URL, or
// has no host, gives 0 as well.
quint32 HostFromUrl(const QString& url);
