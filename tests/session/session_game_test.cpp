// Whole games played by client sessions against the host engine in memory: no window, no socket,
// no real clock. Every message travels through the real protocol on both sides.

#include "engine/tserver.h"
#include "session/client_session.h"
#include "session/keys.h"
#include "tests/support/link_pair.h"

#include <gtest/gtest.h>

#include <deque>

using testing_support::PairedLink;

namespace {

const QString kTurnText = QStringLiteral("Type a Word - Press ENTER to submit your word.");

class SessionGame : public ::testing::Test
{
protected:
    struct Player {
        ClientSession session;
        QStringList lines;  // chat lines, system lines without their "0+"
        QStringList sounds;
        int closings = 0;
        int removals = 0;
        int hostEndings = 0;
    };

    SessionGame()
    {
        server.seedRandom(11);
        server.setManualClock(true);
    }

    // A session that connects, is seated and logs in under this name.
    Player &join(const QString &name)
    {
        Player &player = players.emplace_back();
        ClientSession &session = player.session;
        session.setManualDispatch(true);
        session.setManualTurnClock(true);
        session.setPlayer(name, QStringLiteral("127.0.0.1"));
        QObject::connect(&session, &ClientSession::lineAdded, [&player](const QString &line, quint32) {
            player.lines << (line.startsWith(QLatin1String("0+")) ? line.mid(2) : line);
        });
        QObject::connect(&session, &ClientSession::soundRequested, [&player](const QString &s) { player.sounds << s; });
        QObject::connect(&session, &ClientSession::connectionClosed, [&player] { ++player.closings; });
        QObject::connect(&session, &ClientSession::removedFromGame, [&player] { ++player.removals; });
        QObject::connect(&session, &ClientSession::hostEnded, [&player] { ++player.hostEndings; });
        auto [client, host] = PairedLink::make();
        session.setLink(std::move(client));
        server.seatConnection(std::move(host));
        pump();
        return player;
    }

    // Works off everything queued on every side, one message per tick, as the timers would.
    void pump()
    {
        for (bool busy = true; busy;) {
            busy = server.queuedMessages() > 0;
            server.socktimerTimer();
            for (Player &player : players) {
                busy = busy || player.session.queuedMessages() > 0;
                player.session.processsocktimer();
            }
        }
    }

    // The host's phase clock runs until the condition holds.
    bool runHostUntil(const std::function<bool()> &condition)
    {
        for (int second = 0; second < 200 && !condition(); ++second) {
            server.timer1Timer();
            pump();
        }
        return condition();
    }

    // Letters and Enter on the board, as the keys arrive from the window.
    void submit(Player &player, const QByteArray &word)
    {
        for (const char letter : word)
            EXPECT_TRUE(player.session.FormShortCut(keys::A + (letter - 'a')));
        EXPECT_TRUE(player.session.FormShortCut(keys::Enter));
        pump();
    }

    QByteArray source(int word) { return server.puzzle(1, word).source; }

    TServer server;
    std::deque<Player> players;
};

} // namespace

TEST_F(SessionGame, TwoPlayersPlayAWholeGameWithVerdictsAPassTimeUpTheResultsAndTheWinner)
{
    Player &ann = join(QStringLiteral("Ann"));
    Player &bob = join(QStringLiteral("Bob"));
    ClientSession &a = ann.session;
    ClientSession &b = bob.session;
    ASSERT_EQ(a.localSeat(), 1);
    ASSERT_EQ(b.localSeat(), 2);
    EXPECT_TRUE(b.connected());
    EXPECT_EQ(a.seat(2).shownName(), "Bob");
    EXPECT_EQ(b.seat(1).shownName(), "Ann");
    EXPECT_EQ(b.seat(3).shownName(), kWaitingName);
    EXPECT_EQ(b.columnOfSeat(2), 1); // seat 2 finds its own results leftmost
    EXPECT_EQ(bob.lines, QStringList({"You are Connected.", "Ann is Connected."}));
    EXPECT_EQ(ann.lines, QStringList({"You are Connected.", "Bob is Connected."}));

    // Messages that do not fit their layout change nothing.
    for (const char *hostile : {"CMD_newword+2+x+3+abc+", "CMD_hiscount+0+5+", "CMD_hiscount+2+5",
                                "CMD_startround+", "CMD_postscores+0+1+0", "CMD_winner+Eve"})
        b.dispatch(hostile);
    EXPECT_EQ(b.seat(2).wordCount, 0);
    EXPECT_EQ(b.clock().roundCaption(), "Round: 0 of 0");
    EXPECT_FALSE(b.results().shown);
    EXPECT_FALSE(b.winnerState().shown);

    a.startgame("1", "30");
    pump();
    for (Player *player : {&ann, &bob}) {
        const ClientSession &s = player->session;
        EXPECT_EQ(s.board().status, kTurnText);
        EXPECT_TRUE(s.ownsBoard());
        EXPECT_FALSE(s.board().typeInChat);
        EXPECT_EQ(s.clock().roundCaption(), "Round: 1 of 1");
        EXPECT_EQ(s.board().caption(), "First Word");
        EXPECT_EQ(player->sounds.last(), "turn");
        EXPECT_TRUE(player->lines.contains("Ann has started a game."));
    }
    server.puzzle(1, 2) = {"apple", "ap_le"};

    // Ann: the dealt word, then a changed shown letter, a word that is no word, the right one.
    submit(ann, source(1));
    EXPECT_EQ(a.board().caption(), "Second Word");
    EXPECT_TRUE(a.board().marks[0]);
    EXPECT_EQ(b.seat(1).wordCount, 1);
    EXPECT_EQ(ann.sounds.last(), "goodword");
    submit(ann, "apply");
    EXPECT_EQ(a.board().status, "Invalid Match");
    EXPECT_EQ(a.board().entryCodes(), (std::array<int, 5> {0, 0, 0, 0, 0})); // auto erase
    EXPECT_TRUE(a.ownsBoard());
    submit(ann, "zzzzz");
    EXPECT_EQ(a.board().status, "Invalid Word");
    submit(ann, "apple");
    EXPECT_EQ(a.board().caption(), "Third Word");

    // Bob passes the first word (no mark, no count) and gets the second right.
    bob.sounds.clear();
    EXPECT_TRUE(b.FormShortCut(keys::One));
    pump();
    EXPECT_EQ(b.board().caption(), "Second Word");
    EXPECT_FALSE(b.board().marks[0]);
    EXPECT_EQ(bob.sounds, QStringList({"pass"}));
    submit(bob, "apple");
    EXPECT_TRUE(b.board().marks[1]);
    EXPECT_EQ(a.seat(2).wordCount, 1);

    // Ann fills her list: the board empties and the keys go back to the chat.
    for (int word = 3; word <= 10; ++word)
        submit(ann, source(word));
    EXPECT_EQ(a.board().status, "You guessed all the words!");
    EXPECT_FALSE(a.ownsBoard());
    EXPECT_TRUE(a.board().typeInChat);
    EXPECT_TRUE(a.board().goodJob);
    EXPECT_EQ(a.board().caption(), "");
    EXPECT_EQ(b.seat(1).wordCount, 10);

    // Bob's turn clock runs down to nothing, ticking audibly at the end.
    bob.sounds.clear();
    for (int second = 0; second < 31; ++second)
        b.turntimeTimer();
    EXPECT_EQ(b.clock().text(), "Time: 0:00");
    EXPECT_EQ(b.clock().barWidth(), 0);
    EXPECT_EQ(b.clock().colour(), TurnClock::Colour::Hurry);
    EXPECT_EQ(bob.sounds.count("tick"), 12);

    // The host's word phase runs out: time up, then the round's results.
    ASSERT_TRUE(runHostUntil([&] { return b.results().shown; }));
    EXPECT_EQ(b.board().status, "Time is Up.");
    EXPECT_FALSE(b.ownsBoard());
    EXPECT_TRUE(bob.sounds.contains("timeup"));
    EXPECT_EQ(bob.sounds.last(), "postscores");
    const ResultColumn &annsResults = b.results().of(1);
    const ResultColumn &bobsResults = b.results().of(2);
    EXPECT_EQ(annsResults.name, "Ann");
    EXPECT_EQ(annsResults.roundScore, 150); // ten dealt words, all ten, fastest
    EXPECT_TRUE(annsResults.fastest);
    EXPECT_TRUE(annsResults.bonus);
    EXPECT_EQ(annsResults.words.value(1), "APPLE");
    EXPECT_EQ(bobsResults.roundScore, 10);
    EXPECT_FALSE(bobsResults.bonus);
    EXPECT_EQ(bobsResults.words.value(0), QString::fromLatin1(server.puzzle(1, 1).masked));
    EXPECT_EQ(bobsResults.words.value(1), "APPLE");
    EXPECT_EQ(b.results().sourceWords.size(), 10);
    EXPECT_EQ(b.results().roundCaption, "Round: 1 of 1");
    EXPECT_EQ(b.seat(1).score, 150);
    EXPECT_EQ(a.seat(2).score, 10);
    EXPECT_TRUE(a.results().shown);

    // The results run out after the last round: one leader wins.
    ASSERT_TRUE(runHostUntil([&] { return a.winnerState().shown && b.winnerState().shown; }));
    EXPECT_EQ(a.winnerState().text, "You have Won the Game!");
    EXPECT_EQ(b.winnerState().text, "Ann has Won the Game!");
    EXPECT_EQ(b.board().status, "Game Over!");
    EXPECT_EQ(bob.lines.last(), "Ann has Won the Game!");
    EXPECT_EQ(bob.sounds.last(), "winner");

    // The host removes Bob: he is told so and does not come back; Ann sees him go.
    server.disconnectsock(2);
    pump();
    EXPECT_EQ(bob.removals, 1);
    EXPECT_EQ(bob.closings, 0);
    EXPECT_FALSE(b.hasLink());
    EXPECT_FALSE(b.rejoining());
    EXPECT_EQ(ann.lines.last(), "Bob disconnected.");
    EXPECT_FALSE(a.seat(2).occupied);

    // The host ends the game: Ann is told so, and her session does not try to come back.
    server.announceEnding();
    pump();
    EXPECT_EQ(ann.hostEndings, 1);
    EXPECT_EQ(ann.closings, 0);
    EXPECT_FALSE(a.rejoining());
    EXPECT_FALSE(a.hasLink());
}

TEST_F(SessionGame, TheDispatcherRestsWhenIdleWakesForMessagesAndTicksWhileThePhraseLockCounts)
{
    ClientSession fresh;
    fresh.setManualDispatch(true);
    EXPECT_TRUE(fresh.dispatcherRunning()); // for the line the queue starts with
    fresh.processsocktimer();
    EXPECT_FALSE(fresh.dispatcherRunning());

    Player &ann = join(QStringLiteral("Ann"));
    Player &bob = join(QStringLiteral("Bob"));
    ClientSession &a = ann.session;
    EXPECT_FALSE(a.dispatcherRunning());
    EXPECT_FALSE(bob.session.dispatcherRunning());

    // Lines arriving at an idle session wake it; they are shown in their order at its next tick.
    ann.lines.clear();
    bob.session.sendit(QStringLiteral("one"));
    bob.session.sendit(QStringLiteral("two"));
    server.socktimerTimer();
    server.socktimerTimer();
    ASSERT_EQ(a.queuedMessages(), 2);
    EXPECT_TRUE(a.dispatcherRunning());
    a.processsocktimer();
    EXPECT_EQ(ann.lines, QStringList({"2+Bob chats: one", "2+Bob chats: two"}));
    EXPECT_FALSE(a.dispatcherRunning());

    // The phrase lock counts its ticks with nothing queued, and the dispatcher rests once it ends.
    a.b_phrase1Click(1);
    EXPECT_TRUE(a.phraseLocked());
    EXPECT_TRUE(a.dispatcherRunning());
    server.socktimerTimer(); // the action comes back to Ann too
    for (int tick = 0; tick < ClientSession::kPhraseLockTicks; ++tick) {
        ASSERT_TRUE(a.dispatcherRunning()) << tick;
        a.processsocktimer();
    }
    EXPECT_TRUE(a.phraseLocked());
    EXPECT_EQ(a.queuedMessages(), 0);
    a.processsocktimer();
    EXPECT_FALSE(a.phraseLocked());
    EXPECT_FALSE(a.dispatcherRunning());
}

TEST_F(SessionGame, AStarterWhoseNameHoldsPlusesStartsTheGameItChose)
{
    Player &fan = join(QStringLiteral("C++ Fan"));
    Player &ab = join(QStringLiteral("A+B"));
    fan.session.startgame("5", "60");
    pump();
    EXPECT_EQ(server.roundsPerGame(), 5);
    EXPECT_EQ(server.turnSeconds(), 60);
    for (Player *player : {&fan, &ab}) {
        EXPECT_TRUE(player->lines.contains("C++ Fan has started a game.")) << player->lines.join(u'|').toStdString();
        EXPECT_EQ(player->session.clock().roundCaption(), "Round: 1 of 5");
        EXPECT_EQ(player->session.clock().turnSeconds(), 60);
    }
}
