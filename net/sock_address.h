#pragma once

#include <QString>

#include <cstdint>
#include <sys/socket.h>

// One socket address, IPv4 or IPv6, as the platform's socket calls take and give it.
struct SockAddress
{
    sockaddr_storage storage {};
    socklen_t length = 0;

    // An IPv4 address in network byte order, port 0.
    static SockAddress ipv4(uint32_t address);
    // The IPv6 any-address "::", port 0.
    static SockAddress anyIPv6();
    // A copy of what the platform gave (an accepted peer, a resolver's answer).
    static SockAddress from(const sockaddr *address, socklen_t length);

    int family() const { return storage.ss_family; }
    bool isValid() const { return length > 0; }
    // Port in host byte order.
    uint16_t port() const;
    void setPort(uint16_t port);
    // The address as a player writes it: a dotted quad for IPv4 (also when it reaches an IPv6
    // socket as ::ffff:a.b.c.d), the usual IPv6 text otherwise.
    QString text() const;

    const sockaddr *raw() const { return reinterpret_cast<const sockaddr *>(&storage); }
    sockaddr *raw() { return reinterpret_cast<sockaddr *>(&storage); }

    bool operator==(const SockAddress &other) const;
};
