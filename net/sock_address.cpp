#include "net/sock_address.h"

#include <arpa/inet.h>
#include <cstring>
#include <netinet/in.h>

SockAddress SockAddress::ipv4(uint32_t address)
{
    SockAddress result;
    auto *in = reinterpret_cast<sockaddr_in *>(&result.storage);
    in->sin_family = AF_INET;
    in->sin_addr.s_addr = address;
    result.length = sizeof(sockaddr_in);
    return result;
}

SockAddress SockAddress::anyIPv6()
{
    SockAddress result;
    auto *in6 = reinterpret_cast<sockaddr_in6 *>(&result.storage);
    in6->sin6_family = AF_INET6;
    in6->sin6_addr = in6addr_any;
    result.length = sizeof(sockaddr_in6);
    return result;
}

SockAddress SockAddress::from(const sockaddr *address, socklen_t length)
{
    SockAddress result;
    if (!address || length == 0 || length > socklen_t(sizeof result.storage))
        return result;
    std::memcpy(&result.storage, address, length);
    result.length = length;
    return result;
}

uint16_t SockAddress::port() const
{
    if (family() == AF_INET)
        return ntohs(reinterpret_cast<const sockaddr_in *>(&storage)->sin_port);
    if (family() == AF_INET6)
        return ntohs(reinterpret_cast<const sockaddr_in6 *>(&storage)->sin6_port);
    return 0;
}

void SockAddress::setPort(uint16_t port)
{
    if (family() == AF_INET)
        reinterpret_cast<sockaddr_in *>(&storage)->sin_port = htons(port);
    else if (family() == AF_INET6)
        reinterpret_cast<sockaddr_in6 *>(&storage)->sin6_port = htons(port);
}

QString SockAddress::text() const
{
    char buffer[INET6_ADDRSTRLEN] = {};
    if (family() == AF_INET) {
        inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in *>(&storage)->sin_addr, buffer, sizeof buffer);
        return QString::fromLatin1(buffer);
    }
    if (family() != AF_INET6)
        return QString();
    const in6_addr &address = reinterpret_cast<const sockaddr_in6 *>(&storage)->sin6_addr;
    if (IN6_IS_ADDR_V4MAPPED(&address)) {
        inet_ntop(AF_INET, &address.s6_addr[12], buffer, sizeof buffer);
        return QString::fromLatin1(buffer);
    }
    inet_ntop(AF_INET6, &address, buffer, sizeof buffer);
    return QString::fromLatin1(buffer);
}

bool SockAddress::operator==(const SockAddress &other) const
{
    return length == other.length && std::memcmp(&storage, &other.storage, length) == 0;
}
