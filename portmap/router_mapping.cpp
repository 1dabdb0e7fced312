#include "portmap/router_mapping.h"

#include <QElapsedTimer>

#include <arpa/inet.h>
#include <natpmp.h>
#include <sys/select.h>

#include <miniupnpc/miniupnpc.h>
#include <miniupnpc/upnpcommands.h>

namespace portmap {

namespace {

const char kDescription[] = "Vrel game";

// One NAT-PMP exchange: `send` puts the request out; the answer (or the library's repeats of the
// request) is waited for until `waitMs` has passed.
template <class Send>
bool natPmpExchange(natpmp_t &natpmp, Send send, int waitMs, natpmpresp_t &response)
{
    if (send() < 0)
        return false;
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        const qint64 left = waitMs - clock.elapsed();
        if (left <= 0)
            return false;
        timeval timeout {};
        getnatpmprequesttimeout(&natpmp, &timeout);
        const qint64 libraryMs = qint64(timeout.tv_sec) * 1000 + timeout.tv_usec / 1000;
        const qint64 waitNow = std::max<qint64>(1, std::min(left, libraryMs));
        timeout.tv_sec = time_t(waitNow / 1000);
        timeout.tv_usec = suseconds_t((waitNow % 1000) * 1000);
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(natpmp.s, &readable);
        select(natpmp.s + 1, &readable, nullptr, nullptr, &timeout);
        const int result = readnatpmpresponseorretry(&natpmp, &response);
        if (result == NATPMP_TRYAGAIN)
            continue;
        return result >= 0;
    }
}

// Asks for `port` with `lifetime` seconds (0 removes it). Learns the public address first when
// `address` is given.
bool natPmpRequest(quint16 port, int lifetime, int waitMs, QString *address)
{
    natpmp_t natpmp {};
    if (initnatpmp(&natpmp, 0, 0) < 0)
        return false; // no default gateway: no router to ask
    natpmpresp_t response {};
    bool granted = true;
    if (address) {
        granted = natPmpExchange(natpmp, [&] { return sendpublicaddressrequest(&natpmp); }, waitMs, response)
                  && response.type == NATPMP_RESPTYPE_PUBLICADDRESS;
        if (granted) {
            char text[INET_ADDRSTRLEN] = {};
            inet_ntop(AF_INET, &response.pnu.publicaddress.addr, text, sizeof text);
            *address = QString::fromLatin1(text);
        }
    }
    if (granted) {
        granted = natPmpExchange(natpmp, [&] {
            return sendnewportmappingrequest(&natpmp, NATPMP_PROTOCOL_TCP, port, port, uint32_t(lifetime));
        }, waitMs, response);
        // A router that maps another public port than the one asked for is no use: players are
        // told one port. Its mapping is taken back.
        if (granted && lifetime > 0 && response.pnu.newportmapping.mappedpublicport != port) {
            granted = false;
            natPmpExchange(natpmp, [&] { return sendnewportmappingrequest(&natpmp, NATPMP_PROTOCOL_TCP, port, 0, 0); }, waitMs, response);
        }
    }
    closenatpmp(&natpmp);
    return granted;
}

bool upnpAdd(const Mapping &mapping, int leaseSeconds)
{
    const QByteArray port = QByteArray::number(mapping.port);
    const QByteArray lease = QByteArray::number(leaseSeconds);
    return UPNP_AddPortMapping(mapping.controlUrl.toUtf8().constData(), mapping.serviceType.toUtf8().constData(),
                               port.constData(), port.constData(), mapping.internalAddress.toUtf8().constData(),
                               kDescription, "TCP", nullptr, lease.constData())
           == UPNPCOMMAND_SUCCESS;
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

Mapping mapWithNatPmp(quint16 port, int leaseSeconds, int waitMs)
{
    Mapping mapping;
    if (natPmpRequest(port, leaseSeconds, waitMs, &mapping.externalAddress)) {
        mapping.kind = Mapping::Kind::NatPmp;
        mapping.port = port;
    }
    return mapping;
}

Mapping mapWithUpnp(quint16 port, int leaseSeconds, int discoverMs)
{
    Mapping mapping;
    int error = 0;
    // Every kind of gateway is searched for at once, so the whole search waits `discoverMs` once.
    static const char *const kGatewayTypes[] = {
        "urn:schemas-upnp-org:device:InternetGatewayDevice:1",
        "urn:schemas-upnp-org:device:InternetGatewayDevice:2",
        "urn:schemas-upnp-org:service:WANIPConnection:1",
        "urn:schemas-upnp-org:service:WANPPPConnection:1",
        nullptr,
    };
    UPNPDev *devices = upnpDiscoverDevices(kGatewayTypes, discoverMs, nullptr, nullptr, UPNP_LOCAL_PORT_ANY, 0, 2, &error, 1);
    if (!devices)
        return mapping;
    UPNPUrls urls {};
    IGDdatas data {};
    char lanAddress[64] = {};
    const int found = UPNP_GetValidIGD(devices, &urls, &data, lanAddress, sizeof lanAddress);
    freeUPNPDevlist(devices);
    // 1: a connected gateway; 2: a gateway that says it is not connected, tried all the same.
    if (found == 1 || found == 2) {
        Mapping candidate;
        candidate.port = port;
        candidate.internalAddress = QString::fromLatin1(lanAddress);
        candidate.controlUrl = QString::fromLatin1(urls.controlURL);
        candidate.serviceType = QString::fromLatin1(data.first.servicetype);
        char external[40] = {};
        if (UPNP_GetExternalIPAddress(urls.controlURL, data.first.servicetype, external) == UPNPCOMMAND_SUCCESS)
            candidate.externalAddress = QString::fromLatin1(external);
        if (upnpAdd(candidate, leaseSeconds)) {
            candidate.kind = Mapping::Kind::Upnp;
            mapping = candidate;
        }
    }
    if (found)
        FreeUPNPUrls(&urls);
    return mapping;
}

bool renewMapping(const Mapping &mapping, int leaseSeconds, int waitMs)
{
    switch (mapping.kind) {
    case Mapping::Kind::NatPmp: return natPmpRequest(mapping.port, leaseSeconds, waitMs, nullptr);
    case Mapping::Kind::Upnp: return upnpAdd(mapping, leaseSeconds);
    case Mapping::Kind::None: break;
    }
    return false;
}

bool removeMapping(const Mapping &mapping, int waitMs)
{
    switch (mapping.kind) {
    case Mapping::Kind::NatPmp: return natPmpRequest(mapping.port, 0, waitMs, nullptr);
    case Mapping::Kind::Upnp: {
        const QByteArray port = QByteArray::number(mapping.port);
        return UPNP_DeletePortMapping(mapping.controlUrl.toUtf8().constData(), mapping.serviceType.toUtf8().constData(),
                                      port.constData(), "TCP", nullptr)
               == UPNPCOMMAND_SUCCESS;
    }
    case Mapping::Kind::None: break;
    }
    return false;
}

} // namespace portmap
