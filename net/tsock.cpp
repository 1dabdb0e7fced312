#include "net/tsock.h"

#include "net/error_sink.h"
#include "net/esock_exception.h"
#include "net/orderly_end.h"
#include "net/sock_lookup.h"
#include "net/wsa_errors.h"

#include <QSocketNotifier>
#include <QTimer>

#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr int kScratchSize = 32768;
// A burst of connections waits in full for its Accept instead of being left half-open.
constexpr int kListenBacklog = SOMAXCONN;

QString text(const char *s)
{
    return QString::fromLatin1(s);
}

void setNonBlocking(int fd, bool nonBlocking)
{
    const int flags = fcntl(fd, F_GETFL, 0);
    if (flags >= 0)
        fcntl(fd, F_SETFL, nonBlocking ? (flags | O_NONBLOCK) : (flags & ~O_NONBLOCK));
}

bool wouldBlock(int err)
{
    return err == EAGAIN || err == EWOULDBLOCK || err == EINTR;
}

bool dualStack(int fd)
{
    SockAddress own;
    own.length = sizeof own.storage;
    return getsockname(fd, own.raw(), &own.length) == 0 && own.family() == AF_INET6;
}

// A system whose IPv6 is switched off still makes IPv6 sockets but cannot bind them: the
// listener is made again as IPv4. Any other failure (a port in use) stands.
bool bindIPv4Instead(int &fd, SockAddress &address)
{
    const int err = errno;
    if (address.family() != AF_INET6 || (err != EADDRNOTAVAIL && err != EAFNOSUPPORT))
        return false;
    const int fd4 = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd4 < 0)
        return false;
    ::close(fd);
    fd = fd4;
    const int reuse = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &reuse, sizeof reuse);
    const uint16_t port = address.port();
    address = SockAddress::ipv4(htonl(INADDR_ANY));
    address.setPort(port);
    return ::bind(fd, address.raw(), address.length) == 0;
}

int acceptOn(int listener, SockAddress &peer)
{
    peer.length = sizeof peer.storage;
    return ::accept4(listener, peer.raw(), &peer.length, SOCK_CLOEXEC);
}

} // namespace

QString socketInfoName(TSocketInfo kind)
{
    static const char *const names[] = {"Lookup", "Connect", "Close", "Listen",
                                        "Receive", "Send", "Accept", "Error"};
    const int index = int(kind);
    return index >= 0 && index < 8 ? text(names[index]) : QString();
}

TSock::TSock(QObject *owner)
    : QObject(owner)
{
    nextAddressTimer_.setSingleShot(true);
    connect(&nextAddressTimer_, &QTimer::timeout, this, [this] { vrel::guarded([this] { nextAddressDue(); }); });
    connectDeadline_.setSingleShot(true);
    connect(&connectDeadline_, &QTimer::timeout, this, [this] { vrel::guarded([this] { connectTimedOut(); }); });
}

TSock::~TSock()
{
    // A socket being destroyed reports to nobody: its handlers may belong to objects that are
    // being destroyed too.
    OnConnect = nullptr;
    OnDisconnect = nullptr;
    OnRead = nullptr;
    OnWrite = nullptr;
    OnAccept = nullptr;
    OnAutoAccept = nullptr;
    OnInfo = nullptr;
    OnLookupFailed = nullptr;
    OnLookupDone = nullptr;
    if (listening_ || connected_ || hasHandle())
        Close();
}

void TSock::info(TSocketInfo kind, const QString &message)
{
    if (!OnInfo)
        return;
    try {
        OnInfo(this, kind, message);
    } catch (...) {
        throw ESockException(text("Error here"));
    }
}

void TSock::errorReport(int wsaCode)
{
    info(siError, QStringLiteral("Error #%1 (%2)").arg(wsaCode).arg(wsa::errorName(wsaCode)));
}

// ---------------------------------------------------------------- properties

void TSock::setSocketType(TSocketType type)
{
    if (listening_)
        throw ESockException(text("SocketType - Can't Assign Socket Type While Listening"));
    if (connected_)
        throw ESockException(text("SocketType - Can't Assign Socket Type While Connected"));
    socketType_ = type;
}

void TSock::setHostName(const QString &name)
{
    if (connected_ && socketType_ == stStream)
        info(siLookup, text("Setting HostName While Connected Has No Effect"));
    hostName_ = name;
    if (connected_ && socketType_ == stDatagram) {
        const uint16_t port = connectAddress_.port();
        connectAddress_ = SockAddress::ipv4(lookupHost(hostName_));
        connectAddress_.setPort(port);
    }
}

void TSock::setPortName(const QString &name)
{
    if (connected_)
        info(siLookup, text("Setting PortName While Connected Has No Effect"));
    portName_ = name;
}

void TSock::setBlocking(bool blocking)
{
    blocking_ = blocking;
    if (fd_ < 0)
        return;
    if (!blocking_ || listening_) {
        setNonBlocking(fd_, true);
        registerNotifications();
    } else {
        dropNotifications();
        setNonBlocking(fd_, false);
    }
}

void TSock::setListen(bool listen)
{
    if (hasHandle() && !listening_) {
        if (listen)
            listening_ = false;
        throw ESockException(text("Listen - Socket Already In Use"));
    }
    if (!listen) {
        listening_ = false;
        Close();
        info(siListen, text("Listening Stopped"));
        return;
    }
    if (socketType_ == stDatagram) {
        listening_ = false;
        throw ESockException(text("Listen - Cannot Listen On A Datagram Socket"));
    }
    if (listening_) {
        info(siListen, text("Listening Already Running"));
        return;
    }

    fd_ = openListeningSocket();
    if (fd_ < 0)
        throw ESockException(text("Listen - Error Binding Socket"));
    SockAddress address = dualStack(fd_) ? SockAddress::anyIPv6() : SockAddress::ipv4(htonl(INADDR_ANY));
    address.setPort(lookupPort());

    if (::bind(fd_, address.raw(), address.length) != 0 && !bindIPv4Instead(fd_, address))
        throw ESockException(text("Listen - Error Binding Socket"));
    if (::listen(fd_, kListenBacklog) != 0)
        throw ESockException(text("Listen - Error Starting Listen"));
    startListening();
}

void TSock::adoptListener(int fd)
{
    if (hasHandle() || listening_)
        throw ESockException(text("Listen - Socket Already In Use"));
    int accepting = 0;
    int type = 0;
    socklen_t size = sizeof accepting;
    const bool listener = getsockopt(fd, SOL_SOCKET, SO_ACCEPTCONN, &accepting, &size) == 0 && accepting
        && (size = sizeof type, getsockopt(fd, SOL_SOCKET, SO_TYPE, &type, &size) == 0) && type == SOCK_STREAM;
    if (!listener)
        throw ESockException(text("Listen - Error Starting Listen"));
    fcntl(fd, F_SETFD, FD_CLOEXEC);
    fd_ = fd;
    startListening();
}

void TSock::startListening()
{
    listening_ = true;
    setNonBlocking(fd_, true);
    registerNotifications();
    info(siListen, text("Listening Started"));
}

// One socket for both kinds of peers: IPv6, taking IPv4 connections too. A system without IPv6
// gets an IPv4 socket.
int TSock::openListeningSocket()
{
    int fd = ::socket(AF_INET6, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd >= 0) {
        const int off = 0;
        setsockopt(fd, IPPROTO_IPV6, IPV6_V6ONLY, &off, sizeof off);
    } else {
        fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    }
    if (fd < 0)
        return fd;
    // Without this a host that restarts while old connections linger could not bind for a
    // minute; a port that another program listens on is still refused.
    const int reuse = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &reuse, sizeof reuse);
    return fd;
}

bool TSock::connectionPending() const
{
    if (!listening_ || fd_ < 0)
        return false;
    pollfd entry {fd_, POLLIN, 0};
    return ::poll(&entry, 1, 0) > 0 && (entry.revents & POLLIN);
}

quint16 TSock::boundPort() const
{
    const SockAddress address = localAddress();
    return address.isValid() ? address.port() : 0;
}

SockAddress TSock::localAddress() const
{
    SockAddress address;
    if (fd_ < 0)
        return address;
    address.length = sizeof address.storage;
    if (getsockname(fd_, address.raw(), &address.length) != 0)
        address.length = 0;
    return address;
}

// ---------------------------------------------------------------- notifications

void TSock::registerNotifications()
{
    dropNotifications();
    if (fd_ < 0)
        return;
    readNotifier_ = new QSocketNotifier(fd_, QSocketNotifier::Read, this);
    connect(readNotifier_, &QSocketNotifier::activated, this,
            [this] { vrel::guarded([this] { onReadable(); }); });
    if (listening_ || socketType_ == stDatagram)
        return;
    writeNotifier_ = new QSocketNotifier(fd_, QSocketNotifier::Write, this);
    connect(writeNotifier_, &QSocketNotifier::activated, this,
            [this] { vrel::guarded([this] { onWritable(); }); });
    updateWriteInterest();
}

void TSock::dropNotifications()
{
    // Notifiers may be dropped from inside their own activation, so they go later.
    for (QPointer<QSocketNotifier> *notifier : {&readNotifier_, &writeNotifier_}) {
        if (*notifier) {
            (*notifier)->setEnabled(false);
            (*notifier)->deleteLater();
        }
        *notifier = nullptr;
    }
}

// Writability is level-triggered: ask for it only while something waits for it.
void TSock::updateWriteInterest()
{
    if (writeNotifier_)
        writeNotifier_->setEnabled(connecting_ || (connected_ && !sendBuffer_.isEmpty()));
}

void TSock::onReadable()
{
    if (fd_ < 0)
        return;
    if (listening_) {
        acceptPending();
        return;
    }
    if (connecting_) {
        connectCompleted();
        return;
    }
    if (socketType_ == stDatagram) {
        if (OnRead)
            OnRead(this, int(receiveBuffer_.size()));
        return;
    }

    char scratch[kScratchSize];
    const ssize_t count = ::recv(fd_, scratch, sizeof scratch, 0);
    if (count == 0) {
        closedByPeer();
        return;
    }
    if (count < 0) {
        const int err = errno;
        if (wouldBlock(err))
            return;
        // A reset or aborted connection is reported and then closed like a normal one: left
        // open, it would never be noticed and its seat would never be freed.
        QPointer<TSock> self(this);
        errorReport(wsa::codeFromErrno(err));
        if (self)
            closedByPeer();
        return;
    }
    receiveBuffer_.append(scratch, int(count));
    QPointer<TSock> self(this);
    info(siReceive, text("Non-Blocking Incoming Data"));
    if (self && OnRead)
        OnRead(this, int(receiveBuffer_.size()));
}

void TSock::onWritable()
{
    if (fd_ < 0)
        return;
    if (connecting_) {
        connectCompleted();
        return;
    }
    writableEvent();
}

void TSock::writableEvent()
{
    QPointer<TSock> self(this);
    if (!sendBuffer_.isEmpty())
        flushSendBuffer();
    if (!self)
        return;
    info(siSend, text("Non-Blocking Outgoing Data"));
    if (self && OnWrite)
        OnWrite(this);
    if (self)
        updateWriteInterest();
}

void TSock::closedByPeer()
{
    QPointer<TSock> self(this);
    if (OnDisconnect)
        OnDisconnect(this);
    if (self)
        Close();
}

void TSock::acceptPending()
{
    // Like the platform's accept notification, the next one comes only after an Accept.
    if (readNotifier_)
        readNotifier_->setEnabled(false);
    if (autoAccept_ && OnAutoAccept) {
        SockAddress peer;
        const int fd = acceptOn(fd_, peer);
        if (readNotifier_)
            readNotifier_->setEnabled(true);
        if (fd < 0)
            return;
        peerAddress_ = peer;
        auto *newSock = new TSock(this);
        newSock->adoptAccepted(fd, *this, peer);
        OnAutoAccept(this, newSock);
        return;
    }
    if (OnAccept)
        OnAccept(this);
}

// ---------------------------------------------------------------- operations

bool TSock::Close()
{
    bool closed = false;
    try {
        dropNotifications();
        // A connection still waiting for its name closes like one whose handle is open.
        if (fd_ >= 0 && connected_ && OrderlyClose && !resetting_ && socketType_ == stStream) {
            orderlyend::close(fd_);
            closed = true;
        } else {
            closed = fd_ >= 0 ? ::close(fd_) == 0 : lookup_ != Lookup::None;
        }
        fd_ = -1;
        resetting_ = false;
        forgetLookup();
        connected_ = false;
        connecting_ = false;
        // Bytes that were never sent can go nowhere now: their memory is given back at once.
        sendBuffer_ = QByteArray();
        if (!listening_)
            info(siClose, text("Socket Closed"));
        listening_ = false;
    } catch (...) {
    }
    return closed;
}

bool TSock::Abort()
{
    // A zero linger time makes the close send a reset instead of an orderly end.
    if (fd_ >= 0 && !listening_) {
        const linger immediately {1, 0};
        ::setsockopt(fd_, SOL_SOCKET, SO_LINGER, &immediately, sizeof immediately);
        resetting_ = true;
    }
    return Close();
}

bool TSock::flushSendBuffer()
{
    if (!connected_ || sendBuffer_.isEmpty())
        return false;
    const ssize_t sent = ::send(fd_, sendBuffer_.constData(), size_t(sendBuffer_.size()), MSG_NOSIGNAL);
    if (sent > 0)
        sendBuffer_.remove(0, int(sent));
    return sent > 0;
}

bool TSock::Send(const QByteArray &data)
{
    if (!hasHandle())
        throw ESockException(text("Send - Socket Not Connected"));
    if (listening_)
        throw ESockException(text("Send - Cannot Send On A Listener Socket"));
    if (socketType_ == stDatagram)
        return SendDatagram(data, hostName_);

    sendBuffer_.append(data);
    if (sendBuffer_.isEmpty())
        return true;
    if (blocking_) {
        sendBlocking();
        return true;
    }
    QPointer<TSock> self(this);
    info(siSend, text("Non-Blocking Outgoing Data"));
    if (!self || !hasHandle())
        return true;
    flushSendBuffer();
    if (SendLimit > 0 && sendBuffer_.size() > SendLimit) {
        errorReport(wsa::codeFromErrno(ENOBUFS));
        if (self)
            Close();
        return false;
    }
    updateWriteInterest();
    return true;
}

void TSock::sendBlocking()
{
    while (!sendBuffer_.isEmpty()) {
        const ssize_t sent = ::send(fd_, sendBuffer_.constData(), size_t(sendBuffer_.size()), MSG_NOSIGNAL);
        const int err = errno;
        info(siSend, text("Blocking Outgoing Data"));
        if (sent > 0) {
            sendBuffer_.remove(0, int(sent));
        } else if (err != EINPROGRESS && err != EINTR) {
            info(siError, text("Socket Error On Send"));
            sendBuffer_.clear();
            throw ESockException(text("Send - Socket Error"));
        }
    }
}

QByteArray TSock::Receive(int count)
{
    if (!hasHandle() && receiveBuffer_.isEmpty())
        throw ESockException(text("Receive - Socket Not Connected"));
    if (listening_)
        throw ESockException(text("Receive - Cannot Receive On A Listener Socket"));
    const int readSize = (count < 0 || count > kScratchSize) ? kScratchSize : count;

    if (socketType_ == stDatagram) {
        QByteArray data;
        QString host;
        ReceiveDatagram(data, host);
        return data;
    }
    if (blocking_)
        return receiveBlocking(readSize);

    if (count < 0 || count >= receiveBuffer_.size()) {
        QByteArray all;
        all.swap(receiveBuffer_);
        return all;
    }
    QByteArray head = receiveBuffer_.left(count);
    receiveBuffer_.remove(0, count);
    return head;
}

bool TSock::waitReadable() const
{
    pollfd entry {fd_, POLLIN, 0};
    const int timeout = BlockingTimeout < 0 ? -1 : BlockingTimeout * 1000;
    return ::poll(&entry, 1, timeout) > 0;
}

QByteArray TSock::receiveBlocking(int readSize)
{
    if (connected_ && waitReadable()) {
        QPointer<TSock> self(this);
        info(siReceive, text("Blocking Incoming Data"));
        if (!self)
            return {};
        QByteArray scratch(readSize, Qt::Uninitialized);
        const ssize_t count = ::recv(fd_, scratch.data(), size_t(readSize), 0);
        if (count < 0) {
            const int code = wsa::codeFromErrno(errno);
            receiveBuffer_.clear();
            info(siError, text("Socket Error On Receive"));
            throw ESockException(QStringLiteral("Receive - Socket Error ") + wsa::errorName(code));
        }
        if (count == 0) {
            info(siClose, text("Socket Disconnected On Receive"));
            if (!self)
                return {};
            Close();
            if (self && OnDisconnect)
                OnDisconnect(this);
        } else {
            receiveBuffer_.append(scratch.constData(), int(count));
        }
    }
    QByteArray all;
    all.swap(receiveBuffer_);
    return all;
}

void TSock::adoptAccepted(int fd, const TSock &listener, const SockAddress &peer)
{
    fd_ = fd;
    blocking_ = listener.blocking_;
    BlockingTimeout = listener.BlockingTimeout;
    SendLimit = listener.SendLimit;
    NoDelay = listener.NoDelay;
    KeepAlive = listener.KeepAlive;
    OrderlyClose = listener.OrderlyClose;
    peerAddress_ = peer;
    applySocketOptions();
    OnRead = listener.OnRead;
    OnWrite = listener.OnWrite;
    OnDisconnect = listener.OnDisconnect;
    OnInfo = listener.OnInfo;
    setNonBlocking(fd_, !blocking_);
    connected_ = true;
    if (!blocking_)
        registerNotifications();
    setPortName(listener.portName_);
    setHostName(peer.text());
    peerAddress_ = peer;
}

bool TSock::Accept(TSock *&newSock)
{
    if (!listening_)
        throw ESockException(text("Accept - Socket Not In Listening Mode"));
    if (blocking_)
        info(siAccept, text("Blocking Accept"));

    SockAddress peer;
    const int fd = acceptOn(fd_, peer);
    if (readNotifier_)
        readNotifier_->setEnabled(true);
    if (fd < 0) {
        info(siAccept, text("Could Not Accept Connection"));
        return false;
    }
    peerAddress_ = peer;
    auto *accepted = new TSock(this);
    accepted->adoptAccepted(fd, *this, peer);
    info(siAccept, text("Created New TSock Structure"));
    newSock = accepted;
    return true;
}

bool TSock::SendDatagram(const QByteArray &data, const QString &host)
{
    if (fd_ < 0)
        throw ESockException(text("SendDatagram - Socket Not Connected"));
    if (socketType_ == stStream)
        throw ESockException(text("SendDatagram - Datagram Send Not Supported On Stream Sockets"));
    SockAddress destination = SockAddress::ipv4(lookupHost(host));
    destination.setPort(connectAddress_.port());
    ::sendto(fd_, data.constData(), size_t(data.size()), 0, destination.raw(), destination.length);
    return true;
}

bool TSock::ReceiveDatagram(QByteArray &data, QString &host)
{
    if (fd_ < 0)
        throw ESockException(text("ReceiveDatagram - Socket Not Connected"));
    if (socketType_ == stStream)
        throw ESockException(text("ReceiveDatagram - Datagram Receive Not Supported On Stream Sockets"));
    data.clear();
    if (!waitReadable())
        return false;
    char scratch[kScratchSize];
    SockAddress sender;
    sender.length = sizeof sender.storage;
    const ssize_t count = ::recvfrom(fd_, scratch, sizeof scratch, MSG_DONTWAIT, sender.raw(), &sender.length);
    if (count < 0)
        return false;
    data = QByteArray(scratch, int(count));
    peerAddress_ = sender;
    host = sender.text();
    return true;
}
