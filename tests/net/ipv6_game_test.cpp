// Copies of the program reach their host over IPv6 as over IPv4, by address or by name, and
// play a round together.

#include "tests/client/game_fixture.h"

using testing_support::waitUntil;

namespace {
const QString kTurnText = QStringLiteral("Type a Word - Press ENTER to submit your word.");
}

class ReachingTheHost : public GameFixture
{
protected:
    // A copy that joins through this address and is seen in this seat.
    std::unique_ptr<VrelProgram> joinThrough(VrelProgram &host, const QString &name, const QString &address, int seat)
    {
        auto program = launch({name, address, QStringLiteral("join")}, portOf(host));
        EXPECT_TRUE(waitUntil([&] {
            return program->session().localSeat() == seat && rowName(host, seat) == name
                   && program->session().queuedMessages() == 0;
        })) << address.toStdString();
        return program;
    }
};

TEST_F(ReachingTheHost, PlayersOverIPv6IPv4AndANamePlayARoundTogether)
{
    auto ann = hostGame(QStringLiteral("Ann"));
    auto bob = joinThrough(*ann, QStringLiteral("Bob"), QStringLiteral("::1"), 2);
    auto cid = joinThrough(*ann, QStringLiteral("Cid"), QStringLiteral("127.0.0.1"), 3);
    auto dee = joinThrough(*ann, QStringLiteral("Dee"), QStringLiteral("localhost"), 4);
    const std::initializer_list<VrelProgram *> players {ann.get(), bob.get(), cid.get(), dee.get()};
    for (VrelProgram *player : players) {
        EXPECT_EQ(rowName(*player, 2), "Bob");
        EXPECT_EQ(rowName(*player, 3), "Cid");
        EXPECT_EQ(rowName(*player, 4), "Dee");
    }

    startGame(*ann, 1, 30);
    ASSERT_TRUE(waitUntil([&] {
        return status(*bob) == kTurnText && status(*cid) == kTurnText && status(*dee) == kTurnText;
    }));
    // Bob, over IPv6, types the dealt word; Cid passes; Dee types nothing.
    const QString first = QString::fromLatin1(ann->server().puzzle(1, 1).source);
    submit(*bob, first);
    ASSERT_TRUE(waitUntil([&] { return label(*bob, "label_wordcount") == "Second Word"; }));
    press(*cid, Qt::Key_1);
    ASSERT_TRUE(waitUntil([&] { return label(*cid, "label_wordcount") == "Second Word"; }));
    ASSERT_TRUE(waitUntil([&] { return label(*cid, "label_words2") == "1" && label(*dee, "label_words2") == "1"; }));

    runHostPhase(*ann);
    ASSERT_TRUE(waitUntil([&] { return settled(players) && shown(*dee, "panel_scores") && shown(*bob, "panel_scores"); }));
    EXPECT_EQ(bob->chat().resultsPanel().roundScore(1)->text(), "Score: 10");
    runHostPhase(*ann);
    ASSERT_TRUE(waitUntil([&] { return shown(*ann, "panel_winner") && shown(*dee, "panel_winner"); }));
    EXPECT_EQ(label(*bob, "label_winner1"), "You have Won the Game!");
    for (VrelProgram *other : {ann.get(), cid.get(), dee.get()})
        EXPECT_EQ(label(*other, "label_winner1"), "Bob has Won the Game!");
    EXPECT_TRUE(boxes.isEmpty()) << boxes.join('|').toStdString();
    screenshot(&bob->chat(), QStringLiteral("ipv6-player-wins"));
}
