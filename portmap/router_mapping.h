#pragma once

#include <QString>
#include <QtGlobal>

// Asking the router of this network to forward a TCP port to this machine. Every call blocks
// (for at most about the wait it is given) and is meant for a worker thread.
namespace portmap {

struct Mapping {
    enum class Kind { None, NatPmp, Upnp };
    Kind kind = Kind::None;
    quint16 port = 0;           // the same port outside and inside
    QString externalAddress;    // the router's address on the internet, as it tells it
    QString internalAddress;    // this machine's address as the router sees it (UPnP only)
    QString controlUrl;         // UPnP: where the router takes its commands
    QString serviceType;        // UPnP: the WAN connection service those commands go to

    bool isOpen() const { return kind != Kind::None; }
    // "NAT-PMP" or "UPnP"; empty when nothing is mapped.
    QString protocolName() const;
};

// The router named as this machine's default gateway, through NAT-PMP. Waits at most `waitMs`
// for each answer. Kind::None when no router answered or it refused.
Mapping mapWithNatPmp(quint16 port, int leaseSeconds, int waitMs);

// An Internet Gateway Device found by SSDP within `discoverMs`, through its SOAP control.
Mapping mapWithUpnp(quint16 port, int leaseSeconds, int discoverMs);

// Asks again for the same mapping with a fresh lease. False when the router no longer grants it.
bool renewMapping(const Mapping &mapping, int leaseSeconds, int waitMs);

// Removes the mapping. False when the router could not be told.
bool removeMapping(const Mapping &mapping, int waitMs);

} // namespace portmap
