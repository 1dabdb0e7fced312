// The host's connection side, end to end: vrel-host runs as its own process on a free port and
// raw clients speak the wire protocol to it.

#include "tests/support/host_process.h"
#include "tests/support/raw_client.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QRegularExpression>

#include <cstdio>

#include <memory>
#include <vector>

using testing_support::HostProcess;
using testing_support::RawClient;

namespace {

const QByteArray T("\xFF", 1);

class HostSeats : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_GT(host.port(), 0) << host.log().constData(); }

    // Connects (from 127.0.0.1 unless another loopback address is given) and returns the client
    // with the seat the host gave it.
    std::unique_ptr<RawClient> connect(int *seat = nullptr, const char *from = nullptr)
    {
        auto client = std::make_unique<RawClient>(host.port(), from);
        EXPECT_TRUE(client->connected());
        const std::optional<QByteArray> first = client->next();
        EXPECT_TRUE(first && first->startsWith("CMD_sendlogininfo+")) << (first ? first->constData() : "nothing");
        if (seat && first)
            *seat = first->mid(18).toInt();
        return client;
    }

    // Connects `count` clients, which must get seats 1, 2, ... in order; each comes from an
    // address of its own (127.0.0.11, .12, ...), as they do not log in.
    std::vector<std::unique_ptr<RawClient>> connectSeats(int count)
    {
        std::vector<std::unique_ptr<RawClient>> clients;
        for (int expected = 1; expected <= count; ++expected) {
            int seat = 0;
            const std::string from = "127.0.0." + std::to_string(10 + expected);
            clients.push_back(connect(&seat, from.c_str()));
            EXPECT_EQ(seat, expected);
        }
        return clients;
    }

    // Connects and logs in; the login's own announcements (its arrival, its seat key and the
    // others in use) are read off.
    std::unique_ptr<RawClient> join(const QByteArray &name, int expectedSeat, int othersInUse)
    {
        int seat = 0;
        auto client = connect(&seat);
        EXPECT_EQ(seat, expectedSeat);
        client->send("CMD_logininfo+" + QByteArray::number(seat) + "+1.0.4+" + name + T + T);
        const QList<QByteArray> announced = client->take(2 + othersInUse);
        EXPECT_EQ(announced.size(), 2 + othersInUse);
        return client;
    }

    HostProcess host;
};

} // namespace

TEST_F(HostSeats, SeatsAreHandedOutInOrderAndAFreedSeatIsReusedFirst)
{
    auto clients = connectSeats(5);
    clients[0]->send("CMD_logininfo+1+1.0.4+Ann" + T + T);
    EXPECT_EQ(clients[0]->next(), QByteArray("CMD_newplayerinfo+1+Ann"));
    EXPECT_TRUE(clients[0]->next()->startsWith("CMD_seatkey+1+"));
    clients[2]->close(); // seat 3
    clients[3]->send("CMD_logininfo+4+1.0.4+Dan" + T + T);
    // Seat 3 never logged in and leaves without a word; seat 4's login comes next.
    EXPECT_EQ(clients[0]->next(), QByteArray("CMD_newplayerinfo+4+Dan"));
    int seat = 0;
    auto newcomer = connect(&seat);
    EXPECT_EQ(seat, 3);
}

TEST_F(HostSeats, SpectatorsGetSeatsSevenToNineAndATenthIsRefused)
{
    std::vector<std::unique_ptr<RawClient>> clients;
    QList<QByteArray> keys;
    for (int seat = 1; seat <= 9; ++seat) {
        auto client = connect();
        client->send("CMD_logininfo+" + QByteArray::number(seat) + "+1.0.4+P" + QByteArray::number(seat) + T + T);
        keys << client->waitFor("CMD_seatkey+").value_or("").split('+').value(2);
        clients.push_back(std::move(client));
    }
    // A newcomer to a full table has a moment to show a seat key before it is refused.
    QElapsedTimer waited;
    waited.start();
    RawClient tenth(host.port());
    EXPECT_EQ(tenth.next(4000), QByteArray("CMD_full+"));
    std::printf("FIGURE a newcomer to a full table is told the game is full after %lld ms\n", static_cast<long long>(waited.elapsed()));
    EXPECT_TRUE(tenth.closedByPeer());

    // The refused connection took no seat: a freed seat still goes to the next newcomer.
    clients[7]->close();
    EXPECT_TRUE(clients[0]->waitFor("CMD_playerdisconnected+8+").has_value());
    int seat = 0;
    clients[7] = connect(&seat);
    EXPECT_EQ(seat, 8);
    clients[7]->send("CMD_logininfo+8+1.0.4+P8" + T + T);
    EXPECT_TRUE(clients[0]->waitFor("CMD_newplayerinfo+8+P8").has_value());

    // During a game a player's seat is kept when its connection drops: the table stays full for
    // newcomers, and the player who shows the key is seated in its own seat at once.
    clients[0]->send("CMD_startgame+P1+1+60+" + T);
    EXPECT_TRUE(clients[5]->waitFor("CMD_nextplayer+6+").has_value());
    clients[5]->close();
    EXPECT_TRUE(clients[0]->waitFor("CMD_playerdisconnected+6+").has_value());
    RawClient stranger(host.port());
    EXPECT_EQ(stranger.next(4000), QByteArray("CMD_full+"));
    waited.restart();
    RawClient back(host.port());
    back.send("CMD_reclaimseat+6+" + keys[5] + '+' + T);
    EXPECT_EQ(back.take(2), QList<QByteArray>({"CMD_reclaimseat+6+" + keys[5] + '+', "CMD_sendlogininfo+6"}));
    std::printf("FIGURE a player coming back to a full table is seated after %lld ms\n", static_cast<long long>(waited.elapsed()));
}

TEST_F(HostSeats, LoginAnnouncementsHaveExactBytesAndOrder)
{
    int seat = 0;
    auto ann = connect(&seat);
    ASSERT_EQ(seat, 1);
    ann->send("CMD_logininfo+1+1.0.4+Ann" + T + T);
    EXPECT_EQ(ann->next(), QByteArray("CMD_newplayerinfo+1+Ann"));
    // The seat key, the player's alone, right after its own arrival: 32 hexadecimal digits.
    const QByteArray annKey = ann->next().value_or("");
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^CMD_seatkey\\+1\\+[0-9a-f]{32}\\+$")).match(QString::fromLatin1(annKey)).hasMatch())
        << annKey.constData();

    auto cid = connect(&seat);
    ASSERT_EQ(seat, 2);
    auto bob = connect(&seat);
    ASSERT_EQ(seat, 3);
    bob->send("CMD_logininfo+3+1.0.4+Bob Smith" + T + T);
    // Seat 2 has not logged in: it is nobody yet, and not announced.
    const QList<QByteArray> announced = bob->take(3);
    ASSERT_EQ(announced.size(), 3);
    EXPECT_EQ(announced.at(0), "CMD_newplayerinfo+3+Bob Smith");
    EXPECT_TRUE(announced.at(1).startsWith("CMD_seatkey+3+")) << announced.at(1).constData();
    EXPECT_NE(announced.at(1).mid(14), annKey.mid(14));
    EXPECT_EQ(announced.at(2), "CMD_existingplayers+1+Ann");
    EXPECT_EQ(ann->next(), QByteArray("CMD_newplayerinfo+3+Bob Smith"));
    // Until its login a connection hears nothing but its seat.
    EXPECT_TRUE(cid->drain().isEmpty());
    EXPECT_TRUE(ann->drain().isEmpty());
}

TEST_F(HostSeats, ChatActionsAndSoundsAreRelayedUnchangedToEverybody)
{
    auto ann = join("Ann", 1, 0);
    auto bob = join("Bob", 2, 1);
    ann->drain(100);
    bob->send("CMD_chat+2+1+1=2 isn't it|clRed" + T);
    EXPECT_EQ(ann->next(), QByteArray("CMD_chat+2+Bob chats: 1+1=2 isn't it|clRed"));
    EXPECT_EQ(bob->next(), QByteArray("CMD_chat+2+Bob chats: 1+1=2 isn't it|clRed"));
    bob->send("CMD_action+2+waves|$000080FF" + T);
    EXPECT_EQ(ann->next(), QByteArray("CMD_action+2+Bob waves|$000080FF"));
    ann->send("CMD_playasound+1+wave12+" + T);
    EXPECT_EQ(bob->waitFor("CMD_playasound"), QByteArray("CMD_playasound+1+wave12+"));
}

TEST_F(HostSeats, VersionMismatchIsToldToBothSidesAndTheLoginStands)
{
    auto ann = join("Ann", 1, 0);
    int seat = 0;
    auto old = connect(&seat);
    old->send("CMD_logininfo+2+1.0.3+Old" + T + T);
    QList<QByteArray> told = old->take(4);
    ASSERT_EQ(told.size(), 4);
    EXPECT_TRUE(told.takeAt(1).startsWith("CMD_seatkey+2+"));
    EXPECT_EQ(told, QList<QByteArray>({"CMD_newplayerinfo+2+Old", "CMD_existingplayers+1+Ann", "CMD_wrongversion+"}));
    EXPECT_EQ(ann->take(2), QList<QByteArray>({"CMD_newplayerinfo+2+Old", "CMD_havewrongversion+Old"}));
}

TEST_F(HostSeats, OnlySeatOneMayRemoveAPlayerWhoIsToldAndTheDepartureIsAnnouncedOnce)
{
    auto ann = join("Ann", 1, 0);
    auto bob = join("Bob", 2, 1);
    auto cid = join("Cid", 3, 2);
    ann->drain(100);
    bob->drain(100);

    bob->send("CMD_kickhim+2+3+" + T); // not the hosting player: ignored
    EXPECT_FALSE(cid->closedByPeer(300));

    // The removed player hears its own departure, then its connection ends in order: a reset
    // would read as a dropped connection to every relay on the way.
    ann->send("CMD_kickhim+1+2+" + T);
    EXPECT_EQ(bob->drain(), QList<QByteArray>({"CMD_playerdisconnected+2+Bob"}));
    EXPECT_TRUE(bob->closedByPeer());
    EXPECT_FALSE(bob->wasReset());
    EXPECT_EQ(ann->drain(), QList<QByteArray>({"CMD_playerdisconnected+2+Bob"}));
    EXPECT_EQ(cid->drain(), QList<QByteArray>({"CMD_playerdisconnected+2+Bob"}));
}

TEST_F(HostSeats, JustWatchOutsideAGameIsIgnoredButPlayingAgainIsAnnounced)
{
    auto ann = join("Ann", 1, 0);
    auto bob = join("Bob", 2, 1);
    ann->drain(100);
    bob->send("CMD_justwatch+2+1" + T);
    EXPECT_TRUE(ann->drain().isEmpty());
    bob->send("CMD_justwatch+2+2" + T);
    EXPECT_EQ(ann->next(), QByteArray("CMD_justwatching+2+2"));
    // The hosting player may switch another seat; another player may not.
    ann->send("CMD_justwatch+2+2" + T);
    EXPECT_EQ(bob->waitFor("CMD_justwatching"), QByteArray("CMD_justwatching+2+2"));
    EXPECT_EQ(ann->next(), QByteArray("CMD_justwatching+2+2"));
    bob->send("CMD_justwatch+1+2" + T);
    EXPECT_TRUE(ann->drain().isEmpty());
}

TEST_F(HostSeats, MessagesThatSpeakForAnotherSeatAreDropped)
{
    auto ann = join("Ann", 1, 0);
    auto bob = join("Bob", 2, 1);
    auto cid = join("Cid", 3, 2);
    ann->drain(100);
    bob->drain(100);
    bob->send("CMD_chat+1+I am Ann|clRed" + T);
    bob->send("CMD_kickhim+1+3+" + T);
    bob->send("CMD_chat+12+nobody|clRed" + T);
    bob->send("CMD_chat+-1+nobody|clRed" + T);
    bob->send("CMD_chat+x+nobody|clRed" + T);
    EXPECT_TRUE(ann->drain().isEmpty());
    EXPECT_FALSE(cid->closedByPeer(100));
    // The connection itself goes on working.
    bob->send("CMD_chat+2+still here|clRed" + T);
    EXPECT_EQ(ann->next(), QByteArray("CMD_chat+2+Bob chats: still here|clRed"));
}

TEST_F(HostSeats, AFloodingConnectionIsClosedAndTheOthersPlayOn)
{
    auto ann = join("Ann", 1, 0);
    auto bob = join("Bob", 2, 1);
    ann->drain(100);
    QByteArray flood;
    for (int i = 0; i < 2000; ++i)
        flood += "CMD_chat+2+spam|clRed" + T;
    bob->send(flood);
    EXPECT_TRUE(bob->closedByPeer());
    EXPECT_TRUE(ann->waitFor("CMD_playerdisconnected+2+Bob", 10000).has_value());

    // An overlong line (a pasted page) is dropped up to its terminator; its sender plays on.
    auto cid = join("Cid", 2, 1);
    cid->send("CMD_chat+2+" + QByteArray(100000, 'a') + "|clRed" + T);
    cid->send("CMD_chat+2+" + QByteArray(70000, 'b') + "|clRed" + T);
    cid->send("CMD_chat+2+still here|clRed" + T);
    EXPECT_EQ(ann->waitFor("CMD_chat"), QByteArray("CMD_chat+2+Cid chats: still here|clRed"));
    EXPECT_FALSE(cid->closedByPeer(100));
    ann->send("CMD_chat+1+hello|clRed" + T);
    EXPECT_TRUE(ann->waitFor("CMD_chat+1+Ann chats: hello").has_value());
}

TEST_F(HostSeats, HugeNamesAndTextsAreCutToWhatEveryClientTakes)
{
    auto ann = join("Ann", 1, 0);
    int seat = 0;
    auto big = connect(&seat);
    big->send("CMD_logininfo+2+1.0.4+" + QByteArray(65000, 'N') + T + T);
    EXPECT_EQ(big->waitFor("CMD_newplayerinfo"), "CMD_newplayerinfo+2+" + QByteArray(32, 'N'));
    big->send("CMD_chat+2+" + QByteArray(65000, 't') + "|clRed" + T);
    const std::optional<QByteArray> relayed = ann->waitFor("CMD_chat");
    ASSERT_TRUE(relayed.has_value());
    EXPECT_EQ(*relayed, "CMD_chat+2+" + QByteArray(32, 'N') + " chats: " + QByteArray(500, 't') + "|clRed");
    EXPECT_FALSE(big->closedByPeer(100));
    EXPECT_LT(host.log().size(), 4000);
}

TEST_F(HostSeats, EveryConnectionOfABurstIsAnsweredWithASeatOrFull)
{
    // 300 connections from three addresses, none of which logs in: each address holds two seats,
    // and the rest are told at once that the game is full.
    std::vector<std::unique_ptr<RawClient>> burst;
    const char *const addresses[] = {"127.0.0.1", "127.0.0.2", "127.0.0.3"};
    for (int i = 0; i < 300; ++i)
        burst.push_back(std::make_unique<RawClient>(host.port(), addresses[i % 3]));
    int seated = 0;
    int refused = 0;
    for (const auto &client : burst) {
        ASSERT_TRUE(client->connected());
        const std::optional<QByteArray> answer = client->next(8000);
        ASSERT_TRUE(answer.has_value());
        seated += answer->startsWith("CMD_sendlogininfo+");
        refused += *answer == "CMD_full+";
    }
    EXPECT_EQ(seated, 6);
    EXPECT_EQ(refused, 294);
}

TEST_F(HostSeats, AConnectionThatHasNotLoggedInCanNeitherSpeakNorPassForAnother)
{
    auto ann = join("Ann", 1, 0);
    auto bob = join("Bob", 2, 1);
    ann->drain(100);
    int seat = 0;
    auto stranger = connect(&seat);
    ASSERT_EQ(seat, 3);
    stranger->send("CMD_action+3+Ann chats: I resign, you win Bob|clRed" + T);
    stranger->send("CMD_chat+3+hello|clRed" + T + "CMD_playasound+3+wave1+" + T + "CMD_justwatch+3+2" + T);
    EXPECT_TRUE(ann->drain().isEmpty());
    EXPECT_TRUE(bob->drain(100).isEmpty());

    // It is dealt nothing when a game starts.
    ann->send("CMD_startgame+Ann+1+30+" + T);
    EXPECT_TRUE(bob->waitFor("CMD_nextplayer+2+").has_value());
    EXPECT_TRUE(stranger->drain().isEmpty());
    EXPECT_EQ(host.log().count("dropped a request sent before the login"), 1) << host.log().constData();

    // A login with an empty name plays under seat 3's default name; its action reads as that name's.
    stranger->send("CMD_logininfo+3+1.0.4+" + T + T);
    EXPECT_EQ(ann->waitFor("CMD_newplayerinfo"), QByteArray("CMD_newplayerinfo+3+Klock"));
    stranger->send("CMD_action+3+Ann chats: I resign, you win Bob|clRed" + T);
    EXPECT_EQ(ann->waitFor("CMD_action"), QByteArray("CMD_action+3+Klock Ann chats: I resign, you win Bob|clRed"));

    // Names that would pass for Ann speaking lose the mark and are told apart from hers. (Seat 3
    // is kept for Klock, who left during the game.)
    stranger->close();
    EXPECT_TRUE(ann->waitFor("CMD_playerdisconnected+3+Klock").has_value());
    auto mallory = join("Ann chats: I resign", 4, 2);
    EXPECT_EQ(ann->waitFor("CMD_newplayerinfo"), QByteArray("CMD_newplayerinfo+4+Ann (2)"));
    auto trudy = join("Ann chats\xE2\x88\xB6 I resign", 5, 3);
    EXPECT_EQ(ann->waitFor("CMD_newplayerinfo"), QByteArray("CMD_newplayerinfo+5+Ann (3)"));
    trudy->send("CMD_action+5+|clRed" + T);
    EXPECT_EQ(ann->waitFor("CMD_action"), QByteArray("CMD_action+5+Ann (3) |clRed"));
    Q_UNUSED(mallory);
}

// What a stranger with a raw client did to spoil a game, replayed against vrel-host: look-alike
// names that differ only in case and "I" for "l", invisible characters outside the basic plane,
// "A|b" twice, a name with nothing visible whose actions read like the game's own lines, a blank
// that keeps a speaker's mark; a newcomer in the free seat 1 who would remove the others, and a
// start sent during a game.
TEST_F(HostSeats, NamesAndStartsOfAHostileNeighbourSpoilNothing)
{
    const struct {
        QByteArray sent, shown;
    } names[] = {
        {"Al", "Al"},
        {"AI", "AI (2)"},
        {"Bill", "Bill"},
        {"BiII", "BiII (2)"},
        {"Ann\xF3\xA0\x81\x81\xEF\xB8\x8F", "Ann"},
        {"\xE2\x80\x8B\xE3\x85\xA4\xE2\xA0\x80", "Krazy"},
        {"A|b", "A\xC2\xA6" "b"},
        {"A|b", "A\xC2\xA6" "b (2)"},
        {"Bob\xE2\xA0\x80" "chats: I resign", "Bob"},
    };
    std::vector<std::unique_ptr<RawClient>> table;
    for (const auto &name : names)
        table.push_back(join(name.sent, int(table.size()) + 1, int(table.size())));
    for (int seat = 2; seat <= 9; ++seat)
        EXPECT_EQ(table[0]->waitFor("CMD_newplayerinfo+" + QByteArray::number(seat) + '+'),
                  "CMD_newplayerinfo+" + QByteArray::number(seat) + '+' + names[seat - 1].shown);
    // A blank-named player's action always shows its speaker.
    table[5]->send("CMD_action+6+Bill disconnected.|clBlue" + T);
    EXPECT_EQ(table[0]->waitFor("CMD_action"), QByteArray("CMD_action+6+Krazy Bill disconnected.|clBlue"));

    // Al, there first, leaves; a newcomer who takes the free seat 1 can neither remove the others
    // nor start, and a start during the game restarts nothing.
    table[0]->close();
    ASSERT_TRUE(table[1]->waitFor("CMD_playerdisconnected+1+").has_value());
    auto zed = join("Zed", 1, 8);
    zed->send("CMD_kickhim+1+2+" + T + "CMD_startgame+Zed+1+30+" + T);
    EXPECT_FALSE(table[2]->waitFor("CMD_startgame", 500).has_value());
    table[1]->send("CMD_startgame+x+3+30+" + T);
    EXPECT_EQ(table[2]->waitFor("CMD_startgame"), "CMD_startgame+AI (2)+3+30++");
    table[1]->send("CMD_startgame+x+1+60+" + T);
    EXPECT_FALSE(table[2]->waitFor("CMD_startgame", 1000).has_value());
    EXPECT_FALSE(table[1]->closedByPeer(100));
    EXPECT_EQ(host.log().count("game started"), 1) << host.log().constData();
}

TEST(HostProgram, BadOptionsAndATakenPortEndWithAnError)
{
    HostProcess first;
    ASSERT_GT(first.port(), 0);
    HostProcess second({QStringLiteral("--port"), QString::number(first.port())});
    second.process().waitForFinished(5000);
    EXPECT_EQ(second.process().exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.process().exitCode(), 1);
    EXPECT_TRUE(second.log().contains("Listen - Error Binding Socket")) << second.log().constData();

    HostProcess bad({QStringLiteral("--port"), QStringLiteral("seventy")});
    bad.process().waitForFinished(5000);
    EXPECT_EQ(bad.process().exitCode(), 2);
    HostProcess unknown({QStringLiteral("--colour")});
    unknown.process().waitForFinished(5000);
    EXPECT_EQ(unknown.process().exitCode(), 2);
}

TEST(HostProgram, EndsCleanlyOnTerminate)
{
    HostProcess host;
    ASSERT_GT(host.port(), 0);
    RawClient client(host.port());
    EXPECT_TRUE(client.next().has_value());
    EXPECT_EQ(host.stop(), 0);
    EXPECT_EQ(host.process().exitStatus(), QProcess::NormalExit);
    EXPECT_TRUE(host.log().contains("stopped"));
    EXPECT_TRUE(client.closedByPeer());
}
