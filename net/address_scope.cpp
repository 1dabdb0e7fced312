#include "net/address_scope.h"

#include <arpa/inet.h>
#include <cstring>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>

namespace addressscope {

namespace {

// `address` (host byte order) lies in `prefix`/`bits`.
bool within(quint32 address, quint32 prefix, int bits)
{
    const quint32 mask = bits == 0 ? 0 : ~quint32(0) << (32 - bits);
    return (address & mask) == (prefix & mask);
}

// The broadcast address of one of this machine's IPv4 networks (its address with every host bit
// set), whether or not the interface names it.
bool isBroadcastOfThisMachine(in_addr address)
{
    ifaddrs *interfaces = nullptr;
    if (getifaddrs(&interfaces) != 0)
        return false;
    bool found = false;
    for (const ifaddrs *entry = interfaces; entry && !found; entry = entry->ifa_next) {
        if (!entry->ifa_addr || !entry->ifa_netmask || entry->ifa_addr->sa_family != AF_INET)
            continue;
        const quint32 own = ntohl(reinterpret_cast<const sockaddr_in *>(entry->ifa_addr)->sin_addr.s_addr);
        const quint32 mask = ntohl(reinterpret_cast<const sockaddr_in *>(entry->ifa_netmask)->sin_addr.s_addr);
        found = mask < 0xFFFFFFFE && (own | ~mask) == ntohl(address.s_addr);
    }
    freeifaddrs(interfaces);
    return found;
}

Scope scopeOfIpv4(in_addr raw)
{
    const quint32 a = ntohl(raw.s_addr);
    if (within(a, 0x00000000, 8))
        return Scope::Unspecified;
    if (within(a, 0x7F000000, 8))
        return Scope::Loopback;
    // Before the private ranges, which hold the broadcast addresses of most home networks.
    if (a == 0xFFFFFFFF || isBroadcastOfThisMachine(raw))
        return Scope::Broadcast;
    if (within(a, 0xA9FE0000, 16))
        return Scope::LinkLocal;
    if (within(a, 0x0A000000, 8) || within(a, 0xAC100000, 12) || within(a, 0xC0A80000, 16))
        return Scope::Private;
    if (within(a, 0x64400000, 10))
        return Scope::Shared;
    if (within(a, 0xE0000000, 4))
        return Scope::Multicast;
    // 192.0.0/24 (protocol assignments), 192.0.2/24, 198.51.100/24, 203.0.113/24 (documentation),
    // 198.18/15 (benchmarking), 240/4 (future use).
    if (within(a, 0xC0000000, 24) || within(a, 0xC0000200, 24) || within(a, 0xC6336400, 24) || within(a, 0xCB007100, 24)
        || within(a, 0xC6120000, 15) || within(a, 0xF0000000, 4))
        return Scope::Reserved;
    return Scope::Public;
}

Scope scopeOfIpv6(const in6_addr &a)
{
    const unsigned char *b = a.s6_addr;
    if (IN6_IS_ADDR_V4MAPPED(&a)) {
        in_addr v4 {};
        std::memcpy(&v4.s_addr, b + 12, 4);
        return scopeOfIpv4(v4);
    }
    if (IN6_IS_ADDR_UNSPECIFIED(&a))
        return Scope::Unspecified;
    if (IN6_IS_ADDR_LOOPBACK(&a))
        return Scope::Loopback;
    if (b[0] == 0xFF)
        return Scope::Multicast;
    if (b[0] == 0xFE && (b[1] & 0xC0) == 0x80)
        return Scope::LinkLocal;
    if ((b[0] & 0xFE) == 0xFC)
        return Scope::Private;
    if (b[0] == 0x20 && b[1] == 0x01 && b[2] == 0x0D && b[3] == 0xB8) // documentation
        return Scope::Reserved;
    // Only 2000::/3 is handed out as global unicast.
    return (b[0] & 0xE0) == 0x20 ? Scope::Public : Scope::Reserved;
}

} // namespace

Scope scopeOf(const QString &address)
{
    const QByteArray text = address.toLatin1();
    if (address.size() > INET6_ADDRSTRLEN || text.contains('\0'))
        return Scope::Unreadable;
    in_addr v4 {};
    if (inet_pton(AF_INET, text.constData(), &v4) == 1)
        return scopeOfIpv4(v4);
    in6_addr v6 {};
    if (inet_pton(AF_INET6, text.constData(), &v6) == 1)
        return scopeOfIpv6(v6);
    return Scope::Unreadable;
}

bool isUnicast(Scope scope)
{
    switch (scope) {
    case Scope::Unreadable:
    case Scope::Unspecified:
    case Scope::Multicast:
    case Scope::Broadcast:
        return false;
    default:
        return true;
    }
}

} // namespace addressscope
