// An idle host does not wake: its dispatcher runs only while messages wait and its login clock
// only while a connection has not logged in, and both start again when there is work, without
// changing the order or the pace of the messages.

#include "tests/engine/host_fixture.h"
#include "tests/support/qt_printers.h"

namespace {

class HostIdle : public HostFixture
{
protected:
    HostIdle() { server.setManualDispatch(true); }

    // One dispatcher tick, as the running timer would give it; a stopped timer gives none.
    bool tickIfRunning()
    {
        if (!server.socktimerRunning())
            return false;
        server.socktimerTimer();
        return true;
    }
};

} // namespace

TEST_F(HostIdle, TimersStopWhenIdleAndStartAgainForWorkWithTheSameOrderAndPace)
{
    EXPECT_FALSE(server.socktimerRunning());
    EXPECT_FALSE(server.logintimerRunning());

    // A connection that has not logged in starts the login clock; its login starts the dispatcher,
    // which stops once it has nothing left; the login clock stops at its next second.
    FakeLink *ann = connect();
    EXPECT_TRUE(server.logintimerRunning());
    EXPECT_FALSE(server.socktimerRunning());
    ann->deliver(msg::encode(msg::LoginInfo {1, proto::kVersion, "Ann"}));
    EXPECT_TRUE(tickIfRunning());
    EXPECT_EQ(server.seat(1).name, "Ann");
    EXPECT_TRUE(tickIfRunning()); // the empty line after the login's second terminator
    EXPECT_FALSE(server.socktimerRunning());
    server.logintimerTimer();
    EXPECT_FALSE(server.logintimerRunning());
    FakeLink *bob = join("Bob");
    server.logintimerTimer();
    EXPECT_FALSE(server.logintimerRunning());
    EXPECT_FALSE(server.socktimerRunning());
    clearAll({ann, bob});

    // A burst arriving at the idle host: a message of each connection a tick, each connection's
    // messages in their order, and the dispatcher stops right after the last one.
    ann->deliver("CMD_chat+1+a1|clRed\xFF" "CMD_chat+1+a2|clRed\xFF");
    bob->deliver("CMD_chat+2+b1|clRed\xFF");
    const QList<QList<QByteArray>> expected = {
        {"CMD_chat+1+Ann chats: a1|clRed", "CMD_chat+2+Bob chats: b1|clRed"}, {"CMD_chat+1+Ann chats: a2|clRed"}};
    for (const QList<QByteArray> &relays : expected) {
        ASSERT_TRUE(tickIfRunning()) << relays.first().constData();
        EXPECT_EQ(bob->take(), relays);
    }
    EXPECT_FALSE(server.socktimerRunning());

    // Idle ticks change nothing; the next message, however long after, wakes the dispatcher and
    // is handled at its next tick.
    server.socktimerTimer();
    EXPECT_TRUE(bob->take().isEmpty());
    ann->take();
    bob->deliver("CMD_chat+2+later|clRed\xFF");
    ASSERT_TRUE(tickIfRunning());
    EXPECT_EQ(ann->take(), QList<QByteArray>({"CMD_chat+2+Bob chats: later|clRed"}));
    EXPECT_FALSE(server.socktimerRunning());

    // A stranger who never logs in keeps the login clock running until it is closed; a flood
    // closed on arrival leaves nothing for the dispatcher but one idle tick.
    FakeLink *stranger = connect();
    for (int tick = 0; tick < TServer::kLoginSeconds * TServer::kLoginTicksPerSecond; ++tick) {
        ASSERT_TRUE(server.logintimerRunning());
        server.logintimerTimer();
    }
    EXPECT_EQ(stranger->closeCalls, 1);
    EXPECT_FALSE(server.logintimerRunning());
    QByteArray flood;
    for (int i = 0; i <= TServer::kMaxQueuedPerConnection; ++i)
        flood += "CMD_chat+2+x|clRed\xFF";
    bob->deliver(flood);
    EXPECT_EQ(bob->closeCalls, 1);
    EXPECT_TRUE(tickIfRunning());
    EXPECT_FALSE(server.socktimerRunning());
    EXPECT_FALSE(server.timer1Running()); // no game, no phase clock
}
