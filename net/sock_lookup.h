#pragma once

#include "net/sock_address.h"

#include <QList>
#include <QString>

#include <cstdint>
#include <functional>
#include <optional>

class QObject;

// Name and service lookup for the socket channel.
namespace socklookup {

// The addresses a host name stands for without asking the resolver: an empty name is 0.0.0.0;
// an IPv6 literal (with or without its brackets, "[::1]" or "::1") is that address; any other
// name that begins with a decimal digit is read as a dotted quad and never resolved (a malformed
// one is 255.255.255.255, which nobody can connect to); a name the host cache holds gives what
// it was resolved to. Nothing (no value) when the resolver has to be asked.
std::optional<QList<SockAddress>> knownAddresses(const QString &name);

// Every address the resolver gives for the name, in its order (IPv6 first where the system
// prefers it), each once; empty when the name cannot be found. Blocks while the resolver works;
// safe on any thread. A name that was found is added to the host cache.
QList<SockAddress> resolve(const QString &name);

// Resolves the name on a worker thread. `done` runs later on the thread of `context` with what
// resolve() gave, unless `context` is destroyed first. Deleting the returned object (a child of
// `context`) forgets the lookup: `done` never runs.
QObject *resolveLater(const QString &name, QObject *context, std::function<void(const QList<SockAddress> &)> done);

// The first IPv4 address of the name in network byte order, resolved at once (the caller waits),
// for datagram sockets. Raises ESockException "Host Lookup - Could Not Find Host Entry" when the
// name has no IPv4 address.
uint32_t hostAddress(const QString &name);

// Port in host byte order. A name that begins with a decimal digit is its decimal value;
// others are looked up as a service of the given protocol ("tcp" or "udp"). Raises
// ESockException on failure.
uint16_t portNumber(const QString &name, const char *protocol);

// Entries the host cache holds (it only grows; entries never expire).
int hostCacheSize();

} // namespace socklookup
