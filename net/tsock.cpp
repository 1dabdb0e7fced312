#include "net/tsock.h"

#include "net/error_sink.h"
#include "net/esock_exception.h"
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

QString dottedQuad(const sockaddr_in &address)
{
    char buffer[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &address.sin_addr, buffer, sizeof buffer);
    return QString::fromLatin1(buffer);
}

bool wouldBlock(int err)
{
    return err == EAGAIN || err == EWOULDBLOCK || err == EINTR;
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
    if (listening_ || connected_ || fd_ >= 0)
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
    if (connected_ && socketType_ == stDatagram)
        connectAddress_.sin_addr.s_addr = lookupHost(hostName_);
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
    if (fd_ >= 0 && !listening_) {
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

    fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd_ < 0)
        throw ESockException(text("Listen - Error Binding Socket"));
    // Without this a host that restarts while old connections linger could not bind for a
    // minute; a port that another program listens on is still refused.
    const int reuse = 1;
    setsockopt(fd_, SOL_SOCKET, SO_REUSEADDR, &reuse, sizeof reuse);

    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_ANY);
    address.sin_port = htons(lookupPort());

    if (::bind(fd_, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0)
        throw ESockException(text("Listen - Error Binding Socket"));
    if (::listen(fd_, kListenBacklog) != 0)
        throw ESockException(text("Listen - Error Starting Listen"));
    listening_ = true;
    setNonBlocking(fd_, true);
    registerNotifications();
    info(siListen, text("Listening Started"));
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
    if (fd_ < 0)
        return 0;
    sockaddr_in address {};
    socklen_t length = sizeof address;
    if (getsockname(fd_, reinterpret_cast<sockaddr *>(&address), &length) != 0)
        return 0;
    return ntohs(address.sin_port);
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

void TSock::connectCompleted()
{
    connecting_ = false;
    int err = 0;
    socklen_t length = sizeof err;
    // SO_ERROR clears itself: it is read exactly once.
    if (getsockopt(fd_, SOL_SOCKET, SO_ERROR, &err, &length) != 0)
        err = errno;
    if (err != 0) {
        // The connection stays in its connecting state until someone closes it; nothing more
        // will arrive on it.
        if (readNotifier_)
            readNotifier_->setEnabled(false);
        updateWriteInterest();
        errorReport(wsa::codeFromErrno(err));
        return;
    }
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
        sockaddr_in peer {};
        socklen_t length = sizeof peer;
        const int fd = ::accept4(fd_, reinterpret_cast<sockaddr *>(&peer), &length, SOCK_CLOEXEC);
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
    if (fd_ >= 0)
        return connected_;
    ++connectAttempts_;
    const int type = socketType_ == stStream ? SOCK_STREAM : SOCK_DGRAM;
    fd_ = ::socket(AF_INET, type | SOCK_CLOEXEC, 0);
    if (fd_ < 0) {
        errorReport(wsa::codeFromErrno(errno));
        return false;
    }

    if (socketType_ == stStream)
        applyNoDelay();
    connectAddress_ = {};
    connectAddress_.sin_family = AF_INET;
    connectAddress_.sin_port = htons(lookupPort());
    connectAddress_.sin_addr.s_addr = lookupHost(socketType_ == stStream ? hostName_ : QString());
    setBlocking(blocking_);

    auto *address = reinterpret_cast<sockaddr *>(&connectAddress_);
    if (socketType_ == stDatagram) {
        if (::bind(fd_, address, sizeof connectAddress_) == 0) {
            connected_ = true;
            QPointer<TSock> self(this);
            info(siConnect, text("Datagram Socket Connected"));
            if (self && OnConnect)
                OnConnect(this);
        }
        return connected_;
    }
    if (blocking_) {
        if (::connect(fd_, address, sizeof connectAddress_) == 0) {
            connected_ = true;
            QPointer<TSock> self(this);
            info(siConnect, text("Blocking Socket Connected"));
            if (self && OnConnect)
                OnConnect(this);
        } else {
            QPointer<TSock> self(this);
            info(siClose, text("Blocking Socket Can't Connect"));
            if (self)
                Close();
        }
        return connected_;
    }
    // Completion, or failure, arrives later as a notification.
    if (::connect(fd_, address, sizeof connectAddress_) != 0 && errno != EINPROGRESS && errno != EINTR) {
        connectFailedAtOnce(wsa::codeFromErrno(errno));
        return connected_;
    }
    connecting_ = true;
    updateWriteInterest();
    return connected_;
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

bool TSock::Close()
{
    bool closed = false;
    try {
        dropNotifications();
        closed = fd_ >= 0 && ::close(fd_) == 0;
        fd_ = -1;
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
    if (fd_ < 0)
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
    if (!self || fd_ < 0)
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
    if (fd_ < 0 && receiveBuffer_.isEmpty())
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

void TSock::adoptAccepted(int fd, const TSock &listener, const sockaddr_in &peer)
{
    fd_ = fd;
    blocking_ = listener.blocking_;
    BlockingTimeout = listener.BlockingTimeout;
    SendLimit = listener.SendLimit;
    NoDelay = listener.NoDelay;
    applyNoDelay();
    OnRead = listener.OnRead;
    OnWrite = listener.OnWrite;
    OnDisconnect = listener.OnDisconnect;
    OnInfo = listener.OnInfo;
    setNonBlocking(fd_, !blocking_);
    connected_ = true;
    if (!blocking_)
        registerNotifications();
    setPortName(listener.portName_);
    setHostName(dottedQuad(peer));
}

void TSock::applyNoDelay()
{
    const int on = NoDelay ? 1 : 0;
    setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
}

bool TSock::Accept(TSock *&newSock)
{
    if (!listening_)
        throw ESockException(text("Accept - Socket Not In Listening Mode"));
    if (blocking_)
        info(siAccept, text("Blocking Accept"));

    sockaddr_in peer {};
    socklen_t length = sizeof peer;
    const int fd = ::accept4(fd_, reinterpret_cast<sockaddr *>(&peer), &length, SOCK_CLOEXEC);
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
    sockaddr_in destination = connectAddress_;
    destination.sin_addr.s_addr = lookupHost(host);
    ::sendto(fd_, data.constData(), size_t(data.size()), 0,
             reinterpret_cast<sockaddr *>(&destination), sizeof destination);
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
    sockaddr_in sender {};
    socklen_t length = sizeof sender;
    const ssize_t count = ::recvfrom(fd_, scratch, sizeof scratch, MSG_DONTWAIT,
                                     reinterpret_cast<sockaddr *>(&sender), &length);
    if (count < 0)
        return false;
    data = QByteArray(scratch, int(count));
    peerAddress_ = sender;
    host = dottedQuad(sender);
    return true;
}
