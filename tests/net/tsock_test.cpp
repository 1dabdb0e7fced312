#include "net/esock_exception.h"
#include "net/orderly_end.h"
#include "net/sock_lookup.h"
#include "net/tsock.h"
#include "tests/support/free_port.h"
#include "tests/support/raw_client.h"
#include "tests/support/wait.h"

#include <gtest/gtest.h>

#include <QStringList>

#include <arpa/inet.h>
#include <memory>
#include <netinet/in.h>
#include <poll.h>
#include <vector>
#include <sys/socket.h>
#include <unistd.h>

using testing_support::settle;
using testing_support::waitUntil;

namespace {

// Records every info report of the sockets it is attached to.
struct InfoLog {
    QStringList texts;
    void attach(TSock &sock)
    {
        sock.OnInfo = [this](TSock *, TSocketInfo, const QString &text) { texts << text; };
    }
    int count(const QString &text) const { return int(texts.count(text)); }
};

QString expectText(const std::function<void()> &action)
{
    try {
        action();
    } catch (const ESockException &e) {
        return e.text();
    }
    return QStringLiteral("<nothing raised>");
}

// A listener on a free loopback port and a client connected to it, with the accepted side.
struct Pair {
    TSock listener;
    TSock client;
    TSock *server = nullptr;

    Pair()
    {
        listener.setPortName(QStringLiteral("0"));
        listener.OnAccept = [this](TSock *l) { l->Accept(server); };
        listener.setListen(true);
        client.setHostName(QStringLiteral("127.0.0.1"));
        client.setPortName(QString::number(listener.boundPort()));
    }
    bool connect()
    {
        client.Connect();
        return waitUntil([this] { return server && client.Connected(); });
    }
};

} // namespace

TEST(TSockConnect, RefusedConnectionReportsOnlyTheError)
{
    TSock client;
    InfoLog log;
    log.attach(client);
    bool disconnected = false;
    client.OnDisconnect = [&](TSock *) { disconnected = true; };
    client.setHostName(QStringLiteral("127.0.0.1"));
    client.setPortName(QString::number(testing_support::unusedLoopbackPort()));

    EXPECT_FALSE(client.Connect());
    ASSERT_TRUE(waitUntil([&] { return log.texts.size() >= 3; }));
    settle(150);

    EXPECT_EQ(log.texts, QStringList({QStringLiteral("Lookup Of Port ") + client.PortName(),
                                      QStringLiteral("Lookup Of Host 127.0.0.1"),
                                      QStringLiteral("Error #10061 (WSAECONNREFUSED)")}));
    EXPECT_FALSE(client.Connected());
    EXPECT_FALSE(disconnected);
    // The socket stays in its connecting state: a second Connect does not try again.
    EXPECT_FALSE(client.Connect());
    settle(100);
    EXPECT_EQ(log.texts.size(), 3);
}

TEST(TSockConnect, AConnectionThatFailsAtOnceReportsOnlyItsErrorAfterConnectReturns)
{
    // Nobody can connect to a group address or to a malformed one (read as 255.255.255.255):
    // connect() fails at once, before any notification.
    for (const char *host : {"224.0.0.1", "300.1.2.3"}) {
        TSock client;
        InfoLog log;
        log.attach(client);
        int connects = 0, disconnects = 0, reads = 0;
        client.OnConnect = [&](TSock *) { ++connects; };
        client.OnDisconnect = [&](TSock *) { ++disconnects; };
        client.OnRead = [&](TSock *, int) { ++reads; };
        client.setHostName(QString::fromLatin1(host));
        client.setPortName(QStringLiteral("7772"));

        EXPECT_FALSE(client.Connect()) << host;
        const QStringList lookups {QStringLiteral("Lookup Of Port 7772"), QStringLiteral("Lookup Of Host ") + host};
        EXPECT_EQ(log.texts, lookups) << host; // the error comes later, as a notification would
        ASSERT_TRUE(waitUntil([&] { return log.texts.size() >= 3; })) << host;
        settle(150);
        ASSERT_EQ(log.texts.size(), 3) << log.texts.join(QLatin1Char('|')).toStdString();
        EXPECT_TRUE(log.texts[2].startsWith(QLatin1String("Error #"))) << log.texts[2].toStdString();
        if (QLatin1String(host) == QLatin1String("224.0.0.1")) {
            EXPECT_EQ(log.texts[2], QStringLiteral("Error #10051 (WSAENETUNREACH)"));
        }
        EXPECT_FALSE(client.Connected());
        EXPECT_EQ(connects + disconnects + reads, 0) << host;
        // Like a refused connection it stays as it is: a second Connect does not try again.
        EXPECT_FALSE(client.Connect());
        settle(100);
        EXPECT_EQ(log.texts.size(), 3) << host;
    }

    // A socket closed before its failure was told hears nothing more of that attempt.
    TSock closedAtOnce;
    InfoLog log;
    log.attach(closedAtOnce);
    closedAtOnce.setHostName(QStringLiteral("224.0.0.1"));
    closedAtOnce.setPortName(QStringLiteral("7772"));
    closedAtOnce.Connect();
    closedAtOnce.Close();
    settle(150);
    EXPECT_EQ(log.texts.last(), QStringLiteral("Socket Closed"));
    EXPECT_EQ(log.texts.filter(QStringLiteral("Error #")).size(), 0);
}

TEST(TSockConnect, BytesSentBeforeTheConnectionCompletesGoOutAfterwards)
{
    Pair pair;
    QByteArray got;
    pair.listener.OnRead = [&](TSock *s, int) { got += s->Receive(); }; // copied on accept
    pair.client.Connect();
    EXPECT_FALSE(pair.client.Connected());
    EXPECT_NO_THROW(pair.client.Send(QByteArray("early\xFF", 6)));
    ASSERT_TRUE(waitUntil([&] { return got.size() == 6; }));
    EXPECT_EQ(got, QByteArray("early\xFF", 6));
}

TEST(TSockConnect, ConnectedNotificationComesWithItsReport)
{
    Pair pair;
    InfoLog log;
    log.attach(pair.client);
    int connects = 0;
    pair.client.OnConnect = [&](TSock *) { ++connects; };
    ASSERT_TRUE(pair.connect());
    EXPECT_EQ(connects, 1);
    EXPECT_EQ(log.count(QStringLiteral("Non-Blocking Socket Connected")), 1);
}

TEST(TSockReceive, MessageSplitOverTwoReadsArrivesInTwoPieces)
{
    Pair pair;
    ASSERT_TRUE(pair.connect());
    QList<QByteArray> reads;
    pair.client.OnRead = [&](TSock *s, int) { reads << s->Receive(); };

    pair.server->Send("CMD_chat+1+hel");
    ASSERT_TRUE(waitUntil([&] { return reads.size() == 1; }));
    pair.server->Send("lo\xFF");
    ASSERT_TRUE(waitUntil([&] { return reads.size() == 2; }));
    EXPECT_EQ(reads.at(0), "CMD_chat+1+hel");
    EXPECT_EQ(reads.at(1), "lo\xFF");
}

TEST(TSockReceive, ReadCountIsTheBufferedLengthAndPartialReceiveKeepsTheRest)
{
    Pair pair;
    ASSERT_TRUE(pair.connect());
    int lastCount = 0;
    pair.client.OnRead = [&](TSock *, int count) { lastCount = count; };
    pair.server->Send("abcdef");
    ASSERT_TRUE(waitUntil([&] { return lastCount == 6; }));
    EXPECT_EQ(pair.client.Receive(2), "ab");
    EXPECT_EQ(pair.client.Receive(100), "cdef");
    EXPECT_EQ(pair.client.Receive(), "");
}

TEST(TSockReceive, LeftoversCanBeTakenAfterCloseThenItRaises)
{
    Pair pair;
    ASSERT_TRUE(pair.connect());
    int reads = 0;
    pair.client.OnRead = [&](TSock *, int) { ++reads; };
    pair.server->Send("hello");
    ASSERT_TRUE(waitUntil([&] { return reads > 0; }));
    pair.client.Close();
    EXPECT_EQ(pair.client.Receive(), "hello");
    EXPECT_EQ(expectText([&] { pair.client.Receive(); }), "Receive - Socket Not Connected");
}

TEST(TSockSend, LargeSendKeepsUnsentBytesUntilThePeerTakesThem)
{
    Pair pair;
    ASSERT_TRUE(pair.connect());
    QByteArray big(4 * 1024 * 1024, 'x');
    big[big.size() - 1] = '\xFF';
    pair.client.Send(big);
    EXPECT_GT(pair.client.pendingSendBytes(), 0); // the kernel took only part of it
    QByteArray got;
    pair.server->OnRead = [&](TSock *s, int) { got += s->Receive(); };
    ASSERT_TRUE(waitUntil([&] { return got.size() == big.size(); }, 20000));
    EXPECT_EQ(got, big);
    EXPECT_EQ(pair.client.pendingSendBytes(), 0);
}

// A connection to the port from a plain socket that never reads (the host's view of a client
// that stopped reading), or -1.
int connectRaw(quint16 port, bool blocking = true)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | (blocking ? 0 : SOCK_NONBLOCK), 0);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const int result = ::connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof address);
    if (result != 0 && !(errno == EINPROGRESS && !blocking)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

TEST(TSockSend, APeerThatStopsReadingIsClosedAtTheSendLimitAndItsBufferFreed)
{
    TSock listener;
    listener.setPortName(QStringLiteral("0"));
    listener.SendLimit = 256 * 1024;
    TSock *server = nullptr;
    listener.OnAccept = [&](TSock *l) { l->Accept(server); };
    listener.setListen(true);
    const int peer = connectRaw(listener.boundPort());
    ASSERT_GE(peer, 0);
    ASSERT_TRUE(waitUntil([&] { return server != nullptr; }));
    EXPECT_EQ(server->SendLimit, 256 * 1024); // taken from the listener

    QStringList reports;
    server->OnInfo = [&](TSock *, TSocketInfo, const QString &text) {
        if (!text.startsWith(QLatin1String("Non-Blocking")))
            reports << text;
    };
    const QByteArray chunk(64 * 1024, 'x');
    qint64 handed = 0;
    while (server->Connected() && handed < 256LL * 1024 * 1024) {
        server->Send(chunk);
        handed += chunk.size();
    }
    EXPECT_FALSE(server->Connected());
    EXPECT_EQ(reports, QStringList({QStringLiteral("Error #10055 (WSAENOBUFS)"), QStringLiteral("Socket Closed")}));
    EXPECT_EQ(server->pendingSendBytes(), 0);
    // What went out is what the kernel's buffers hold, and at most the limit waited beside it.
    EXPECT_LT(handed, 64LL * 1024 * 1024);
    ::close(peer);
}

TEST(TSockSend, MisuseRaisesTheFixedTexts)
{
    TSock idle;
    EXPECT_EQ(expectText([&] { idle.Send("x"); }), "Send - Socket Not Connected");
    EXPECT_EQ(expectText([&] { idle.Receive(); }), "Receive - Socket Not Connected");
    EXPECT_EQ(expectText([&] { TSock *s = nullptr; idle.Accept(s); }), "Accept - Socket Not In Listening Mode");
    EXPECT_EQ(expectText([&] { idle.SendDatagram("x", "127.0.0.1"); }), "SendDatagram - Socket Not Connected");

    Pair pair;
    EXPECT_EQ(expectText([&] { pair.listener.Send("x"); }), "Send - Cannot Send On A Listener Socket");
    EXPECT_EQ(expectText([&] { pair.listener.Receive(); }), "Receive - Cannot Receive On A Listener Socket");
    EXPECT_EQ(expectText([&] { pair.listener.setSocketType(stDatagram); }),
              "SocketType - Can't Assign Socket Type While Listening");
    ASSERT_TRUE(pair.connect());
    EXPECT_EQ(expectText([&] { pair.client.setSocketType(stDatagram); }),
              "SocketType - Can't Assign Socket Type While Connected");
    EXPECT_EQ(expectText([&] { pair.client.SendDatagram("x", "127.0.0.1"); }),
              "SendDatagram - Datagram Send Not Supported On Stream Sockets");
}

TEST(TSockClose, EveryCallReportsSocketClosed)
{
    Pair pair;
    ASSERT_TRUE(pair.connect());
    InfoLog log;
    log.attach(pair.client);
    EXPECT_TRUE(pair.client.Close());
    EXPECT_FALSE(pair.client.Close());
    EXPECT_EQ(log.count(QStringLiteral("Socket Closed")), 2);
    EXPECT_FALSE(pair.client.Connected());
}

TEST(TSockClose, PeerCloseGivesDisconnectThenSocketClosed)
{
    Pair pair;
    ASSERT_TRUE(pair.connect());
    QStringList events;
    pair.server->OnInfo = [&](TSock *, TSocketInfo, const QString &text) {
        if (text == QLatin1String("Socket Closed"))
            events << text;
    };
    // The handler closes the socket itself, as the host does: two reports.
    pair.server->OnDisconnect = [&](TSock *s) {
        events << QStringLiteral("disconnect");
        s->Close();
    };
    pair.client.Close();
    ASSERT_TRUE(waitUntil([&] { return events.size() >= 3; }));
    settle(50);
    EXPECT_EQ(events, QStringList({"disconnect", "Socket Closed", "Socket Closed"}));
}

TEST(TSockClose, ResetConnectionIsReportedAndClosed)
{
    Pair pair;
    ASSERT_TRUE(pair.connect());
    QStringList events;
    pair.server->OnInfo = [&](TSock *, TSocketInfo, const QString &text) { events << text; };
    pair.server->OnDisconnect = [&](TSock *) { events << QStringLiteral("disconnect"); };
    pair.server->OnRead = [](TSock *, int) {};
    pair.client.Abort();
    ASSERT_TRUE(waitUntil([&] { return events.contains(QStringLiteral("Socket Closed")); }));
    EXPECT_TRUE(events.contains(QStringLiteral("disconnect")));
    EXPECT_FALSE(pair.server->Connected());
}

TEST(TSockClose, AConnectionClosedWithBytesUnreadStillEndsInOrder)
{
    TSock listener;
    TSock *accepted = nullptr;
    listener.setPortName(QStringLiteral("0"));
    listener.OrderlyClose = true; // handed on to the accepted connection
    listener.OnAccept = [&](TSock *l) { l->Accept(accepted); };
    listener.setListen(true);
    testing_support::RawClient peer(listener.boundPort());
    ASSERT_TRUE(waitUntil([&] { return accepted != nullptr; }));

    // The peer's bytes arrive and are never read before the close: a plain close would answer
    // them with a reset, which the peer would read before (or instead of) the last words.
    peer.send("unread");
    accepted->Send("last words\xFF");
    QThread::msleep(20); // the bytes arrive, and no event loop runs the socket's read
    EXPECT_TRUE(accepted->Close());
    EXPECT_EQ(orderlyend::pending(), 1);
    EXPECT_EQ(peer.next(), QByteArray("last words"));
    EXPECT_TRUE(peer.closedByPeer());
    EXPECT_FALSE(peer.wasReset());
    // The descriptor goes once the peer has ended too.
    peer.close();
    EXPECT_TRUE(waitUntil([] { return orderlyend::pending() == 0; }));
}

TEST(TSockListen, UsedPortFailsToBindAndThenReportsInUse)
{
    TSock first;
    first.setPortName(QStringLiteral("0"));
    first.setListen(true);
    TSock second;
    second.setPortName(QString::number(first.boundPort()));
    EXPECT_EQ(expectText([&] { second.setListen(true); }), "Listen - Error Binding Socket");
    EXPECT_EQ(expectText([&] { second.setListen(true); }), "Listen - Socket Already In Use");
    EXPECT_FALSE(second.Listen());
}

TEST(TSockListen, StartTwiceStopAndDatagram)
{
    TSock listener;
    InfoLog log;
    log.attach(listener);
    listener.setPortName(QStringLiteral("0"));
    listener.setListen(true);
    listener.setListen(true);
    listener.setListen(false);
    EXPECT_EQ(log.texts, QStringList({QStringLiteral("Lookup Of Port 0"), QStringLiteral("Listening Started"),
                                      QStringLiteral("Listening Already Running"), QStringLiteral("Socket Closed"),
                                      QStringLiteral("Listening Stopped")}));
    TSock datagram;
    datagram.setSocketType(stDatagram);
    EXPECT_EQ(expectText([&] { datagram.setListen(true); }), "Listen - Cannot Listen On A Datagram Socket");
}

TEST(TSockAccept, AcceptedSocketReportsItsSettingsAndTakesThePeerAddress)
{
    TSock listener;
    InfoLog listenerLog;
    InfoLog acceptedLog;
    listener.setPortName(QStringLiteral("0"));
    listener.setListen(true);
    listenerLog.attach(listener);
    // Handlers are copied to the accepted socket, so its reports reach the same log.
    listener.OnInfo = [&](TSock *sender, TSocketInfo, const QString &text) {
        (sender == &listener ? listenerLog : acceptedLog).texts << text;
    };
    TSock *accepted = nullptr;
    listener.OnAccept = [&](TSock *l) { l->Accept(accepted); };

    TSock client;
    client.setHostName(QStringLiteral("127.0.0.1"));
    client.setPortName(QString::number(listener.boundPort()));
    client.Connect();
    ASSERT_TRUE(waitUntil([&] { return accepted != nullptr; }));

    EXPECT_EQ(acceptedLog.texts, QStringList({QStringLiteral("Setting PortName While Connected Has No Effect"),
                                              QStringLiteral("Setting HostName While Connected Has No Effect")}));
    EXPECT_EQ(listenerLog.count(QStringLiteral("Created New TSock Structure")), 1);
    EXPECT_EQ(accepted->HostName(), "127.0.0.1");
    EXPECT_EQ(accepted->PortName(), "0");
    EXPECT_TRUE(accepted->Connected());
}

TEST(TSockAccept, PendingConnectionsWaitUntilTheHandlerAccepts)
{
    TSock listener;
    listener.setPortName(QStringLiteral("0"));
    listener.setListen(true);
    int notifications = 0;
    listener.OnAccept = [&](TSock *) { ++notifications; }; // does not accept
    TSock client;
    client.setHostName(QStringLiteral("127.0.0.1"));
    client.setPortName(QString::number(listener.boundPort()));
    client.Connect();
    ASSERT_TRUE(waitUntil([&] { return notifications > 0; }));
    settle(100);
    EXPECT_EQ(notifications, 1); // no busy loop on an unaccepted connection
    TSock *accepted = nullptr;
    EXPECT_TRUE(listener.Accept(accepted));
    ASSERT_NE(accepted, nullptr);
}

TEST(TSockAccept, ABurstOfConnectionsAllWaitAndAreTakenInOneNotification)
{
    TSock listener;
    listener.setPortName(QStringLiteral("0"));
    listener.setListen(true);
    EXPECT_FALSE(listener.connectionPending());
    std::vector<int> peers;
    for (int i = 0; i < 100; ++i)
        peers.push_back(connectRaw(listener.boundPort(), false));
    // Each connection completes at once: the listener's queue holds them all.
    for (const int fd : peers) {
        pollfd entry {fd, POLLOUT, 0};
        EXPECT_EQ(::poll(&entry, 1, 2000), 1);
    }
    std::vector<std::unique_ptr<TSock>> accepted;
    int notifications = 0;
    listener.OnAccept = [&](TSock *l) {
        ++notifications;
        while (l->connectionPending()) {
            TSock *sock = nullptr;
            if (!l->Accept(sock))
                break;
            accepted.emplace_back(sock);
        }
    };
    ASSERT_TRUE(waitUntil([&] { return accepted.size() == peers.size(); }));
    EXPECT_EQ(notifications, 1);
    EXPECT_FALSE(listener.connectionPending());
    for (const int fd : peers)
        ::close(fd);
}

TEST(TSockLookup, DigitsAreNeverResolvedAndUnknownNamesRaise)
{
    EXPECT_EQ(socklookup::portNumber(QStringLiteral("7772"), "tcp"), 7772);
    EXPECT_EQ(socklookup::hostAddress(QStringLiteral("127.0.0.1")), htonl(INADDR_LOOPBACK));
    // A name that begins with a digit is a dotted quad, however odd: it is not looked up.
    EXPECT_EQ(socklookup::hostAddress(QStringLiteral("1nvalid.example")), htonl(INADDR_NONE));
    EXPECT_EQ(expectText([] { socklookup::portNumber(QStringLiteral("no-such-service-xyz"), "tcp"); }),
              "Port Lookup - Could Not Find Service Entry");
    EXPECT_EQ(expectText([] { socklookup::hostAddress(QStringLiteral("no-such-host.invalid")); }),
              "Host Lookup - Could Not Find Host Entry");

    const int before = socklookup::hostCacheSize();
    socklookup::hostAddress(QStringLiteral("localhost"));
    socklookup::hostAddress(QStringLiteral("localhost"));
    EXPECT_EQ(socklookup::hostCacheSize(), before + 1);
}

TEST(TSockIPv6, OneListenerTakesIPv6AndIPv4PeersAndTheyAreToldAsForIPv4)
{
    TSock listener;
    listener.setPortName(QStringLiteral("0"));
    std::vector<std::unique_ptr<TSock>> accepted;
    QByteArray received;
    listener.OnAccept = [&](TSock *l) {
        TSock *sock = nullptr;
        if (l->Accept(sock))
            accepted.emplace_back(sock);
    };
    listener.OnRead = [&](TSock *s, int) { received += s->Receive(); }; // copied on accept
    listener.setListen(true);
    const QString port = QString::number(listener.boundPort());

    // The same host written four ways: IPv6 with and without brackets, IPv4, and a name that is
    // resolved after Connect has returned.
    const QStringList hosts {QStringLiteral("::1"), QStringLiteral("[::1]"), QStringLiteral("127.0.0.1"),
                             QStringLiteral("localhost")};
    std::vector<std::unique_ptr<TSock>> clients;
    std::vector<InfoLog> logs(size_t(hosts.size()));
    for (qsizetype i = 0; i < hosts.size(); ++i) {
        auto client = std::make_unique<TSock>();
        logs[size_t(i)].attach(*client);
        client->setHostName(hosts[i]);
        client->setPortName(port);
        EXPECT_FALSE(client->Connect()) << hosts[i].toStdString();
        EXPECT_TRUE(client->hasHandle());
        EXPECT_EQ(logs[size_t(i)].texts, QStringList({"Lookup Of Port " + port, "Lookup Of Host " + hosts[i]}));
        // Bytes handed over before the connection exists (even before the name is resolved) wait.
        EXPECT_NO_THROW(client->Send(hosts[i].toLatin1() + '\xFF'));
        clients.push_back(std::move(client));
    }
    ASSERT_TRUE(waitUntil([&] {
        for (const auto &client : clients) {
            if (!client->Connected())
                return false;
        }
        return accepted.size() == clients.size() && received.count('\xFF') == hosts.size();
    }));
    settle(50);

    QStringList peers;
    for (const auto &sock : accepted)
        peers << sock->HostName();
    peers.sort();
    EXPECT_EQ(peers, QStringList({"127.0.0.1", "127.0.0.1", "::1", "::1"}));
    for (const QString &host : hosts)
        EXPECT_TRUE(received.contains(host.toLatin1() + '\xFF')) << host.toStdString();

    // Every client told the same steps as the IPv4 one, its host's name aside.
    const QStringList ipv4Steps = logs[2].texts.mid(2);
    EXPECT_TRUE(ipv4Steps.contains("Non-Blocking Socket Connected"));
    for (size_t i = 0; i < logs.size(); ++i)
        EXPECT_EQ(logs[i].texts.mid(2), ipv4Steps) << hosts[qsizetype(i)].toStdString();

    // The peer going away is told alike over IPv6.
    int disconnects = 0;
    clients[0]->OnDisconnect = [&](TSock *) { ++disconnects; };
    for (auto &sock : accepted) {
        if (sock->HostName() == QLatin1String("::1"))
            sock->Close();
    }
    ASSERT_TRUE(waitUntil([&] { return disconnects == 1; }));
    EXPECT_EQ(logs[0].texts.last(), "Socket Closed");
    EXPECT_FALSE(clients[0]->Connected());
}

TEST(TSockLookup, LiteralsAndCachedNamesAreKnownAtOnce)
{
    const auto textsOf = [](const QString &name) {
        QStringList texts;
        for (const SockAddress &address : socklookup::knownAddresses(name).value_or(QList<SockAddress>()))
            texts << address.text();
        return texts;
    };
    EXPECT_EQ(textsOf(QStringLiteral("::1")), QStringList({"::1"}));
    EXPECT_EQ(textsOf(QStringLiteral("[::1]")), QStringList({"::1"}));
    // An IPv6 literal that begins with a digit is IPv6, not a dotted quad.
    EXPECT_EQ(textsOf(QStringLiteral("2001:DB8::7")), QStringList({"2001:db8::7"}));
    EXPECT_EQ(textsOf(QStringLiteral("::ffff:127.0.0.1")), QStringList({"127.0.0.1"}));
    EXPECT_EQ(textsOf(QStringLiteral("127.0.0.1")), QStringList({"127.0.0.1"}));
    EXPECT_EQ(textsOf(QStringLiteral("1nvalid.example")), QStringList({"255.255.255.255"}));
    EXPECT_EQ(textsOf(QString()), QStringList({"0.0.0.0"}));
    // Neither a literal nor a dotted quad: the resolver is asked (and finds nothing).
    EXPECT_FALSE(socklookup::knownAddresses(QStringLiteral("[::1")).has_value());
    EXPECT_FALSE(socklookup::knownAddresses(QStringLiteral("abc:def")).has_value());

    const QList<SockAddress> resolved = socklookup::resolve(QStringLiteral("localhost"));
    ASSERT_FALSE(resolved.isEmpty());
    const std::optional<QList<SockAddress>> cached = socklookup::knownAddresses(QStringLiteral("localhost"));
    ASSERT_TRUE(cached.has_value());
    EXPECT_EQ(*cached, resolved);
}
