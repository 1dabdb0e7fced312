// A whole game on vrel-host, played by two raw clients over real sockets.

#include "tests/support/host_process.h"
#include "tests/support/raw_client.h"
#include "tests/support/word_play.h"

#include <gtest/gtest.h>

#include <memory>

using testing_support::HostProcess;
using testing_support::RawClient;
using testing_support::answerFor;
using testing_support::maskedOf;
using testing_support::mywordMessage;

namespace {

const QByteArray T("\xFF", 1);

} // namespace

TEST(HostGame, TwoClientsPlayAOneRoundGameToItsWinner)
{
    HostProcess host;
    ASSERT_GT(host.port(), 0);
    RawClient ann(host.port());
    RawClient bob(host.port());
    ASSERT_EQ(ann.next(), QByteArray("CMD_sendlogininfo+1"));
    ASSERT_EQ(bob.next(), QByteArray("CMD_sendlogininfo+2"));
    ann.send("CMD_logininfo+1+1.0.4+Ann" + T + T);
    bob.send("CMD_logininfo+2+1.0.4+Bob" + T + T);
    ASSERT_TRUE(bob.waitFor("CMD_existingplayers+1+Ann").has_value());
    ann.drain(200);

    ann.send("CMD_startgame+Ann+1+30+" + T);
    EXPECT_EQ(bob.take(2), QList<QByteArray>({"CMD_startgame+Ann+1+30++", "CMD_startround+1+"}));
    const std::optional<QByteArray> bobsTurn = bob.next();
    ASSERT_TRUE(bobsTurn && bobsTurn->startsWith("CMD_nextplayer+2+1+"));
    std::optional<QByteArray> annsTurn = ann.waitFor("CMD_nextplayer+1+1+");
    ASSERT_TRUE(annsTurn.has_value());

    // Bob fills his first word and then only watches; Ann fills all ten.
    const QByteArray bobsWord = answerFor(maskedOf(*bobsTurn));
    bob.send(mywordMessage(2, bobsWord));
    EXPECT_EQ(bob.waitFor("CMD_hiscount"), QByteArray("CMD_hiscount+2+1+"));
    EXPECT_TRUE(bob.waitFor("CMD_newword+2+1+2+").has_value());
    bob.send("CMD_justwatch+2+1" + T);

    QByteArray masked = maskedOf(*annsTurn);
    QList<QByteArray> annsWords;
    for (int w = 1; w <= 10; ++w) {
        annsWords << answerFor(masked);
        ann.send(mywordMessage(1, annsWords.last()));
        const std::optional<QByteArray> reply = ann.waitFor(w < 10 ? "CMD_newword+1+" : "CMD_allfilled+1+");
        ASSERT_TRUE(reply.has_value()) << "word " << w;
        if (w < 10)
            masked = maskedOf(*reply);
        else
            EXPECT_EQ(*reply, "CMD_allfilled+1+10+");
    }
    EXPECT_TRUE(ann.waitFor("CMD_alldone+").has_value());

    const std::optional<QByteArray> scores = bob.waitFor("CMD_postscores+", 6000);
    ASSERT_TRUE(scores.has_value());
    const QList<QByteArray> fields = scores->split('+');
    EXPECT_EQ(fields.at(1), "1"); // Ann was first to fill all ten
    // Entries: seat, kind, value. Six seats of word entries and totals, then ten source words.
    QList<int> kinds[7];
    QList<QByteArray> sources;
    for (int i = 2; i + 2 < fields.size(); i += 3) {
        const int seat = fields.at(i).toInt();
        const int kind = fields.at(i + 1).toInt();
        if (kind == 5)
            sources << fields.at(i + 2);
        else
            kinds[seat] << kind;
    }
    EXPECT_EQ(sources.size(), 10);
    EXPECT_EQ(kinds[1].count(0) + kinds[1].count(1), 10);
    EXPECT_EQ(kinds[1].mid(10), QList<int>({4, 2, 3}));
    EXPECT_EQ(kinds[2].mid(10), QList<int>({2, 3}));
    for (int seat = 3; seat <= 6; ++seat)
        EXPECT_EQ(kinds[seat], QList<int>({1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 3}));
    EXPECT_EQ(bob.waitFor("CMD_winner+", 20000), QByteArray("CMD_winner+Ann+"));
    EXPECT_EQ(ann.waitFor("CMD_winner+", 2000), QByteArray("CMD_winner+Ann+"));
}

TEST(HostGame, ARejoinWithACompleteListEndsWithTheBoardClosed)
{
    HostProcess host;
    ASSERT_GT(host.port(), 0);
    RawClient ann(host.port());
    ASSERT_EQ(ann.next(), QByteArray("CMD_sendlogininfo+1"));
    ann.send("CMD_logininfo+1+1.0.4+Ann" + T + T);
    auto bob = std::make_unique<RawClient>(host.port());
    ASSERT_EQ(bob->next(), QByteArray("CMD_sendlogininfo+2"));
    bob->send("CMD_logininfo+2+1.0.4+Bob" + T + T);
    const QByteArray key = bob->waitFor("CMD_seatkey+2+").value_or("").mid(14).chopped(1);
    ASSERT_TRUE(bob->waitFor("CMD_existingplayers+1+Ann").has_value());
    ann.send("CMD_startgame+Ann+1+120+" + T);
    std::optional<QByteArray> turn = bob->waitFor("CMD_nextplayer+2+1+");
    ASSERT_TRUE(turn.has_value());
    QByteArray masked = maskedOf(*turn);
    for (int w = 1; w <= 10; ++w) {
        bob->send(mywordMessage(2, answerFor(masked)));
        const std::optional<QByteArray> reply = bob->waitFor(w < 10 ? "CMD_newword+2+" : "CMD_allfilled+2+");
        ASSERT_TRUE(reply.has_value()) << "word " << w;
        masked = maskedOf(*reply);
    }

    // Bob's connection drops and he comes back, with his key sent as soon as he is connected,
    // into his seat, which was kept for him, while the round runs.
    bob.reset();
    ASSERT_TRUE(ann.waitFor("CMD_playerdisconnected+2+Bob").has_value());
    RawClient back(host.port());
    back.send("CMD_reclaimseat+2+" + key + '+' + T);
    EXPECT_EQ(back.take(3), QList<QByteArray>({"CMD_sendlogininfo+3", "CMD_reclaimseat+2+" + key + '+', "CMD_sendlogininfo+2"}));
    back.send("CMD_logininfo+2+1.0.4+Bob" + T + T);
    const QList<QByteArray> got = back.take(5);
    ASSERT_EQ(got.size(), 5);
    EXPECT_EQ(got.at(0), "CMD_newplayerinfo+2+Bob");
    EXPECT_TRUE(got.at(1).startsWith("CMD_seatkey+2+")) << got.at(1).constData();
    EXPECT_EQ(got.at(2), "CMD_existingplayers+1+Ann");
    EXPECT_TRUE(got.at(3).startsWith("CMD_loadstats+2+120+")) << got.at(3).constData();
    EXPECT_EQ(got.at(4), "CMD_allfilled+2+");
}

TEST(HostGame, StartFieldsAreReadFromTheRightWhateverTheName)
{
    // The names of the hosting players who found their starts dropped or misread; -5 seconds is
    // played as the shortest turn the dialog offers, whose round does not end at once.
    const struct {
        QByteArray name;
        QByteArray seconds;
        QByteArray played;
    } starts[] = {{"C++ Fan", "60", "60"}, {"A+B", "-5", "30"}};
    for (const auto &start : starts) {
        HostProcess host;
        ASSERT_GT(host.port(), 0);
        RawClient starter(host.port());
        ASSERT_EQ(starter.next(), QByteArray("CMD_sendlogininfo+1"));
        starter.send("CMD_logininfo+1+1.0.4+" + start.name + T + T);
        ASSERT_EQ(starter.next(), "CMD_newplayerinfo+1+" + start.name);
        starter.send("CMD_startgame+" + start.name + "+5+" + start.seconds + "+" + T);
        EXPECT_EQ(starter.waitFor("CMD_startgame+"), "CMD_startgame+" + start.name + "+5+" + start.played + "++");
        // A late joiner is told the turn the host plays.
        RawClient late(host.port());
        ASSERT_EQ(late.next(), QByteArray("CMD_sendlogininfo+2"));
        late.send("CMD_logininfo+2+1.0.4+Late" + T + T);
        const std::optional<QByteArray> stats = late.waitFor("CMD_loadstats+");
        ASSERT_TRUE(stats.has_value());
        EXPECT_TRUE(stats->startsWith("CMD_loadstats+2+" + start.played + "+")) << stats->constData();
        EXPECT_EQ(stats->split('+').value(4), "5"); // rounds
        EXPECT_FALSE(starter.waitFor("CMD_timeup", 1500).has_value());
    }
}
