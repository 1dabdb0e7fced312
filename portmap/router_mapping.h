#pragma once

#include "portmap/patience.h"

#include <QString>
#include <QtGlobal>

#include <optional>

// Asking the router of this network to forward a TCP port to this machine. Every call blocks for
// at most the patience it is given and is meant for a worker thread.
namespace portmap {

// How long a NAT-PMP router may take to answer one request, and how long SSDP waits for a UPnP
// gateway to make itself known; both together stay within about two seconds.
constexpr int kNatPmpWaitMs = 600;
constexpr int kUpnpDiscoverMs = 1000;

struct Mapping {
    enum class Kind { None, NatPmp, Upnp };
    Kind kind = Kind::None;
    quint16 port = 0;           // the same port outside and inside
    int leaseSeconds = 0;       // the lease the router granted; 0: until removed
    QString externalAddress;    // the router's address outside, as it tells it; empty when that is no address
    QString internalAddress;    // this machine's address as the router sees it (UPnP only)
    QString controlUrl;         // UPnP: where the router takes its commands
    QString serviceType;        // UPnP: the WAN connection service those commands go to

    bool isOpen() const { return kind != Kind::None; }
    // "NAT-PMP" or "UPnP"; empty when nothing is mapped.
    QString protocolName() const;
};

// The router named as this machine's default gateway, through NAT-PMP. Kind::None when no router
// answered or it refused.
Mapping mapWithNatPmp(quint16 port, int leaseSeconds, const Patience &patience);

// An Internet Gateway Device found by SSDP, through its SOAP control. A router that grants only
// leases without end (UPnP error 725) is asked again for one.
Mapping mapWithUpnp(quint16 port, int leaseSeconds, const Patience &patience);

// Asks again for the same mapping with a fresh lease: the lease granted, or nothing when the
// router no longer grants it.
std::optional<int> renewMapping(const Mapping &mapping, int leaseSeconds, const Patience &patience);

// Removes the mapping. False when the router could not be told.
bool removeMapping(const Mapping &mapping, const Patience &patience);

} // namespace portmap
