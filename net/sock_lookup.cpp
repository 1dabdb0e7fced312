#include "net/sock_lookup.h"

#include "net/esock_exception.h"

#include <QFutureWatcher>
#include <QHash>
#include <QMutex>
#include <QPromise>
#include <QThreadPool>

#include <arpa/inet.h>
#include <memory>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>

namespace socklookup {

namespace {

// Lookups finish on worker threads while the window reads the cache: it is shared under a lock.
struct HostCache
{
    QMutex lock;
    QHash<QString, QList<SockAddress>> entries;
};

HostCache &hostCache()
{
    static HostCache cache;
    return cache;
}

// A resolver that does not answer keeps its thread for as long as it waits; the window's own
// lookups must not queue behind the rest of the program's worker tasks. Never destroyed, so the
// program's end never waits for a resolver.
QThreadPool &lookupPool()
{
    static QThreadPool *pool = [] {
        auto *created = new QThreadPool;
        created->setMaxThreadCount(4);
        return created;
    }();
    return *pool;
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

// "::1", "[::1]", "fe80::1%eth0": the literal's address; nothing for anything else.
std::optional<SockAddress> ipv6Literal(QString name)
{
    if (name.startsWith(QLatin1Char('[')) && name.endsWith(QLatin1Char(']')))
        name = name.mid(1, name.size() - 2);
    if (!name.contains(QLatin1Char(':')))
        return std::nullopt;
    addrinfo hints {};
    hints.ai_family = AF_INET6;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_NUMERICHOST;
    addrinfo *answer = nullptr;
    if (getaddrinfo(name.toLatin1().constData(), nullptr, &hints, &answer) != 0 || !answer)
        return std::nullopt;
    const SockAddress address = SockAddress::from(answer->ai_addr, answer->ai_addrlen);
    freeaddrinfo(answer);
    return address;
}

std::optional<QList<SockAddress>> cached(const QString &name)
{
    HostCache &cache = hostCache();
    QMutexLocker locker(&cache.lock);
    if (auto found = cache.entries.constFind(name); found != cache.entries.constEnd())
        return found.value();
    return std::nullopt;
}

} // namespace

std::optional<QList<SockAddress>> knownAddresses(const QString &name)
{
    if (name.isEmpty())
        return QList<SockAddress> {SockAddress::ipv4(htonl(INADDR_ANY))};
    if (const std::optional<SockAddress> literal = ipv6Literal(name))
        return QList<SockAddress> {*literal};
    if (startsWithDigit(name))
        return QList<SockAddress> {SockAddress::ipv4(dottedQuad(name))};
    return cached(name);
}

QList<SockAddress> resolve(const QString &name)
{
    addrinfo hints {};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo *answer = nullptr;
    QList<SockAddress> addresses;
    if (getaddrinfo(name.toUtf8().constData(), nullptr, &hints, &answer) != 0)
        return addresses;
    for (const addrinfo *entry = answer; entry; entry = entry->ai_next) {
        if (entry->ai_family != AF_INET && entry->ai_family != AF_INET6)
            continue;
        const SockAddress address = SockAddress::from(entry->ai_addr, entry->ai_addrlen);
        if (address.isValid() && !addresses.contains(address))
            addresses.append(address);
    }
    freeaddrinfo(answer);
    if (!addresses.isEmpty()) {
        HostCache &cache = hostCache();
        QMutexLocker locker(&cache.lock);
        cache.entries.insert(name, addresses);
    }
    return addresses;
}

QObject *resolveLater(const QString &name, QObject *context, std::function<void(const QList<SockAddress> &)> done)
{
    using Answer = QList<SockAddress>;
    auto promise = std::make_shared<QPromise<Answer>>();
    auto *watcher = new QFutureWatcher<Answer>(context);
    QObject::connect(watcher, &QFutureWatcherBase::finished, context, [watcher, done = std::move(done)] {
        const QFuture<Answer> future = watcher->future();
        const Answer answer = future.resultCount() > 0 ? future.result() : Answer();
        watcher->deleteLater();
        done(answer);
    });
    watcher->setFuture(promise->future());
    promise->start();
    lookupPool().start([promise, name] {
        promise->addResult(resolve(name));
        promise->finish();
    });
    return watcher;
}

uint32_t hostAddress(const QString &name)
{
    std::optional<QList<SockAddress>> addresses = knownAddresses(name);
    if (!addresses)
        addresses = resolve(name);
    for (const SockAddress &address : *addresses) {
        if (address.family() == AF_INET)
            return reinterpret_cast<const sockaddr_in *>(&address.storage)->sin_addr.s_addr;
    }
    throw ESockException(QStringLiteral("Host Lookup - Could Not Find Host Entry"));
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
    HostCache &cache = hostCache();
    QMutexLocker locker(&cache.lock);
    return int(cache.entries.size());
}

} // namespace socklookup
