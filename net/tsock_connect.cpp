// TSock's way to a host: the port and host lookups, the host's addresses tried one after
// another, and the end of each attempt.

#include "net/tsock.h"

#include "net/error_sink.h"
#include "net/esock_exception.h"
#include "net/sock_lookup.h"
#include "net/wsa_errors.h"

#include <QSocketNotifier>

#include <cerrno>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

QString text(const char *s)
{
    return QString::fromLatin1(s);
}

} // namespace

uint16_t TSock::lookupPort()
{
    info(siLookup, QStringLiteral("Lookup Of Port ") + portName_);
    return socklookup::portNumber(portName_, socketType_ == stStream ? "tcp" : "udp");
}

uint32_t TSock::lookupHost(const QString &name)
{
    if (!name.isEmpty())
        info(siLookup, QStringLiteral("Lookup Of Host ") + name);
    return socklookup::hostAddress(name);
}

bool TSock::Connect()
{
    if (hasHandle())
        return connected_;
    ++connectAttempts_;
    if (socketType_ == stDatagram)
        return connectDatagram();

    // Until the host's addresses are known the socket counts as open: a lookup that raises
    // leaves it so, and only Close lets it connect again.
    lookup_ = Lookup::Failed;
    connectPort_ = lookupPort();
    if (!hostName_.isEmpty())
        info(siLookup, QStringLiteral("Lookup Of Host ") + hostName_);
    if (std::optional<QList<SockAddress>> known = socklookup::knownAddresses(hostName_)) {
        lookup_ = Lookup::None;
        startConnecting(*known);
        return connected_;
    }
    // The window goes on while the resolver works.
    lookup_ = Lookup::Pending;
    pendingLookup_ = socklookup::resolveLater(hostName_, this, [this](const QList<SockAddress> &addresses) {
        vrel::guarded([&] { lookupFinished(addresses); });
    });
    return connected_;
}

bool TSock::connectDatagram()
{
    fd_ = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd_ < 0) {
        errorReport(wsa::codeFromErrno(errno));
        return false;
    }
    const uint16_t port = lookupPort();
    connectAddress_ = SockAddress::ipv4(lookupHost(QString()));
    connectAddress_.setPort(port);
    setBlocking(blocking_);
    if (::bind(fd_, connectAddress_.raw(), connectAddress_.length) == 0) {
        connected_ = true;
        QPointer<TSock> self(this);
        info(siConnect, text("Datagram Socket Connected"));
        if (self && OnConnect)
            OnConnect(this);
    }
    return connected_;
}

void TSock::lookupFinished(const QList<SockAddress> &addresses)
{
    pendingLookup_ = nullptr;
    if (lookup_ != Lookup::Pending)
        return;
    if (addresses.isEmpty()) {
        lookup_ = Lookup::Failed;
        if (OnLookupFailed)
            OnLookupFailed(this);
        else
            vrel::reportError(text("Host Lookup - Could Not Find Host Entry"));
        return;
    }
    lookup_ = Lookup::None;
    startConnecting(addresses);
}

void TSock::forgetLookup()
{
    delete pendingLookup_;
    pendingLookup_ = nullptr;
    lookup_ = Lookup::None;
    nextAddresses_.clear();
    nextAddressTimer_.stop();
    connectDeadline_.stop();
}

void TSock::startConnecting(const QList<SockAddress> &addresses)
{
    nextAddresses_ = addresses;
    if (ConnectTimeoutMs > 0)
        connectDeadline_.start(ConnectTimeoutMs);
    QPointer<TSock> self(this);
    if (OnLookupDone)
        OnLookupDone(this);
    if (self && lookup_ == Lookup::None)
        tryNextAddress();
}

// The host's addresses in the resolver's order: one that fails makes way for the next at once,
// one that neither answers nor fails after kNextAddressAfterMs. Only the last one's failure is
// reported, as the failure of a host with one address is.
void TSock::tryNextAddress()
{
    while (!nextAddresses_.isEmpty()) {
        SockAddress address = nextAddresses_.takeFirst();
        address.setPort(connectPort_);
        if (tryAddress(address, nextAddresses_.isEmpty()))
            return;
    }
}

// False when this address failed at once and the next may be tried.
bool TSock::tryAddress(const SockAddress &address, bool last)
{
    fd_ = ::socket(address.family(), SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd_ < 0) {
        if (!last)
            return false;
        errorReport(wsa::codeFromErrno(errno));
        return true;
    }
    applySocketOptions();
    connectAddress_ = address;
    setBlocking(blocking_);

    if (blocking_) {
        QPointer<TSock> self(this);
        if (::connect(fd_, address.raw(), address.length) == 0) {
            connected_ = true;
            info(siConnect, text("Blocking Socket Connected"));
            if (self && OnConnect)
                OnConnect(this);
            return true;
        }
        if (!last) {
            abandonAttempt();
            return false;
        }
        info(siClose, text("Blocking Socket Can't Connect"));
        if (self)
            Close();
        return true;
    }
    // Completion, or failure, arrives later as a notification.
    if (::connect(fd_, address.raw(), address.length) != 0 && errno != EINPROGRESS && errno != EINTR) {
        const int err = errno;
        if (!last) {
            abandonAttempt();
            return false;
        }
        connectFailedAtOnce(wsa::codeFromErrno(err));
        return true;
    }
    connecting_ = true;
    updateWriteInterest();
    if (!last)
        nextAddressTimer_.start(kNextAddressAfterMs);
    return true;
}

// An address given up for the next one goes without a report.
void TSock::abandonAttempt()
{
    nextAddressTimer_.stop();
    dropNotifications();
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    connecting_ = false;
}

void TSock::nextAddressDue()
{
    if (!connecting_ || connected_ || nextAddresses_.isEmpty())
        return;
    abandonAttempt();
    tryNextAddress();
}

// No answer in time from any of the host's addresses: told as the system tells a connection that
// timed out. Like any failed attempt, the socket keeps its handle until it is closed.
void TSock::connectTimedOut()
{
    if (!connecting_ || connected_)
        return;
    connecting_ = false;
    nextAddresses_.clear();
    nextAddressTimer_.stop();
    if (readNotifier_)
        readNotifier_->setEnabled(false);
    updateWriteInterest();
    errorReport(wsa::kTimedOut);
}

void TSock::connectCompleted()
{
    connecting_ = false;
    int err = 0;
    socklen_t length = sizeof err;
    // SO_ERROR clears itself: it is read exactly once.
    if (getsockopt(fd_, SOL_SOCKET, SO_ERROR, &err, &length) != 0)
        err = errno;
    if (err != 0 && !nextAddresses_.isEmpty()) {
        abandonAttempt();
        tryNextAddress();
        return;
    }
    connectDeadline_.stop();
    if (err != 0) {
        // The connection stays in its connecting state until someone closes it; nothing more
        // will arrive on it.
        if (readNotifier_)
            readNotifier_->setEnabled(false);
        updateWriteInterest();
        errorReport(wsa::codeFromErrno(err));
        return;
    }
    nextAddressTimer_.stop();
    nextAddresses_.clear();
    peerAddress_ = connectAddress_;
    connected_ = true;
    updateWriteInterest();
    QPointer<TSock> self(this);
    info(siConnect, text("Non-Blocking Socket Connected"));
    if (self && OnConnect)
        OnConnect(this);
    // A new connection is writable at once: bytes sent while it was connecting go out now.
    if (self && connected_)
        writableEvent();
}

// A connection that fails at once (no route, an address nobody can connect to) is reported like
// one that fails later: as its error, from the event loop, after Connect has returned. Nothing
// more comes from the socket; it keeps its handle until it is closed.
void TSock::connectFailedAtOnce(int wsaCode)
{
    if (readNotifier_)
        readNotifier_->setEnabled(false);
    updateWriteInterest();
    const int handle = fd_;
    const quint64 attempt = connectAttempts_;
    QTimer::singleShot(0, this, [this, handle, attempt, wsaCode] {
        if (fd_ == handle && connectAttempts_ == attempt && !connected_)
            vrel::guarded([this, wsaCode] { errorReport(wsaCode); });
    });
}

void TSock::applySocketOptions()
{
    const int on = NoDelay ? 1 : 0;
    setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    if (!KeepAlive)
        return;
    const int yes = 1;
    const int idle = kKeepAliveIdleSeconds;
    const int interval = kKeepAliveIntervalSeconds;
    const int probes = kKeepAliveProbes;
    const unsigned int deadAfter = kDeadPathMs;
    setsockopt(fd_, SOL_SOCKET, SO_KEEPALIVE, &yes, sizeof yes);
    setsockopt(fd_, IPPROTO_TCP, TCP_KEEPIDLE, &idle, sizeof idle);
    setsockopt(fd_, IPPROTO_TCP, TCP_KEEPINTVL, &interval, sizeof interval);
    setsockopt(fd_, IPPROTO_TCP, TCP_KEEPCNT, &probes, sizeof probes);
    setsockopt(fd_, IPPROTO_TCP, TCP_USER_TIMEOUT, &deadAfter, sizeof deadAfter);
}
