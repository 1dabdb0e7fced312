#pragma once

#include "portmap/patience.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

#include <optional>
#include <utility>

// An Internet Gateway Device as UPnP reaches it: found by SSDP, read from its description
// document, and commanded by SOAP. The library (libminiupnpc) finds it and reads its documents;
// the documents themselves are fetched here, with caps on their size and time.
namespace portmap::upnp {

struct Gateway {
    QByteArray controlUrl;  // where the WAN connection service takes its commands
    QByteArray serviceType; // that service
    QString localAddress;   // this machine's address as the gateway sees it
};

// The first gateway that answers SSDP within `discoverMs` and describes a WAN connection service.
std::optional<Gateway> findGateway(int discoverMs, const Patience &patience);

struct SoapAnswer {
    bool ok = false;    // the gateway did what it was told
    int errorCode = 0;  // the UPnP error it gave instead (0: none told, or no answer)
    QHash<QByteArray, QByteArray> values; // the answer's arguments by name
};

SoapAnswer command(const Gateway &gateway, const char *action, const QList<std::pair<QByteArray, QByteArray>> &arguments,
                   const Patience &patience);

// The answer's arguments, read by the library's parser.
QHash<QByteArray, QByteArray> soapValues(const QByteArray &body);

} // namespace portmap::upnp
