#include "joining/invite_links.h"

#include "joining/game_address.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>

namespace {

bool isLinkLocal(const in6_addr &address)
{
    return address.s6_addr[0] == 0xfe && (address.s6_addr[1] & 0xc0) == 0x80;
}

} // namespace

QStringList machineInviteLinks(int port)
{
    ifaddrs *interfaces = nullptr;
    if (getifaddrs(&interfaces) != 0)
        return {};
    QStringList ipv4;
    QStringList ipv6;
    for (const ifaddrs *entry = interfaces; entry; entry = entry->ifa_next) {
        if (!entry->ifa_addr || !(entry->ifa_flags & IFF_UP) || (entry->ifa_flags & IFF_LOOPBACK))
            continue;
        char text[INET6_ADDRSTRLEN] = {};
        if (entry->ifa_addr->sa_family == AF_INET) {
            const in_addr &address = reinterpret_cast<const sockaddr_in *>(entry->ifa_addr)->sin_addr;
            if ((ntohl(address.s_addr) >> 24) == 127 || !inet_ntop(AF_INET, &address, text, sizeof text))
                continue;
            ipv4 << GameAddress {QString::fromLatin1(text), port}.inviteLink();
        } else if (entry->ifa_addr->sa_family == AF_INET6) {
            const in6_addr &address = reinterpret_cast<const sockaddr_in6 *>(entry->ifa_addr)->sin6_addr;
            if (IN6_IS_ADDR_LOOPBACK(&address) || isLinkLocal(address) || !inet_ntop(AF_INET6, &address, text, sizeof text))
                continue;
            ipv6 << GameAddress {QString::fromLatin1(text), port}.inviteLink();
        }
    }
    freeifaddrs(interfaces);
    ipv4.removeDuplicates();
    ipv6.removeDuplicates();
    return ipv4 + ipv6;
}
