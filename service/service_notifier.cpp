#include "service/service_notifier.h"

#include <QDeadlineTimer>
#include <QtGlobal>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

QByteArray statusField(const QString &status)
{
    QByteArray line = status.toUtf8();
    line.replace('\n', ' ');
    return "STATUS=" + line;
}

qint64 watchdogFromEnvironment()
{
    bool numeric = false;
    const qint64 usec = qEnvironmentVariable("WATCHDOG_USEC").toLongLong(&numeric);
    if (!numeric || usec <= 0)
        return 0;
    // A watchdog named for another process (the one that started us) is not ours to feed.
    const QByteArray pid = qgetenv("WATCHDOG_PID");
    if (!pid.isEmpty() && pid.toLongLong() != qint64(::getpid()))
        return 0;
    return usec;
}

} // namespace

ServiceNotifier::ServiceNotifier()
    : ServiceNotifier(qgetenv("NOTIFY_SOCKET"), watchdogFromEnvironment())
{
}

ServiceNotifier::ServiceNotifier(const QByteArray &socket, qint64 watchdogUsec)
    : watchdogUsec_(watchdogUsec)
{
    // Only a path or an abstract name that fits an address is a socket to talk to.
    if ((socket.startsWith('/') || socket.startsWith('@')) && socket.size() < qsizetype(sizeof(sockaddr_un::sun_path)))
        socket_ = socket;
}

ServiceNotifier::~ServiceNotifier()
{
    if (fd_ >= 0)
        ::close(fd_);
}

int ServiceNotifier::watchdogPeriodMs() const
{
    if (!active() || watchdogUsec_ <= 0)
        return 0;
    return int(std::clamp<qint64>(watchdogUsec_ / 2000, 1, 24 * 3600 * 1000));
}

bool ServiceNotifier::ready(const QString &status)
{
    return notify("READY=1\n" + statusField(status), kOnceWaitMs);
}

bool ServiceNotifier::status(const QString &status)
{
    return notify(statusField(status));
}

bool ServiceNotifier::watchdog()
{
    return watchdogUsec_ > 0 && notify("WATCHDOG=1");
}

bool ServiceNotifier::stopping()
{
    return notify("STOPPING=1", kOnceWaitMs);
}

bool ServiceNotifier::notify(const QByteArray &state, int waitMs)
{
    if (!active())
        return false;
    if (fd_ < 0 && !connectSocket())
        return false;
    // A manager reads its socket when it can, and the queue of a datagram socket is short (ten
    // by default): a full one is waited on for a while, so that a burst of services starting
    // together loses no READY=1. A manager that does not read at all cannot stall the host.
    const QDeadlineTimer deadline(waitMs);
    while (true) {
        const ssize_t sent = ::send(fd_, state.constData(), size_t(state.size()), MSG_NOSIGNAL | MSG_DONTWAIT);
        if (sent == state.size())
            return true;
        const bool full = sent < 0 && (errno == EAGAIN || errno == EINTR);
        pollfd writable {fd_, POLLOUT, 0};
        if (!full || deadline.hasExpired() || ::poll(&writable, 1, int(deadline.remainingTime())) < 0) {
            // A manager that started again listens on a new socket: the next datagram connects anew.
            ::close(fd_);
            fd_ = -1;
            return false;
        }
    }
}

bool ServiceNotifier::connectSocket()
{
    fd_ = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd_ < 0)
        return false;
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, socket_.constData(), size_t(socket_.size()));
    if (socket_.startsWith('@'))
        address.sun_path[0] = '\0';
    // Connected, the socket tells when the manager's queue has room again.
    const auto length = socklen_t(offsetof(sockaddr_un, sun_path) + size_t(socket_.size()));
    if (::connect(fd_, reinterpret_cast<const sockaddr *>(&address), length) == 0)
        return true;
    ::close(fd_);
    fd_ = -1;
    return false;
}
