#pragma once

#include <QString>
#include <cstdint>

// Name and service lookup for the socket channel. Both raise ESockException on failure.
namespace socklookup {

// IPv4 address in network byte order. An empty name is 0.0.0.0; a name that begins with a
// decimal digit is read as a dotted quad and never resolved; other names go through the
// process-wide host cache and then the resolver (which blocks the caller).
uint32_t hostAddress(const QString &name);

// Port in host byte order. A name that begins with a decimal digit is its decimal value;
// others are looked up as a service of the given protocol ("tcp" or "udp").
uint16_t portNumber(const QString &name, const char *protocol);

// Entries the host cache holds (it only grows; entries never expire).
int hostCacheSize();

} // namespace socklookup
