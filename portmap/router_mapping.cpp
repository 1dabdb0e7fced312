#include "portmap/router_mapping.h"

#include "net/address_scope.h"
#include "portmap/upnp_gateway.h"

#include <arpa/inet.h>
#include <climits>
#include <natpmp.h>
#include <sys/select.h>

namespace portmap {

namespace {

const char kDescription[] = "Vrel game";
// UPnP's answer of a router that grants only leases without end.
constexpr int kOnlyPermanentLeases = 725;

// One NAT-PMP exchange: `send` puts the request out; the answer (or the library's repeats of the
// request) is waited for as long as patience lasts.
template <class Send>
bool natPmpExchange(natpmp_t &natpmp, Send send, const Patience &patience, natpmpresp_t &response)
{
    if (send() < 0)
        return false;
    while (!patience.over()) {
        timeval timeout {};
        getnatpmprequesttimeout(&natpmp, &timeout);
        const qint64 libraryMs = qint64(timeout.tv_sec) * 1000 + timeout.tv_usec / 1000;
        const qint64 waitNow = std::max<qint64>(1, std::min<qint64>(patience.nextWaitMs(), libraryMs));
        timeout.tv_sec = time_t(waitNow / 1000);
        timeout.tv_usec = suseconds_t((waitNow % 1000) * 1000);
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(natpmp.s, &readable);
        if (select(natpmp.s + 1, &readable, nullptr, nullptr, &timeout) == 0 && libraryMs > waitNow)
            continue; // nothing yet, and the library's own time for a repeat has not come
        const int result = readnatpmpresponseorretry(&natpmp, &response);
        if (result == NATPMP_TRYAGAIN)
            continue;
        return result >= 0;
    }
    return false;
}

// Asks for `port` with `lifetime` seconds (0 removes it): the lifetime granted. Learns the
// public address first when `address` is given.
std::optional<int> natPmpRequest(quint16 port, int lifetime, const Patience &patience, QString *address)
{
    natpmp_t natpmp {};
    if (initnatpmp(&natpmp, 0, 0) < 0)
        return std::nullopt; // no default gateway: no router to ask
    natpmpresp_t response {};
    std::optional<int> granted;
    bool answered = true;
    if (address) {
        answered = natPmpExchange(natpmp, [&] { return sendpublicaddressrequest(&natpmp); }, patience.atMost(kNatPmpWaitMs), response)
                   && response.type == NATPMP_RESPTYPE_PUBLICADDRESS;
        if (answered) {
            char text[INET_ADDRSTRLEN] = {};
            inet_ntop(AF_INET, &response.pnu.publicaddress.addr, text, sizeof text);
            *address = QString::fromLatin1(text);
        }
    }
    if (answered && natPmpExchange(natpmp, [&] {
            return sendnewportmappingrequest(&natpmp, NATPMP_PROTOCOL_TCP, port, port, uint32_t(lifetime));
        }, patience.atMost(kNatPmpWaitMs), response)) {
        const auto &mapped = response.pnu.newportmapping;
        if (lifetime == 0)
            granted = 0;
        // A router that maps another public port than the one asked for is no use: players are
        // told one port. Its mapping is taken back. A lifetime of 0 is no mapping at all.
        else if (mapped.mappedpublicport != port || mapped.lifetime == 0)
            natPmpExchange(natpmp, [&] { return sendnewportmappingrequest(&natpmp, NATPMP_PROTOCOL_TCP, port, 0, 0); },
                           Patience(kNatPmpWaitMs), response);
        else
            granted = int(std::min<uint32_t>(mapped.lifetime, INT_MAX));
    }
    closenatpmp(&natpmp);
    return granted;
}

upnp::Gateway gatewayOf(const Mapping &mapping)
{
    return {mapping.controlUrl.toUtf8(), mapping.serviceType.toUtf8(), mapping.internalAddress};
}

upnp::SoapAnswer upnpAdd(const Mapping &mapping, int leaseSeconds, const Patience &patience)
{
    const QByteArray port = QByteArray::number(mapping.port);
    return upnp::command(gatewayOf(mapping), "AddPortMapping",
                         {{"NewRemoteHost", {}}, {"NewExternalPort", port}, {"NewProtocol", "TCP"}, {"NewInternalPort", port},
                          {"NewInternalClient", mapping.internalAddress.toUtf8()}, {"NewEnabled", "1"},
                          {"NewPortMappingDescription", kDescription}, {"NewLeaseDuration", QByteArray::number(leaseSeconds)}},
                         patience);
}

// Adds the mapping: the lease granted, which a router may cut short (it tells it when asked
// about the mapping), or nothing when refused.
std::optional<int> upnpMap(const Mapping &mapping, int leaseSeconds, const Patience &patience)
{
    upnp::SoapAnswer added = upnpAdd(mapping, leaseSeconds, patience);
    if (!added.ok && added.errorCode == kOnlyPermanentLeases && leaseSeconds != 0) {
        leaseSeconds = 0;
        added = upnpAdd(mapping, leaseSeconds, patience);
    }
    if (!added.ok)
        return std::nullopt;
    if (leaseSeconds == 0)
        return 0;
    const upnp::SoapAnswer entry = upnp::command(gatewayOf(mapping), "GetSpecificPortMappingEntry",
                                                 {{"NewRemoteHost", {}}, {"NewExternalPort", QByteArray::number(mapping.port)},
                                                  {"NewProtocol", "TCP"}},
                                                 patience);
    bool readable = false;
    const int told = entry.values.value("NewLeaseDuration").toInt(&readable);
    return entry.ok && readable && told > 0 && told < leaseSeconds ? told : leaseSeconds;
}

// The external address as a router tells it, when it is an address at all.
QString addressOrNothing(const QString &told)
{
    return addressscope::scopeOf(told) == addressscope::Scope::Unreadable ? QString() : told;
}

} // namespace

QString Mapping::protocolName() const
{
    switch (kind) {
    case Kind::NatPmp: return QStringLiteral("NAT-PMP");
    case Kind::Upnp: return QStringLiteral("UPnP");
    case Kind::None: break;
    }
    return {};
}

Mapping mapWithNatPmp(quint16 port, int leaseSeconds, const Patience &patience)
{
    Mapping mapping;
    QString address;
    if (const std::optional<int> granted = natPmpRequest(port, leaseSeconds, patience, &address)) {
        mapping.kind = Mapping::Kind::NatPmp;
        mapping.port = port;
        mapping.leaseSeconds = *granted;
        mapping.externalAddress = addressOrNothing(address);
    }
    return mapping;
}

Mapping mapWithUpnp(quint16 port, int leaseSeconds, const Patience &patience)
{
    const std::optional<upnp::Gateway> gateway = upnp::findGateway(kUpnpDiscoverMs, patience);
    if (!gateway)
        return {};
    Mapping candidate;
    candidate.port = port;
    candidate.internalAddress = gateway->localAddress;
    candidate.controlUrl = QString::fromUtf8(gateway->controlUrl);
    candidate.serviceType = QString::fromUtf8(gateway->serviceType);
    const upnp::SoapAnswer external = upnp::command(*gateway, "GetExternalIPAddress", {}, patience);
    if (external.ok)
        candidate.externalAddress = addressOrNothing(QString::fromLatin1(external.values.value("NewExternalIPAddress")));
    const std::optional<int> granted = upnpMap(candidate, leaseSeconds, patience);
    if (!granted)
        return {};
    candidate.kind = Mapping::Kind::Upnp;
    candidate.leaseSeconds = *granted;
    return candidate;
}

std::optional<int> renewMapping(const Mapping &mapping, int leaseSeconds, const Patience &patience)
{
    switch (mapping.kind) {
    case Mapping::Kind::NatPmp: return natPmpRequest(mapping.port, leaseSeconds, patience, nullptr);
    case Mapping::Kind::Upnp: return upnpMap(mapping, leaseSeconds, patience);
    case Mapping::Kind::None: break;
    }
    return std::nullopt;
}

bool removeMapping(const Mapping &mapping, const Patience &patience)
{
    switch (mapping.kind) {
    case Mapping::Kind::NatPmp: return natPmpRequest(mapping.port, 0, patience, nullptr).has_value();
    case Mapping::Kind::Upnp:
        return upnp::command(gatewayOf(mapping), "DeletePortMapping",
                             {{"NewRemoteHost", {}}, {"NewExternalPort", QByteArray::number(mapping.port)}, {"NewProtocol", "TCP"}},
                             patience)
            .ok;
    case Mapping::Kind::None: break;
    }
    return false;
}

} // namespace portmap
