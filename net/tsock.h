#pragma once

#include "net/sock_address.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <functional>

class QSocketNotifier;

enum TSocketType { stStream = 0, stDatagram = 1 };
enum TLineBreak { lbCRLF = 0, lbCR = 1, lbLF = 2, lbSmart = 3 };
enum TSocketInfo { siLookup = 0, siConnect, siClose, siListen, siReceive, siSend, siAccept, siError };

// "Lookup", "Connect", ... "Error": the display name of an info kind.
QString socketInfoName(TSocketInfo kind);

class TSock;
using TNotifyEvent = std::function<void(TSock *sender)>;
using TNotifyReadEvent = std::function<void(TSock *sender, int count)>;
using TNotifyInfoEvent = std::function<void(TSock *sender, TSocketInfo info, const QString &msg)>;
using TNotifyAutoEvent = std::function<void(TSock *sender, TSock *newSock)>;

// The game's TCP channel: non-blocking POSIX sockets whose readiness arrives through
// QSocketNotifier on the thread that owns the object, one notification at a time. It resolves
// names, listens, accepts, connects, keeps unsent bytes until the connection takes them, buffers
// received bytes, and reports every step through OnInfo with a fixed English text.
//
// IPv4 and IPv6 alike: a listener takes connections of both (one dual-stack socket), and a
// connection to a name tries every address the resolver gives, in its order. Names are resolved
// on a worker thread; the answer comes back on the owner's thread.
class TSock : public QObject
{
    Q_OBJECT
public:
    explicit TSock(QObject *owner = nullptr);
    ~TSock() override;

    TSocketType SocketType() const { return socketType_; }
    void setSocketType(TSocketType type);
    QString HostName() const { return hostName_; }
    void setHostName(const QString &name);
    QString PortName() const { return portName_; }
    void setPortName(const QString &name);
    bool Blocking() const { return blocking_; }
    void setBlocking(bool blocking);
    bool AutoAccept() const { return autoAccept_; }
    void setAutoAccept(bool autoAccept) { autoAccept_ = autoAccept; }
    bool Listen() const { return listening_; }
    void setListen(bool listen);
    // Listens on a stream socket that is already bound and listening (one a service manager
    // handed over), as setListen(true) would on a socket of its own; the socket is this object's
    // from now on. Throws like setListen when this socket is in use or `fd` is no listener.
    void adoptListener(int fd);
    TLineBreak LineBreak = lbSmart; // stored only: the channel does not frame messages
    int BlockingTimeout = 0;        // seconds a blocking receive waits; negative waits forever
    // Bytes that may wait in the send buffer (0: no limit). A connection that falls further
    // behind is not reading: it is closed (an error report, then "Socket Closed"). Accepted
    // connections take their listener's limit.
    int SendLimit = 0;
    // Small writes leave at once instead of waiting for the peer's acknowledgement of the last
    // one (TCP_NODELAY). Set before connecting; accepted connections take their listener's.
    bool NoDelay = false;
    // A path that died without a word is noticed: keepalive probes after kKeepAliveIdleSeconds
    // of silence, and the connection ends with WSAETIMEDOUT once what it sent, probes included,
    // has gone unacknowledged for kDeadPathMs (TCP_USER_TIMEOUT). Set before connecting;
    // accepted connections take their listener's.
    bool KeepAlive = false;
    static constexpr int kKeepAliveIdleSeconds = 20;
    static constexpr int kKeepAliveIntervalSeconds = 5;
    static constexpr int kKeepAliveProbes = 3;
    static constexpr int kDeadPathMs = 30000;
    // A connection that has not come about this long after its host's first address was tried
    // gives up with WSAETIMEDOUT, instead of waiting for the system's two minutes. 0 waits for
    // the system.
    int ConnectTimeoutMs = 0;
    // Close ends the connection in an orderly way even when bytes from the peer wait unread,
    // which a plain close answers with a reset (see orderly_end.h). Accepted connections take
    // their listener's.
    bool OrderlyClose = false;

    bool Connected() const { return connected_; }
    // A platform socket is open, or a connection waits for its host's name to be resolved.
    bool hasHandle() const { return fd_ >= 0 || lookup_ != Lookup::None; }
    int Tag = 0;
    // How long an address that neither answers nor fails may keep a connection from the host's
    // next address.
    static constexpr int kNextAddressAfterMs = 1500;

    TNotifyEvent OnConnect;
    TNotifyEvent OnDisconnect;
    TNotifyReadEvent OnRead;
    TNotifyEvent OnWrite;
    TNotifyEvent OnAccept;
    TNotifyAutoEvent OnAutoAccept;
    TNotifyInfoEvent OnInfo;
    // The host's name could not be resolved. The answer comes after Connect has returned; without
    // this handler it reaches the program's error sink as "Host Lookup - Could Not Find Host
    // Entry", the text Connect raises for a name it cannot look up at once. Either way the
    // socket stays as it is until it is closed.
    TNotifyEvent OnLookupFailed;
    // The host's name was resolved (or was an address): its addresses are being tried now.
    TNotifyEvent OnLookupDone;

    bool Connect();
    bool Close();
    // Close, with a reset instead of an orderly end: the peer reads WSAECONNRESET.
    bool Abort();
    bool Send(const QByteArray &data);
    QByteArray Receive(int count = -1);
    bool Accept(TSock *&newSock);
    bool SendDatagram(const QByteArray &data, const QString &host);
    bool ReceiveDatagram(QByteArray &data, QString &host);

    // The local port of a listening socket (useful when PortName was "0").
    quint16 boundPort() const;
    // The socket's own address and port (a connecting socket's too); invalid without a socket.
    SockAddress localAddress() const;
    // The other end of an accepted connection (of a listener: the last one it accepted).
    const SockAddress &peerAddress() const { return peerAddress_; }
    // A listening socket has a connection waiting for Accept.
    bool connectionPending() const;
    // Bytes handed to Send that the connection has not taken yet.
    int pendingSendBytes() const { return int(sendBuffer_.size()); }
    // The peer's port: of an accepted connection, or of the address a connection was made to.
    quint16 PeerPort() const { return peerAddress_.port(); }

private:
    enum class Lookup { None, Pending, Failed };

    void info(TSocketInfo kind, const QString &text);
    void errorReport(int wsaCode);
    uint16_t lookupPort();
    uint32_t lookupHost(const QString &name);
    bool connectDatagram();
    void lookupFinished(const QList<SockAddress> &addresses);
    void startConnecting(const QList<SockAddress> &addresses);
    void tryNextAddress();
    bool tryAddress(const SockAddress &address, bool last);
    void abandonAttempt();
    void nextAddressDue();
    void connectTimedOut();
    void forgetLookup();
    void registerNotifications();
    void dropNotifications();
    void updateWriteInterest();
    void adoptAccepted(int fd, const TSock &listener, const SockAddress &peer);
    int openListeningSocket();
    void startListening();
    void applySocketOptions();
    void onReadable();
    void onWritable();
    void connectCompleted();
    void connectFailedAtOnce(int wsaCode);
    void writableEvent();
    void closedByPeer();
    void acceptPending();
    bool flushSendBuffer();
    bool waitReadable() const;
    void sendBlocking();
    QByteArray receiveBlocking(int readSize);

    TSocketType socketType_ = stStream;
    QString hostName_;
    QString portName_;
    bool blocking_ = false;
    bool autoAccept_ = false;
    bool listening_ = false;
    bool connected_ = false;
    bool connecting_ = false;
    bool resetting_ = false; // Abort: the close sends a reset
    quint64 connectAttempts_ = 0; // a failure told later belongs to the attempt that made it
    int fd_ = -1;
    QByteArray receiveBuffer_;
    QByteArray sendBuffer_;
    SockAddress connectAddress_;
    SockAddress peerAddress_;
    Lookup lookup_ = Lookup::None;
    QPointer<QObject> pendingLookup_;
    uint16_t connectPort_ = 0;
    QList<SockAddress> nextAddresses_; // the host's addresses not tried yet
    QTimer nextAddressTimer_;
    QTimer connectDeadline_;
    QPointer<QSocketNotifier> readNotifier_;
    QPointer<QSocketNotifier> writeNotifier_;
};
