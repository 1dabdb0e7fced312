#include "engine/door.h"

#include <netinet/in.h>

namespace door {
namespace {

const in6_addr *ipv6Of(const SockAddress &address)
{
    return address.family() == AF_INET6 ? &reinterpret_cast<const sockaddr_in6 *>(address.raw())->sin6_addr : nullptr;
}

// The four bytes of an IPv4 address, also of one mapped into IPv6; empty for others.
QByteArray ipv4Bytes(const SockAddress &address)
{
    if (address.family() == AF_INET) {
        const auto &in = reinterpret_cast<const sockaddr_in *>(address.raw())->sin_addr;
        return QByteArray(reinterpret_cast<const char *>(&in), 4);
    }
    const in6_addr *in6 = ipv6Of(address);
    if (in6 && IN6_IS_ADDR_V4MAPPED(in6))
        return QByteArray(reinterpret_cast<const char *>(&in6->s6_addr[12]), 4);
    return {};
}

} // namespace

QByteArray partyOf(const SockAddress &address)
{
    const QByteArray ipv4 = ipv4Bytes(address);
    if (!ipv4.isEmpty())
        return ipv4;
    if (const in6_addr *in6 = ipv6Of(address))
        return QByteArray("6") + QByteArray(reinterpret_cast<const char *>(in6->s6_addr), 8);
    return {};
}

bool isLoopback(const SockAddress &address)
{
    const QByteArray ipv4 = ipv4Bytes(address);
    if (!ipv4.isEmpty())
        return ipv4.at(0) == 127;
    const in6_addr *in6 = ipv6Of(address);
    return in6 && IN6_IS_ADDR_LOOPBACK(in6);
}

QString where(const SockAddress &address)
{
    if (!address.isValid())
        return QStringLiteral("nowhere known");
    return address.text() + QStringLiteral(" port ") + QString::number(address.port());
}

QString Log::line(Kind kind, const QByteArray &party, const QString &text, qint64 nowMs)
{
    const QPair<int, QByteArray> key {int(kind), party};
    auto said = said_.find(key);
    if (said != said_.end() && nowMs - said->atMs < kQuietMs) {
        ++said->unsaid;
        return {};
    }
    if (said == said_.end()) {
        if (said_.size() >= kMaxRemembered)
            forgetOld(nowMs);
        if (said_.size() >= kMaxRemembered)
            return {};
        said = said_.insert(key, {});
    }
    const int unsaid = std::exchange(said->unsaid, 0);
    said->atMs = nowMs;
    if (unsaid == 0)
        return text;
    return text + QStringLiteral(" (%1 more since the last such line)").arg(unsaid);
}

void Log::forgetOld(qint64 nowMs)
{
    for (auto it = said_.begin(); it != said_.end();) {
        if (nowMs - it->atMs >= kQuietMs)
            it = said_.erase(it);
        else
            ++it;
    }
}

} // namespace door
