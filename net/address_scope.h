#pragma once

#include <QString>

// What an IP address is good for, read from its text: whether others can reach it, only this
// network, only this machine, or nothing at all.
namespace addressscope {

enum class Scope {
    Unreadable,  // not an IPv4 or IPv6 address
    Unspecified, // 0.0.0.0/8, ::
    Loopback,    // 127.0.0.0/8, ::1: this machine only
    LinkLocal,   // 169.254.0.0/16, fe80::/10
    Private,     // 10/8, 172.16/12, 192.168/16, fc00::/7: one network behind a router
    Shared,      // 100.64.0.0/10: a provider's network shared by its customers
    Multicast,   // 224.0.0.0/4, ff00::/8
    Broadcast,   // 255.255.255.255, or the broadcast address of one of this machine's networks
    Reserved,    // documentation, benchmarking and future addresses: never a real host's
    Public,      // any other unicast address: reachable from the internet
};

Scope scopeOf(const QString &address);

// Where a host can be reached at all: unicast, and not "nowhere".
bool isUnicast(Scope scope);

} // namespace addressscope
