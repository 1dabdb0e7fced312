// Who may act at the host and when: connections that have not logged in, newcomers while
// strangers hold every seat, and the order in which every connection's messages are handled.

#include "tests/engine/host_fixture.h"
#include "tests/support/qt_printers.h"

#include <QStringList>

using namespace std::chrono_literals;

namespace {

class HostDoor : public HostFixture
{
protected:
    HostDoor()
    {
        QObject::connect(&server, &TServer::activity, [this](const QString &line) { log << line; });
    }

    // The connections logged in so far, by seat.
    std::vector<FakeLink *> joinSeats(int count)
    {
        std::vector<FakeLink *> links;
        for (int n = 1; n <= count; ++n)
            links.push_back(join("P" + QByteArray::number(n)));
        return links;
    }

    QStringList log;
};

} // namespace

TEST_F(HostDoor, AConnectionThatHasNotLoggedInIsToldNothingAndItsRequestsAreDropped)
{
    FakeLink *ann = join("Ann");
    FakeLink *stranger = connect(); // seat 2
    EXPECT_EQ(stranger->take(), QList<QByteArray>({"CMD_sendlogininfo+2"}));
    ann->take();

    // Everything it may send under its seat, the start of a game and a removal included.
    for (const QByteArray request : {"CMD_action+2+Ann chats: I resign, you win Bob|clRed", "CMD_chat+2+hi|clRed",
                                     "CMD_playasound+2+wave3+", "CMD_startgame+X+1+30+", "CMD_kickhim+2+1+",
                                     "CMD_justwatch+2+2", "CMD_pass+2+"})
        deliver(stranger, request);
    EXPECT_TRUE(ann->take().isEmpty());
    EXPECT_FALSE(server.gameRunning());
    EXPECT_EQ(ann->closeCalls, 0);
    EXPECT_EQ(log.filter(QStringLiteral("before the login")).size(), 1) << log.join(u'\n').toStdString();

    // A game runs without it: it is dealt nothing, hears nothing, and does not hold up the round
    // (the only player completing her list ends it; the results last as for one player).
    deliver(ann, "CMD_startgame+Ann+1+60+");
    deliver(ann, "CMD_chat+1+hello|clRed");
    EXPECT_TRUE(stranger->take().isEmpty());
    for (int w = 1; w <= 10; ++w)
        server.puzzle(1, w) = {"cater", "c___r"};
    for (int w = 1; w <= 10; ++w)
        deliver(ann, "CMD_myword+1+1+3+2+1+3+20+4+5+5+18");
    EXPECT_EQ(server.phase(), proto::AllDonePause);
    EXPECT_EQ(server.fastestSeat(), 1);
    tick(3);
    EXPECT_EQ(server.countdown(), 15);
    EXPECT_TRUE(stranger->take().isEmpty());

    // Once it logs in it is a player like any other, brought up to date.
    deliver(stranger, "CMD_logininfo+2+1.0.4+Bob\xFF");
    const QList<QByteArray> got = stranger->take();
    EXPECT_EQ(got.value(0), "CMD_newplayerinfo+2+Bob");
    EXPECT_TRUE(got.last().startsWith("CMD_loadstats+2+")) << got.last().constData();
    ann->take();
    deliver(stranger, "CMD_chat+2+hi|clRed");
    EXPECT_EQ(ann->takeVerb("CMD_chat"), QList<QByteArray>({"CMD_chat+2+Bob chats: hi|clRed"}));
}

TEST_F(HostDoor, WhileStrangersHoldEverySeatNewcomersWaitInTurnAndTakeTheOldestStrangersSeats)
{
    std::vector<FakeLink *> strangers;
    for (int n = 1; n <= 9; ++n)
        strangers.push_back(connect());
    server.logintimerTimer(); // the first five have waited a tick longer
    for (int n = 5; n < 9; ++n) {
        strangers[size_t(n)]->hangUp();
        strangers[size_t(n)] = connect();
    }
    for (FakeLink *stranger : strangers)
        stranger->take();

    FakeLink *first = connect();
    FakeLink *second = connect();
    EXPECT_TRUE(first->take().isEmpty());
    EXPECT_EQ(server.waitingConnections(), 2);

    // A stranger keeps its seat for at least two ticks of the login clock; then the longest
    // waiting give way, one for each newcomer, in the order the newcomers came.
    server.logintimerTimer();
    EXPECT_EQ(strangers[0]->closeCalls, 0);
    server.logintimerTimer();
    EXPECT_EQ(strangers[0]->closeCalls, 1);
    EXPECT_EQ(strangers[1]->closeCalls, 1);
    EXPECT_EQ(strangers[2]->closeCalls, 0);
    EXPECT_EQ(first->take(), QList<QByteArray>({"CMD_sendlogininfo+1"}));
    EXPECT_EQ(second->take(), QList<QByteArray>({"CMD_sendlogininfo+2"}));
    EXPECT_EQ(server.waitingConnections(), 0);

    // A newcomer seated from the door keeps its seat while it logs in, though others wait again.
    FakeLink *third = connect();
    server.logintimerTimer();
    EXPECT_EQ(first->closeCalls, 0);
    EXPECT_EQ(third->take(), QList<QByteArray>({"CMD_sendlogininfo+3"}));
    deliver(first, "CMD_logininfo+1+1.0.4+Ann\xFF");
    for (int second = 0; second < 5; ++second)
        server.logintimerTimer();
    EXPECT_EQ(first->closeCalls, 0);
    EXPECT_TRUE(server.loggedIn(1));

    // One that leaves the line leaves no trace; beyond the line's length the game is full.
    FakeLink *leaving = connect();
    leaving->hangUp();
    EXPECT_EQ(server.waitingConnections(), 0);
    std::vector<FakeLink *> queue;
    for (int n = 0; n < TServer::kMaxWaiting; ++n)
        queue.push_back(connect());
    FakeLink *tooMany = connect();
    EXPECT_EQ(tooMany->take(), QList<QByteArray>({"CMD_full+"}));
    EXPECT_EQ(tooMany->closeCalls, 1);

    // Once players who logged in hold every seat, those at the door are told the game is full.
    for (int seat = 2; seat <= 9; ++seat) {
        EXPECT_EQ(server.waitingConnections(), TServer::kMaxWaiting);
        auto *holder = static_cast<FakeLink *>(server.seat(seat).link);
        deliver(holder, "CMD_logininfo+" + QByteArray::number(seat) + "+1.0.4+P" + QByteArray::number(seat) + '\xFF');
    }
    EXPECT_EQ(server.waitingConnections(), 0);
    for (FakeLink *waiting : queue) {
        EXPECT_EQ(waiting->take(), QList<QByteArray>({"CMD_full+"}));
        EXPECT_EQ(waiting->closeCalls, 1);
    }
}

TEST_F(HostDoor, OnePartyHoldsTwoPlacesAtMostBeforeItsLoginAndTheLogSaysSoOnceAMinute)
{
    // Two connections from one address that do not log in hold seats; every further one is
    // refused while they do, from an IPv4 address, the same address mapped into IPv6, or another
    // address of one IPv6 /64.
    FakeLink *first = connect(peerAt("192.0.2.5", 40001));
    FakeLink *second = connect(peerAt("192.0.2.5", 40002));
    EXPECT_EQ(second->take(), QList<QByteArray>({"CMD_sendlogininfo+2"}));
    for (int n = 0; n < 100; ++n) {
        FakeLink *more = connect(peerAt(n % 2 ? "192.0.2.5" : "::ffff:192.0.2.5", uint16_t(40100 + n)));
        EXPECT_EQ(more->take(), QList<QByteArray>({"CMD_full+"}));
        EXPECT_EQ(more->closeCalls, 1);
    }
    connect(peerAt("2001:db8::1"));
    connect(peerAt("2001:db8::2"));
    EXPECT_EQ(connect(peerAt("2001:db8::3:1"))->take(), QList<QByteArray>({"CMD_full+"}));
    EXPECT_EQ(connect(peerAt("2001:db8:0:1::1"))->take(), QList<QByteArray>({"CMD_sendlogininfo+5"}));
    // Others get in at once. While the first login of one of the two is on its way, the address
    // may bring another; a login for another seat spares nobody once it is handled.
    EXPECT_EQ(connect(peerAt("192.0.2.6"))->take(), QList<QByteArray>({"CMD_sendlogininfo+6"}));
    first->deliver("CMD_logininfo+1+1.0.4+Ann\xFF");
    second->deliver("CMD_logininfo+9+1.0.4+Mal\xFF");
    EXPECT_EQ(connect(peerAt("192.0.2.5", 40003))->take(), QList<QByteArray>({"CMD_sendlogininfo+7"}));
    dispatchAll();
    EXPECT_TRUE(server.loggedIn(1));
    EXPECT_FALSE(server.loggedIn(2));
    second->deliver("CMD_logininfo+2+1.0.4+Mal\xFF");
    EXPECT_EQ(connect(peerAt("192.0.2.5", 40004))->take(), QList<QByteArray>({"CMD_full+"}));

    // Places at the door count too: with every seat held, two of its connections wait, a third
    // is refused.
    connect(peerAt("192.0.2.18"));
    connect(peerAt("192.0.2.19"));
    FakeLink *waiting = connect(peerAt("192.0.2.7", 1));
    connect(peerAt("192.0.2.7", 2));
    EXPECT_TRUE(waiting->take().isEmpty());
    EXPECT_EQ(server.waitingConnections(), 2);
    EXPECT_EQ(connect(peerAt("192.0.2.7", 3))->take(), QList<QByteArray>({"CMD_full+"}));
    EXPECT_EQ(server.waitingConnections(), 2);

    // Each kind of line about one address once a minute; the next tells how many went unsaid.
    EXPECT_EQ(log.filter(QStringLiteral("refused a connection from 192.0.2.5")).size(), 1) << log.join(u'\n').toStdString();
    EXPECT_EQ(log.filter(QStringLiteral("refused a connection from 2001:db8::3:1")).size(), 1);
    EXPECT_EQ(log.filter(QStringLiteral("seat 6: connection accepted from 192.0.2.6")).size(), 1);
    nowMs += 59000;
    connect(peerAt("192.0.2.5", 40006));
    EXPECT_EQ(log.filter(QStringLiteral("refused a connection from 192.0.2.5")).size(), 1);
    nowMs += 1000;
    connect(peerAt("192.0.2.5", 40005));
    EXPECT_EQ(log.filter(QStringLiteral("refused a connection from 192.0.2.5")).size(), 2);
    EXPECT_TRUE(log.last().endsWith(QStringLiteral("(101 more since the last such line)"))) << log.last().toStdString();
}

TEST_F(HostDoor, MessagesAreHandledAsTheyArriveAndNoneOvertakesAnEarlierOneOfAnotherConnection)
{
    std::vector<FakeLink *> seats = joinSeats(9);
    for (FakeLink *link : seats)
        link->take();
    FakeLink *ann = seats[0];
    server.advanceDispatchClock(TServer::kPace);

    // Nine at once, arriving in an order unlike the seats': all handled at once, in that order.
    const int order[] = {5, 2, 9, 1, 7, 3, 8, 4, 6};
    for (const int seat : order)
        seats[size_t(seat - 1)]->deliver("CMD_chat+" + QByteArray::number(seat) + "+from " + QByteArray::number(seat) + "|clRed\xFF");
    server.advanceDispatchClock(0ns);
    QList<QByteArray> expected;
    for (const int seat : order)
        expected << "CMD_chat+" + QByteArray::number(seat) + "+P" + QByteArray::number(seat) + " chats: from "
                        + QByteArray::number(seat) + "|clRed";
    EXPECT_EQ(ann->take(), expected);
    EXPECT_EQ(server.queuedMessages(), 0);

    // Seat 2's two lines came before seat 3's: seat 3's line waits for seat 2's second, which
    // waits a pace for its turn, and follows it.
    server.advanceDispatchClock(TServer::kPace);
    seats[1]->deliver("CMD_chat+2+b1|clRed\xFF" "CMD_chat+2+b2|clRed\xFF");
    seats[2]->deliver("CMD_chat+3+c1|clRed\xFF");
    server.advanceDispatchClock(TServer::kPace - 1ns);
    EXPECT_EQ(ann->take(), QList<QByteArray>({"CMD_chat+2+P2 chats: b1|clRed"}));
    server.advanceDispatchClock(1ns);
    EXPECT_EQ(ann->take(), QList<QByteArray>({"CMD_chat+2+P2 chats: b2|clRed", "CMD_chat+3+P3 chats: c1|clRed"}));
}

TEST_F(HostDoor, TheFirstToCompleteByArrivalIsTheFastestWhateverItsSeatOrWhatItSentBefore)
{
    std::vector<FakeLink *> seats = joinSeats(3);
    deliver(seats[0], "CMD_startgame+P1+1+60+");
    for (int w = 1; w <= 10; ++w)
        server.puzzle(1, w) = {"cater", "c___r"};
    const QByteArray word = "+1+3+2+1+3+20+4+5+5+18\xFF";
    for (int w = 1; w <= 9; ++w) {
        deliver(seats[1], "CMD_myword+2" + word);
        deliver(seats[2], "CMD_myword+3" + word);
    }
    // Seat 3 sends a chat line and then its last word, a moment before seat 2's last word: seat
    // 3's word waits a pace behind its chat line, and seat 2's waits behind it.
    seats[2]->deliver("CMD_chat+3+last one|clRed\xFF" "CMD_myword+3" + word);
    seats[1]->deliver("CMD_myword+2" + word);
    dispatchAll();
    EXPECT_EQ(server.fastestSeat(), 3);
}
