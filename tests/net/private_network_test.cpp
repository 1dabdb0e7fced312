// The socket channel on a network of its own (see in_private_network.sh): a host whose first
// address hangs or fails, an address that never answers, names the resolver cannot find, and a
// resolver that does not answer while the window goes on.

#include "tests/client/client_fixture.h"

#include "net/error_sink.h"
#include "net/sock_lookup.h"
#include "net/tsock.h"
#include "client/board.h"
#include "tests/support/screenshot.h"

#include <QAction>
#include <QElapsedTimer>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using testing_support::settle;
using testing_support::waitUntil;

namespace {

const QString kHangsFirst = QStringLiteral("vrel-hangs-then-ipv4.test");
const QString kRefusedFirst = QStringLiteral("vrel-refused-then-ipv4.test");

// An IPv4 socket on 127.0.0.1 (listening when asked): its port on ::1 refuses connections.
struct IPv4Socket {
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    int port = 0;
    explicit IPv4Socket(bool listening)
    {
        sockaddr_in address {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address);
        if (listening)
            ::listen(fd, 8);
        socklen_t length = sizeof address;
        ::getsockname(fd, reinterpret_cast<sockaddr *>(&address), &length);
        port = ntohs(address.sin_port);
    }
    ~IPv4Socket() { ::close(fd); }
};

// The resolver's name server, 127.0.0.1 port 53, that reads nothing and answers nothing: every
// name not in the hosts file stays unresolved until the resolver gives up (after 4 seconds).
struct SilentNameServer {
    int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    bool bound = false;
    SilentNameServer()
    {
        sockaddr_in address {};
        address.sin_family = AF_INET;
        address.sin_port = htons(53);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bound = ::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0;
    }
    ~SilentNameServer() { ::close(fd); }
};

struct Client {
    TSock sock;
    QStringList texts;
    QElapsedTimer clock;
    Client(const QString &host, int port)
    {
        sock.OnInfo = [this](TSock *, TSocketInfo, const QString &text) { texts << text; };
        sock.setHostName(host);
        sock.setPortName(QString::number(port));
    }
    bool connect()
    {
        clock.start();
        return sock.Connect();
    }
    QStringList errors() const { return texts.filter(QStringLiteral("Error #")); }
};

} // namespace

class PrivateNetwork : public ClientFixture
{
protected:
    void SetUp() override
    {
        // Outside the namespace these names are unknown and fd77::2 is not ours to send to.
        ASSERT_EQ(qgetenv("VREL_IN_PRIVATE_NETWORK"), "1") << "run this program through in_private_network.sh";
        const QList<SockAddress> addresses = socklookup::resolve(kHangsFirst);
        ASSERT_EQ(addresses.size(), 2);
        ASSERT_EQ(addresses[0].text(), "fd77::2");
        ASSERT_EQ(addresses[1].text(), "127.0.0.1");
    }
};

TEST_F(PrivateNetwork, AHostsAddressesAreTriedInTurnAndOnlyTheLastFailureIsTold)
{
    IPv4Socket host(true);

    // ::1 refuses at once: 127.0.0.1 is tried at once.
    Client refused(kRefusedFirst, host.port);
    EXPECT_FALSE(refused.connect());
    EXPECT_TRUE(refused.sock.hasHandle());
    ASSERT_TRUE(waitUntil([&] { return refused.sock.Connected(); }, 3000));
    EXPECT_LT(refused.clock.elapsed(), TSock::kNextAddressAfterMs);

    // fd77::2 neither answers nor fails: 127.0.0.1 is tried after a while, well within 3 s.
    Client hanging(kHangsFirst, host.port);
    EXPECT_FALSE(hanging.connect());
    ASSERT_TRUE(waitUntil([&] { return hanging.sock.Connected(); }, 3000));

    // Both told exactly what a connection to 127.0.0.1 tells: no word of the address given up.
    Client direct(QStringLiteral("127.0.0.1"), host.port);
    direct.connect();
    ASSERT_TRUE(waitUntil([&] { return direct.sock.Connected(); }));
    settle(50);
    EXPECT_EQ(refused.texts.mid(2), direct.texts.mid(2));
    EXPECT_EQ(hanging.texts.mid(2), direct.texts.mid(2));
    EXPECT_EQ(hanging.texts.value(1), "Lookup Of Host " + kHangsFirst);

    // Every address refuses: one error, the last one's, and the socket stays as it is.
    IPv4Socket closed(false);
    Client nowhere(kRefusedFirst, closed.port);
    nowhere.connect();
    ASSERT_TRUE(waitUntil([&] { return !nowhere.errors().isEmpty(); }, 3000));
    settle(200);
    EXPECT_EQ(nowhere.errors(), QStringList({"Error #10061 (WSAECONNREFUSED)"}));
    EXPECT_FALSE(nowhere.texts.contains("Socket Closed"));
    EXPECT_FALSE(nowhere.sock.Connect());
    settle(100);
    EXPECT_EQ(nowhere.texts.size(), 3);
}

TEST_F(PrivateNetwork, ANameNobodyKnowsIsToldAfterConnectReturns)
{
    // Nobody serves names here: the resolver learns so at once.
    QStringList sink;
    vrel::setErrorSink([&](const QString &text) { sink << text; });
    Client unknown(QStringLiteral("vrel-nowhere.test"), 7772);
    int failures = 0;
    unknown.sock.OnLookupFailed = [&](TSock *) { ++failures; };
    EXPECT_FALSE(unknown.connect());
    EXPECT_EQ(unknown.texts, QStringList({"Lookup Of Port 7772", "Lookup Of Host vrel-nowhere.test"}));
    ASSERT_TRUE(waitUntil([&] { return failures == 1; }));
    // Like a name Connect could not look up at once, the socket stays open until it is closed.
    EXPECT_TRUE(unknown.sock.hasHandle());
    EXPECT_FALSE(unknown.sock.Connect());
    settle(200);
    EXPECT_EQ(failures, 1);
    EXPECT_EQ(unknown.texts.size(), 2);
    EXPECT_TRUE(unknown.sock.Close());
    EXPECT_EQ(unknown.texts.last(), "Socket Closed");
    EXPECT_FALSE(unknown.sock.hasHandle());

    // Without a handler of its own the failure reaches the program's error sink in the words of
    // the lookup.
    Client plain(QStringLiteral("vrel-nowhere.test"), 7772);
    plain.connect();
    ASSERT_TRUE(waitUntil([&] { return !sink.isEmpty(); }));
    EXPECT_EQ(sink, QStringList({"Host Lookup - Could Not Find Host Entry"}));
    messagebox::showErrorsInBoxes();
}

TEST_F(PrivateNetwork, AWindowJoinsAHostWhoseFirstAddressHangsWithinThreeSeconds)
{
    auto ann = start({QStringLiteral("Ann"), QStringLiteral("ignored"), QStringLiteral("true")});
    ASSERT_TRUE(waitUntil([&] { return rowName(*ann, 1) == QLatin1String("Ann"); }));
    QElapsedTimer clock;
    clock.start();
    auto bob = start({QStringLiteral("Bob"), kHangsFirst, QStringLiteral("join")}, portOf(*ann));
    ASSERT_TRUE(waitUntil([&] { return rowName(*ann, 2) == QLatin1String("Bob") && rowName(*bob, 1) == QLatin1String("Ann"); },
                          3000));
    EXPECT_LT(clock.elapsed(), 3000);
    EXPECT_TRUE(chatLines(*bob).contains("You are Connected."));
    EXPECT_TRUE(boxes.isEmpty()) << boxes.join('|').toStdString();
}

TEST_F(PrivateNetwork, TheWindowGoesOnWhileItsHostsNameIsLookedUp)
{
    SilentNameServer nameServer;
    ASSERT_TRUE(nameServer.bound);
    auto bob = start({QStringLiteral("Bob"), QStringLiteral("vrel-slow.test"), QStringLiteral("join")});
    // A socket closed while its name is looked up hears nothing of the answer.
    Client forgotten(QStringLiteral("vrel-slow.test"), 7772);
    forgotten.connect();
    EXPECT_TRUE(forgotten.sock.Close());

    // A phrase sent while the lookup waits closes the phrase lock, which only the dispatcher's
    // ticks open again.
    ASSERT_FALSE(bob->session().phraseLocked());
    bob->session().b_phrase1Click(1);
    EXPECT_TRUE(bob->session().phraseLocked());
    ASSERT_TRUE(waitUntil([&] { return !bob->session().phraseLocked(); }, 3500));
    EXPECT_TRUE(boxes.isEmpty()) << boxes.join('|').toStdString();
    EXPECT_FALSE(bob->session().connected());
    EXPECT_EQ(chatLines(*bob), QStringList({"Loading Multi-player Game.. Please Wait."}));

    // The resolver gives up: the player is told, once, with the name, and the window stays.
    ASSERT_TRUE(waitUntil([&] { return !boxes.isEmpty(); }, 30000));
    settle(300);
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_TRUE(boxes[0].startsWith("Host Lookup - Could Not Find Host Entry\n\nNo computer named \"vrel-slow.test\"")) << boxes[0].toStdString();
    EXPECT_TRUE(bob->chat().isVisible());
    EXPECT_EQ(endings, 0);
    EXPECT_EQ(forgotten.texts.last(), "Socket Closed");
}

TEST_F(PrivateNetwork, AJoinThatHearsNothingShowsHowItComesOnAndGivesUpAfterTenSecondsOrWhenStopped)
{
    // fd77::2 neither answers nor fails: without a limit of its own the connection would wait for
    // the system's two minutes.
    QElapsedTimer clock;
    clock.start();
    auto bob = start({QStringLiteral("Bob"), QStringLiteral("fd77::2"), QStringLiteral("join")}, 7772);
    QAction *stop = bob->chat().stopRejoiningAction();
    const QString status = QStringLiteral("Connecting to [fd77::2]:7772... 2 s");
    ASSERT_TRUE(waitUntil([&] { return bob->chat().puzzleBoard().status() == status; }, 3500));
    EXPECT_TRUE(stop->isVisible());
    EXPECT_EQ(stop->text(), "Stop &Connecting");
    testing_support::screenshot(&bob->chat(), QStringLiteral("connecting"));
    const QString gaveUp = QStringLiteral("Could not connect: [fd77::2]:7772, no answer (timed out).");
    ASSERT_TRUE(waitUntil([&] { return chatLines(*bob).contains(gaveUp); }, 15000));
    EXPECT_GE(clock.elapsed(), 9500);
    EXPECT_LT(clock.elapsed(), 12000);
    EXPECT_FALSE(stop->isVisible());
    EXPECT_EQ(bob->chat().puzzleBoard().status(), "Welcome to Vrel by Kovren Software");

    // The player stops the next try himself.
    auto cid = start({QStringLiteral("Cid"), QStringLiteral("fd77::2"), QStringLiteral("join")}, 7772);
    ASSERT_TRUE(waitUntil([&] { return cid->chat().stopRejoiningAction()->isVisible(); }));
    cid->chat().stopRejoiningAction()->trigger();
    EXPECT_TRUE(chatLines(*cid).contains("Connecting stopped."));
    EXPECT_FALSE(cid->session().hasLink());
    EXPECT_FALSE(cid->chat().stopRejoiningAction()->isVisible());
    EXPECT_EQ(cid->chat().puzzleBoard().status(), "Welcome to Vrel by Kovren Software");
    settle(200);
    EXPECT_TRUE(boxes.isEmpty()) << boxes.join('|').toStdString();
    EXPECT_TRUE(cid->chat().isVisible());
}
