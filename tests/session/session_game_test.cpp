// Whole games played by client sessions against the host engine in memory: no window, no socket,
// no real clock. Every message travels through the real protocol on both sides.

#include "tests/session/session_game.h"

using namespace std::chrono_literals;

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
    EXPECT_EQ(a.board().mark(1), WordRecord::Mark::Done);
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
    EXPECT_EQ(b.board().mark(1), WordRecord::Mark::None);
    EXPECT_EQ(bob.sounds, QStringList({"pass"}));
    submit(bob, "apple");
    EXPECT_EQ(b.board().mark(2), WordRecord::Mark::Done);
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

TEST_F(SessionGame, TheDispatcherRunsOnlyForArrivalsAndThePhraseLockHoldsASecondAndAHalf)
{
    ClientSession fresh;
    fresh.setManualDispatch(true);
    EXPECT_TRUE(fresh.dispatcherRunning()); // for the line the queue starts with
    fresh.advanceDispatchClock(0ns);
    EXPECT_EQ(fresh.queuedMessages(), 0);
    EXPECT_FALSE(fresh.dispatcherRunning());

    Player &ann = join(QStringLiteral("Ann"));
    Player &bob = join(QStringLiteral("Bob"));
    ClientSession &a = ann.session;
    EXPECT_FALSE(a.dispatcherRunning());
    EXPECT_FALSE(bob.session.dispatcherRunning());

    // Lines arriving at an idle session are handled at once, in their order.
    ann.lines.clear();
    bob.session.sendit(QStringLiteral("one"));
    bob.session.sendit(QStringLiteral("two"));
    server.advanceDispatchClock(TServer::kPace);
    ASSERT_EQ(a.queuedMessages(), 2);
    EXPECT_TRUE(a.dispatcherRunning());
    a.advanceDispatchClock(0ns);
    EXPECT_EQ(ann.lines, QStringList({"2+Bob chats: one", "2+Bob chats: two"}));
    EXPECT_FALSE(a.dispatcherRunning());

    // The phrase lock holds for its time, whatever arrives meanwhile, with no dispatcher running
    // for it.
    a.b_phrase1Click(1);
    server.advanceDispatchClock(0ns);
    a.advanceDispatchClock(ClientSession::kPhraseLock - 1ns);
    EXPECT_TRUE(a.phraseLocked());
    EXPECT_TRUE(ann.lines.last().endsWith(QLatin1String("Way To Go!")));
    EXPECT_FALSE(a.dispatcherRunning());
    a.b_phrase1Click(2);
    EXPECT_EQ(server.queuedMessages(), 0);
    a.advanceDispatchClock(1ns);
    EXPECT_FALSE(a.phraseLocked());
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

// A player whose name is taken is told under which name it plays; when the starter leaves, the
// player who starts the games from then on is told so, and nobody else.
TEST_F(SessionGame, ATakenNameAndTheStartPassedOnAreTold)
{
    Player &first = join(QStringLiteral("Anna"));
    Player &second = join(QStringLiteral("Anna"));
    Player &cid = join(QStringLiteral("Cid"));
    ASSERT_EQ(second.session.seat(2).name, "Anna (2)");
    EXPECT_TRUE(second.lines.contains("Anna is already at this table: you play as Anna (2).")) << second.lines.join(u'|').toStdString();
    for (const Player *player : {&first, &cid})
        EXPECT_TRUE(player->lines.filter(QStringLiteral("already at this table")).isEmpty());

    first.session.leaveGame();
    pump();
    EXPECT_TRUE(second.session.isStarter());
    EXPECT_EQ(second.lines.count("You now start the games."), 1);
    EXPECT_FALSE(cid.lines.contains("You now start the games."));
    cid.session.leaveGame();
    pump();
    EXPECT_EQ(second.lines.count("You now start the games."), 1);

    // Whatever number a host adds, and wherever it cuts a long name to make room for it; a name
    // changed for another reason is told as it is.
    const QString longName(32, u'n');
    const struct {
        QString asked, given, told;
    } cases[] = {
        {"Anna", "Anna2", "Anna is already at this table: you play as Anna2."},
        {"Anna", "Anna-3", "Anna is already at this table: you play as Anna-3."},
        {"Bob 2", "Bob 2 [2]", "Bob 2 is already at this table: you play as Bob 2 [2]."},
        {longName, longName.left(28) + " (2)", longName + " is already at this table: you play as " + longName.left(28) + " (2)."},
        {"Ann chats", "Ann", "You play as Ann."},
        {"", "Klot", "You play as Klot."},
        {" Anna ", "Anna", ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(notices::givenName(c.asked, c.given), c.told) << c.given.toStdString();
}

// A player whose connection drops during a game comes back to its seat and to its place among
// those longest at the table, in every window as on the host; unless somebody new sat down while
// it was away, who was never told of it: then it comes after that newcomer everywhere.
TEST_F(SessionGame, APlayerBackInItsSeatKeepsItsPlaceUnlessSomebodyNewCameMeanwhile)
{
    Player &ann = join(QStringLiteral("Ann"));
    Player &bob = join(QStringLiteral("Bob"));
    ann.session.startgame("3", "60");
    pump();
    ASSERT_TRUE(server.gameRunning());
    const auto starters = [&](std::initializer_list<Player *> table) {
        QList<int> seats;
        for (Player *player : table) {
            if (player->session.isStarter())
                seats << player->session.localSeat();
        }
        return seats;
    };

    ann.link->close();
    pump();
    ASSERT_TRUE(ann.session.rejoining());
    EXPECT_EQ(server.starterSeat(), 2);
    EXPECT_EQ(starters({&bob}), QList<int>({2}));
    EXPECT_EQ(bob.lines.count("You now start the games."), 1);
    connect(ann);
    ASSERT_EQ(ann.session.localSeat(), 1);
    EXPECT_EQ(server.starterSeat(), 1);
    EXPECT_EQ(starters({&ann, &bob}), QList<int>({1}));

    // Away again, Cid comes meanwhile: Ann comes back after him, and Bob starts.
    ann.link->close();
    pump();
    Player &cid = join(QStringLiteral("Cid"));
    connect(ann);
    ASSERT_EQ(ann.session.localSeat(), 1);
    EXPECT_EQ(server.seatsBySeniority(), QList<int>({2, 3, 1}));
    EXPECT_EQ(starters({&ann, &bob, &cid}), QList<int>({2}));
    bob.link->close();
    pump();
    EXPECT_EQ(server.starterSeat(), 3);
    EXPECT_EQ(starters({&ann, &cid}), QList<int>({3}));
}
