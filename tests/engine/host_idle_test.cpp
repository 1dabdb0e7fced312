// An idle host does not wake: its dispatcher's timer is set only while messages wait, for the
// moment the next of them may be handled, and its login clock runs only while a connection has
// not logged in.

#include "tests/engine/host_fixture.h"
#include "tests/support/qt_printers.h"

using namespace std::chrono_literals;

namespace {
class HostIdle : public HostFixture
{
};
} // namespace

TEST_F(HostIdle, TheDispatcherIsSetOnlyForWaitingMessagesAndTheLoginClockOnlyForStrangers)
{
    EXPECT_FALSE(server.socktimerRunning());
    EXPECT_FALSE(server.logintimerRunning());

    // A connection that has not logged in starts the login clock. Its login is handled at once;
    // the empty line after the login's second terminator takes no turn, so a chat sent with the
    // login waits exactly one pace.
    FakeLink *ann = connect();
    FakeLink *bob = join("Bob");
    EXPECT_TRUE(server.logintimerRunning());
    EXPECT_FALSE(server.socktimerRunning());
    bob->take();
    ann->deliver(msg::encode(msg::LoginInfo {1, proto::kVersion, "Ann"}) + "CMD_chat+1+hi|clRed\xFF");
    EXPECT_TRUE(server.socktimerRunning());
    server.advanceDispatchClock(0ns);
    EXPECT_EQ(server.seat(1).name, "Ann");
    EXPECT_EQ(bob->take(), QList<QByteArray>({"CMD_newplayerinfo+1+Ann"}));
    server.advanceDispatchClock(TServer::kPace - 1ns);
    EXPECT_TRUE(bob->take().isEmpty());
    server.advanceDispatchClock(1ns);
    EXPECT_EQ(bob->take(), QList<QByteArray>({"CMD_chat+1+Ann chats: hi|clRed"}));
    EXPECT_FALSE(server.socktimerRunning());
    server.logintimerTimer();
    EXPECT_FALSE(server.logintimerRunning());

    // An hour with nothing to do changes nothing; a message after it is handled at once.
    server.advanceDispatchClock(1h);
    EXPECT_FALSE(server.socktimerRunning());
    ann->take();
    bob->deliver("CMD_chat+2+later|clRed\xFF");
    server.advanceDispatchClock(0ns);
    EXPECT_EQ(ann->take(), QList<QByteArray>({"CMD_chat+2+Bob chats: later|clRed"}));
    EXPECT_FALSE(server.socktimerRunning());

    // A stranger who never logs in keeps the login clock running until it is closed; a flood
    // closed on arrival leaves the dispatcher resting.
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
    server.advanceDispatchClock(TServer::kPace);
    EXPECT_FALSE(server.socktimerRunning());
    EXPECT_FALSE(server.timer1Running()); // no game, no phase clock
}
