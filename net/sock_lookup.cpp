#include "net/sock_lookup.h"

#include "net/esock_exception.h"

#include <QHash>

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>

namespace socklookup {

namespace {

QHash<QString, uint32_t> &hostCache()
{
    static QHash<QString, uint32_t> cache;
    return cache;
}

bool startsWithDigit(const QString &name)
{
    return !name.isEmpty() && name.at(0).isDigit() && name.at(0).unicode() < 128;
}

// The dotted quad as the platform's inet_addr reads it: anything malformed is INADDR_NONE.
uint32_t dottedQuad(const QString &name)
{
    in_addr address {};
    if (inet_aton(name.toLatin1().constData(), &address) == 0)
        return htonl(INADDR_NONE);
    return address.s_addr;
}

} // namespace

uint32_t hostAddress(const QString &name)
{
    if (name.isEmpty())
        return htonl(INADDR_ANY);
    if (startsWithDigit(name))
        return dottedQuad(name);

    auto &cache = hostCache();
    if (auto cached = cache.constFind(name); cached != cache.constEnd())
        return cached.value();

    addrinfo hints {};
    hints.ai_family = AF_INET;
    addrinfo *answer = nullptr;
    if (getaddrinfo(name.toUtf8().constData(), nullptr, &hints, &answer) != 0 || !answer)
        throw ESockException(QStringLiteral("Host Lookup - Could Not Find Host Entry"));
    const uint32_t address = reinterpret_cast<sockaddr_in *>(answer->ai_addr)->sin_addr.s_addr;
    freeaddrinfo(answer);
    cache.insert(name, address);
    return address;
}

uint16_t portNumber(const QString &name, const char *protocol)
{
    if (startsWithDigit(name)) {
        uint32_t value = 0;
        for (QChar c : name) {
            if (!c.isDigit() || c.unicode() >= 128)
                break;
            value = value * 10 + uint32_t(c.unicode() - '0');
            if (value > 0xFFFF)
                break;
        }
        return uint16_t(value);
    }
    servent *service = getservbyname(name.toLatin1().constData(), protocol);
    if (!service)
        throw ESockException(QStringLiteral("Port Lookup - Could Not Find Service Entry"));
    return ntohs(uint16_t(service->s_port));
}

int hostCacheSize()
{
    return int(hostCache().size());
}

} // namespace socklookup
