// Playing with others on a host without a window: the starter, rejoining after a dropped
// connection, and what a player is told when a connection fails. Real windows, a real vrel-host
// process, real sockets on loopback.

#include "tests/client/game_fixture.h"

#include "client/seat_menu.h"
#include "rejoin/connection_words.h"
#include "rejoin/rejoin_schedule.h"
#include "rejoin/rejoiner.h"
#include "tests/support/flooders.h"
#include "tests/support/host_process.h"
#include "tests/support/relay.h"

#include <QAction>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QTcpServer>

using testing_support::Flooders;
using testing_support::HostProcess;
using testing_support::RawClient;
using testing_support::Relay;
using testing_support::settle;
using testing_support::waitUntil;

class PlayingTogether : public GameFixture
{
protected:
    std::unique_ptr<VrelProgram> joinAt(const QString &name, int port, int seat)
    {
        auto program = launch({name, QStringLiteral("127.0.0.1"), QStringLiteral("x")}, port);
        EXPECT_TRUE(waitUntil([&] { return program->session().localSeat() == seat && rowName(*program, seat) == name; }));
        return program;
    }

    // The seat menu as it opens on a seat's name: Remove, Set to Just Watch, Unset Just Watch.
    static QList<bool> seatMenu(VrelProgram &program, int seat)
    {
        SeatMenu &menu = program.chat().seatMenu();
        menu.label_playername1ContextPopup(seat);
        return {menu.removeFromGame()->isEnabled(), menu.setToJustWatch()->isEnabled(), menu.unsetJustWatch()->isEnabled()};
    }

    static bool startsGames(VrelProgram &program)
    {
        return program.chat().startButton()->isVisible() && program.chat().startGameAction()->isEnabled();
    }
};

TEST_F(PlayingTogether, TheStarterPlaysAWholeGameOnADedicatedHostAndTheNextPlayerStartsTheNext)
{
    HostProcess host;
    ASSERT_GT(host.port(), 0);
    auto ann = joinAt(QStringLiteral("Ann"), host.port(), 1);
    auto bob = joinAt(QStringLiteral("Bob"), host.port(), 2);
    ASSERT_TRUE(waitUntil([&] { return rowName(*ann, 2) == "Bob"; }));

    // A second Bob plays under the name the host gives him, is told so, and finds his own row
    // marked; every player's own row is.
    auto bob2 = launch({QStringLiteral("Bob"), QStringLiteral("127.0.0.1"), QStringLiteral("x")}, host.port());
    ASSERT_TRUE(waitUntil([&] { return rowName(*bob2, 3) == "Bob (2)" && rowName(*ann, 3) == "Bob (2)"; }));
    EXPECT_TRUE(chatLines(*bob2).contains("Bob is already at this table: you play as Bob (2).")) << chatText(*bob2).toStdString();
    EXPECT_FALSE(chatText(*bob).contains("already at this table"));
    for (const auto &[program, seat] : {std::pair {bob2.get(), 3}, std::pair {ann.get(), 1}}) {
        const QWidget *mark = program->chat().seatRows().ownRowMark();
        EXPECT_TRUE(mark->isVisible());
        EXPECT_TRUE(mark->geometry().contains(program->chat().seatRows().name(seat)->geometry().center()));
        EXPECT_TRUE(mark->geometry().contains(program->chat().seatRows().words(seat)->geometry().topLeft()));
    }
    screenshot(bob2->chat().board(), QStringLiteral("name-taken-own-row"));
    bob2.reset();
    ASSERT_TRUE(waitUntil([&] { return rowName(*ann, 3) == kWaitingName; }));

    // Ann, in the lowest seat, starts games and may remove anybody but herself; Bob may not.
    EXPECT_TRUE(ann->session().isStarter());
    EXPECT_TRUE(startsGames(*ann));
    EXPECT_FALSE(bob->session().isStarter());
    EXPECT_FALSE(bob->chat().startButton()->isVisible());
    EXPECT_FALSE(bob->chat().startGameAction()->isEnabled());
    EXPECT_EQ(seatMenu(*ann, 1), QList<bool>({false, true, true}));
    EXPECT_EQ(seatMenu(*ann, 2), QList<bool>({true, true, true}));
    EXPECT_EQ(seatMenu(*bob, 1), QList<bool>({false, false, false}));
    // A start that Bob sends anyway is not his to make.
    bob->session().startgame("1", "30");
    settle(300);
    EXPECT_FALSE(chatLines(*ann).contains("Bob has started a game."));

    startGame(*ann, 1, 30);
    ASSERT_TRUE(waitUntil([&] { return chatLines(*bob).contains("Ann has started a game."); }));
    EXPECT_FALSE(ann->chat().startButton()->isVisible());
    fillWords(*ann, 10);
    fillWords(*bob, 10);
    ASSERT_TRUE(waitUntil([&] { return ann->session().winnerState().shown && bob->session().winnerState().shown; }, 40000));
    EXPECT_TRUE(startsGames(*ann));
    EXPECT_FALSE(bob->chat().startButton()->isVisible());

    // Ann leaves: Bob is the starter at once, with the Start button, the dialog and the seat menu,
    // and is told so.
    EXPECT_FALSE(chatLines(*bob).contains("You now start the games."));
    ann->chat().close();
    ann.reset();
    ASSERT_TRUE(waitUntil([&] { return bob->session().isStarter() && startsGames(*bob); }));
    EXPECT_EQ(chatLines(*bob).count("You now start the games."), 1);
    EXPECT_EQ(seatMenu(*bob, 2), QList<bool>({false, true, true}));
    // Cid takes the free seat 1 but not the start: Bob has been at the table longer. Both windows
    // agree with the host, and Bob's open dialog stays.
    QTest::mouseClick(bob->chat().startButton(), Qt::LeftButton);
    ASSERT_TRUE(bob->gamestart().isVisible());
    auto cid = joinAt(QStringLiteral("Cid"), host.port(), 1);
    ASSERT_TRUE(waitUntil([&] { return rowName(*bob, 1) == "Cid"; }));
    settle(200);
    EXPECT_TRUE(bob->session().isStarter());
    EXPECT_FALSE(cid->session().isStarter());
    EXPECT_TRUE(bob->gamestart().isVisible());
    EXPECT_FALSE(cid->chat().startButton()->isVisible());
    EXPECT_EQ(seatMenu(*cid, 2), QList<bool>({false, false, false}));
    EXPECT_EQ(seatMenu(*bob, 1), QList<bool>({true, true, true}));
    cid->session().send(msg::encode(msg::KickHim {1, 2})); // the host takes no removal from Cid either
    settle(300);
    EXPECT_EQ(rowName(*cid, 2), "Bob");
    bob->gamestart().close();

    ASSERT_TRUE(waitUntil([&] { return startsGames(*bob); }));
    startGame(*bob, 1, 30);
    ASSERT_TRUE(waitUntil([&] { return chatLines(*bob).contains("Bob has started a game."); }));
    fillWords(*bob, 1);
    EXPECT_TRUE(host.log().contains("game started: 1 rounds of 30 seconds"));
}

// However the connection ends (a reset from a router that lost its state, an orderly end from a
// relay, nothing listening for a while), the window comes back to its own seat with its score and
// words, though a lower seat is free, and a stranger under its name meanwhile gets neither.
TEST_F(PlayingTogether, ADroppedConnectionRejoinsItsOwnSeatWithItsWordsHoweverItEnds)
{
    HostProcess host;
    ASSERT_GT(host.port(), 0);
    Relay relay(quint16(host.port()));
    auto ann = joinAt(QStringLiteral("Ann"), host.port(), 1);
    auto cid = joinRaw(host.port(), "Cid");
    auto bob = joinAt(QStringLiteral("Bob"), relay.port(), 3);
    cid.reset(); // seat 2 is free: between games nothing is kept
    ASSERT_TRUE(waitUntil([&] { return rowName(*ann, 3) == "Bob" && rowName(*ann, 2) == kWaitingName; }));

    // Round 1 is played out for a score; in round 2 Bob has three words when his line breaks.
    startGame(*ann, 2, 30);
    fillWords(*ann, 10);
    fillWords(*bob, 10);
    ASSERT_TRUE(waitUntil([&] { return bob->session().round() == 2 && bob->session().ownsBoard(); }, 40000));
    const int score = bob->session().seat(3).score;
    EXPECT_GT(score, 0);
    fillWords(*bob, 3);
    const BoardState boardBefore = bob->session().board();
    ASSERT_EQ(boardBefore.captionWord, 4);
    const auto backInHisSeat = [&](int words) {
        ClientSession &session = bob->session();
        EXPECT_EQ(session.localSeat(), 3);
        EXPECT_EQ(rowName(*bob, 3), "Bob");
        EXPECT_EQ(rowName(*ann, 3), "Bob");
        EXPECT_EQ(session.seat(3).score, score);
        EXPECT_EQ(session.seat(3).wordCount.value_or(-1), words);
        EXPECT_EQ(session.board().captionWord, words + 1);
        EXPECT_EQ(session.columnOfSeat(3), 1); // his results stay leftmost
        EXPECT_TRUE(session.spectators().isEmpty());
        EXPECT_EQ(board(*bob).status(), session.board().status); // the progress has gone
        EXPECT_TRUE(boxes.isEmpty()) << boxes.join('|').toStdString();
    };

    // A reset: the board stays, closed to typing, and a line typed meanwhile waits.
    QElapsedTimer sinceReset;
    sinceReset.start();
    relay.resetAll();
    ASSERT_TRUE(waitUntil([&] { return chatLines(*bob).contains("Connection lost. Rejoining..."); }));
    EXPECT_TRUE(bob->chat().stopRejoiningAction()->isVisible());
    EXPECT_EQ(bob->chat().stopRejoiningAction()->text(), "Stop &Rejoining");
    EXPECT_EQ(board(*bob).status(), "Connection lost. Next attempt in 1 s.");
    // The board stays as it was, closed to typing until the seat is back.
    EXPECT_EQ(bob->session().board().words, boardBefore.words);
    EXPECT_FALSE(bob->session().ownsBoard());
    EXPECT_EQ(bob->session().sendit(QStringLiteral("back in a moment")), chat::OutgoingLine::Kind::Chat);
    EXPECT_TRUE(chatLines(*bob).contains("Your line is sent once you are back in the game."));
    ASSERT_TRUE(waitUntil([&] { return chatLines(*bob).contains("Rejoined.") && bob->session().ownsBoard(); }, 3000));
    std::printf("FIGURE reset to seated again: %lld ms\n", static_cast<long long>(sinceReset.elapsed()));
    backInHisSeat(3);
    EXPECT_FALSE(bob->chat().stopRejoiningAction()->isVisible());
    EXPECT_EQ(bob->session().board().words, boardBefore.words);
    ASSERT_TRUE(waitUntil([&] { return chatLines(*ann).contains("Bob chats: back in a moment"); }));
    screenshot(bob->chat().mainchat(), QStringLiteral("rejoined-chat"));
    fillWords(*bob, 1);
    ASSERT_TRUE(waitUntil([&] { return ann->session().seat(3).wordCount.value_or(-1) == 4; }));

    // An orderly end: seat 2, lower, is free, but his own seat waits for him.
    relay.cutAll();
    ASSERT_TRUE(waitUntil([&] { return chatLines(*ann).contains("Bob disconnected."); }));
    ASSERT_TRUE(waitUntil([&] { return chatLines(*bob).filter("Rejoined.").size() == 2 && bob->session().ownsBoard(); }, 5000));
    backInHisSeat(4);

    // Nothing answers for a while: a stranger who logs in under his name meanwhile gets seat 2,
    // another name and seat 2's record; the first attempts are refused, and Bob, once his host
    // answers again, is back in his own seat (no "host ended").
    relay.stopListening();
    relay.cutAll();
    int strangersSeat = 0;
    auto stranger = joinRaw(host.port(), "Bob", &strangersSeat);
    EXPECT_EQ(strangersSeat, 2);
    ASSERT_TRUE(waitUntil([&] { return rowName(*ann, 2) == "Bob (2)"; }));
    EXPECT_EQ(ann->session().seat(2).score, 0);
    EXPECT_EQ(rowName(*ann, 3), kWaitingName);
    settle(1500); // the first attempt, a second after the end, is refused
    EXPECT_LT(chatLines(*bob).filter("Rejoined.").size(), 3);
    ASSERT_TRUE(relay.listenAgain());
    ASSERT_TRUE(waitUntil([&] { return chatLines(*bob).filter("Rejoined.").size() == 3 && bob->session().ownsBoard(); }, 8000));
    backInHisSeat(4);
    EXPECT_EQ(rowName(*ann, 2), "Bob (2)");
    EXPECT_FALSE(chatLines(*bob).contains("The host has ended the game."));

    // The stranger sat down while Bob was away, and was never told of him: when Ann leaves, the
    // stranger starts the games, in Bob's window as on the host, which takes the stranger's
    // removal of Bob.
    ann->chat().close();
    ann.reset();
    ASSERT_TRUE(waitUntil([&] { return rowName(*bob, 1) == kWaitingName; }));
    settle(200);
    EXPECT_FALSE(bob->session().isStarter());
    EXPECT_FALSE(chatLines(*bob).contains("You now start the games."));
    stranger->send(msg::encode(msg::KickHim {2, 3}));
    ASSERT_TRUE(waitUntil([&] { return !bob->session().connected(); }));
    EXPECT_FALSE(bob->rejoiner().active());
}

TEST_F(PlayingTogether, RejoiningGivesUpAfterItsAttemptsOrWhenThePlayerStopsIt)
{
    EXPECT_EQ(rejoinschedule::attemptTimes(), QList<int>({1, 3, 7, 15, 31, 63, 120}));

    HostProcess host;
    ASSERT_GT(host.port(), 0);
    auto relay = std::make_unique<Relay>(quint16(host.port()));
    auto bob = joinAt(QStringLiteral("Bob"), relay->port(), 1);
    Rejoiner &rejoiner = bob->rejoiner();
    rejoiner.setMillisecondsPerSecond(5); // two minutes pass in 0.6 s

    // The first attempt reaches the relay but not the host; every later one is refused.
    relay->hangUpNewcomers();
    relay->cutAll();
    ASSERT_TRUE(waitUntil([&] { return bob->session().rejoining(); }));
    bob->session().sendit(QStringLiteral("are you there"));
    ASSERT_TRUE(waitUntil([&] { return relay->connectionsMade() >= 2; }));
    relay->stopListening();
    ASSERT_TRUE(waitUntil([&] { return chatLines(*bob).contains("Could not rejoin the game."); }, 5000));
    // Not every attempt was refused (the first reached the relay): no "host ended". The line
    // typed meanwhile is told as not sent.
    EXPECT_TRUE(chatLines(*bob).contains("Not sent: are you there"));
    EXPECT_FALSE(rejoiner.active());
    EXPECT_TRUE(bob->chat().isVisible());
    EXPECT_TRUE(boxes.isEmpty()) << boxes.join('|').toStdString();
    EXPECT_EQ(endings, 0);
    EXPECT_EQ(rowName(*bob, 1), "Bob"); // the board as it was

    // Against a host that answers, the player stops trying from File before the first attempt.
    relay = std::make_unique<Relay>(quint16(host.port()));
    auto cid = joinAt(QStringLiteral("Cid"), relay->port(), 1);
    relay->cutAll();
    ASSERT_TRUE(waitUntil([&] { return cid->chat().stopRejoiningAction()->isVisible(); }));
    cid->chat().stopRejoiningAction()->trigger();
    EXPECT_TRUE(chatLines(*cid).contains("Rejoining stopped."));
    EXPECT_FALSE(cid->chat().stopRejoiningAction()->isVisible());
    settle(1500);
    EXPECT_EQ(relay->connectionsMade(), 1);
    EXPECT_FALSE(chatLines(*cid).contains("Rejoined."));
    EXPECT_TRUE(cid->chat().isVisible());

    // Every attempt for the whole two minutes is refused: nothing listens there any more, and
    // the host is taken to have ended the game.
    relay = std::make_unique<Relay>(quint16(host.port()));
    auto dee = joinAt(QStringLiteral("Dee"), relay->port(), 1);
    dee->rejoiner().setMillisecondsPerSecond(5);
    relay->stopListening();
    relay->cutAll();
    ASSERT_TRUE(waitUntil([&] { return !boxes.isEmpty(); }, 5000));
    EXPECT_EQ(boxes, QStringList({"The host has ended the game."}));
    EXPECT_FALSE(chatLines(*dee).contains("Could not rejoin the game."));
    EXPECT_FALSE(dee->rejoiner().active());
    EXPECT_TRUE(dee->chat().isVisible());
    EXPECT_EQ(endings, 0);
}

// A host that stops without a word and starts again on the same port while the window rejoins:
// the window's seat key means nothing to the new game, so it joins that game as a newcomer on a
// clean board; while the new game's table is full it keeps trying.
TEST_F(PlayingTogether, AWindowThatReachesANewGameOnItsAddressIsANewcomerThereAndTriesAgainWhileItIsFull)
{
    auto first = std::make_unique<HostProcess>();
    const int port = first->port();
    ASSERT_GT(port, 0);
    auto bob = joinAt(QStringLiteral("Bob"), port, 1);
    startGame(*bob, 1, 30);
    fillWords(*bob, 2);
    ASSERT_GT(bob->session().seat(1).score + bob->session().seat(1).wordCount.value_or(0), 0);

    first->process().kill();
    first.reset();
    HostProcess second({QStringLiteral("--port"), QString::number(port)});
    ASSERT_EQ(second.port(), port);
    std::vector<std::unique_ptr<RawClient>> table;
    for (int n = 1; n <= 9; ++n)
        table.push_back(joinRaw(port, "P" + QByteArray::number(n)));
    ASSERT_TRUE(waitUntil([&] { return chatLines(*bob).contains("The game is full; trying again."); }, 10000));
    EXPECT_TRUE(bob->rejoiner().active());
    table[4].reset(); // seat 5 is free

    ASSERT_TRUE(waitUntil([&] { return bob->session().connected() && !bob->rejoiner().active(); }, 15000));
    ASSERT_TRUE(waitUntil([&] { return rowName(*bob, 5) == "Bob" && rowName(*bob, 1) == "P1"; }));
    EXPECT_TRUE(chatLines(*bob).contains("Rejoined as a newcomer: the game you were in is over."));
    EXPECT_FALSE(chatLines(*bob).contains("Rejoined."));
    const ClientSession &session = bob->session();
    EXPECT_EQ(session.localSeat(), 5);
    EXPECT_EQ(session.round(), 0);
    EXPECT_EQ(session.seat(5).score, 0);
    EXPECT_EQ(session.board().words, BoardState().words);
    EXPECT_EQ(session.board().captionWord, 0);
    EXPECT_FALSE(session.results().shown);
    EXPECT_EQ(session.columnOfSeat(5), 1);
    EXPECT_FALSE(startsGames(*bob)); // P1 starts the games there
    EXPECT_TRUE(boxes.isEmpty()) << boxes.join('|').toStdString();
}

TEST_F(PlayingTogether, ARefusedAddressIsToldWithItsReasonAndAddress)
{
    // A port that was free a moment ago: nothing listens there.
    QTcpServer probe;
    ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
    const int port = probe.serverPort();
    probe.close();
    auto ann = start({QStringLiteral("Ann"), QStringLiteral("127.0.0.1"), QStringLiteral("x")}, port);
    const QString line = QStringLiteral("Could not connect: 127.0.0.1:%1, connection refused.").arg(port);
    ASSERT_TRUE(waitUntil([&] { return chatLines(*ann).contains(line); }));
    EXPECT_EQ(ann->rejoiner().failedAddress(), QStringLiteral("127.0.0.1:%1").arg(port));
    EXPECT_TRUE(ann->chat().isVisible());
    EXPECT_TRUE(boxes.isEmpty()) << boxes.join('|').toStdString();
    screenshot(ann->chat().mainchat(), QStringLiteral("refused-chat"));
    screenshotBox(QStringLiteral("The host has ended the game."), QStringLiteral("host-ended-box"));
    screenshotBox(connectionwords::portInUseOnCommandLine(7772, 7773), QStringLiteral("port-in-use-box"));
}

TEST(ConnectionWords, ReasonsInAPlayersWords)
{
    EXPECT_EQ(connectionwords::couldNotConnect(QStringLiteral("203.0.113.5:7772"), 10061),
              "Could not connect: 203.0.113.5:7772, connection refused.");
    EXPECT_EQ(connectionwords::reason(10060), "no answer (timed out)");
    EXPECT_EQ(connectionwords::reason(10051), "the address cannot be reached");
    EXPECT_EQ(connectionwords::reason(10065), "the address cannot be reached");
    EXPECT_TRUE(connectionwords::reason(10055).startsWith("network error ("));
    EXPECT_EQ(connectionwords::portInUseOnCommandLine(7772, 7773),
              "Port 7772 is already in use on this computer, perhaps by another game that is hosting. Close that "
              "program, or host on another port, for example 7773 (start with --port 7773).");
    EXPECT_TRUE(connectionwords::portInUse(7772, 7773).endsWith("host on another port, for example 7773."));
    EXPECT_TRUE(connectionwords::portInUseOnCommandLine(7772, 0).endsWith("host on another port."));
}

TEST_F(PlayingTogether, FourFloodersOnTheHostLeaveEveryWindowInTheGameForAMinute)
{
    HostProcess host;
    ASSERT_GT(host.port(), 0);
    auto ann = joinAt(QStringLiteral("Ann"), host.port(), 1);
    auto bob = joinAt(QStringLiteral("Bob"), host.port(), 2);
    // Four players each send a line of 100 smilies 90 times a second: the flood that once made
    // every window eject itself. The host passes on a burst and then three lines a second of each.
    Flooders flooders(host.port(), 4, QByteArray(":)#12").repeated(100), 90);
    ASSERT_EQ(flooders.loggedIn(), 4);
    startGame(*ann, 10, 120);

    // Ann chats every two seconds meanwhile; Bob sees every line of hers.
    QStringList annSaid;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 60000) {
        if (clock.elapsed() / 2000 >= annSaid.size()) {
            annSaid << QStringLiteral("line %1").arg(annSaid.size());
            ann->session().sendit(annSaid.last());
        }
        settle(20);
    }
    flooders.stop();
    ASSERT_TRUE(waitUntil([&] { return chatLines(*bob).contains(QStringLiteral("Ann chats: ") + annSaid.last()); }));
    for (const QString &line : annSaid)
        EXPECT_TRUE(chatLines(*bob).contains(QStringLiteral("Ann chats: ") + line)) << line.toStdString();
    for (VrelProgram *window : {ann.get(), bob.get()}) {
        EXPECT_TRUE(window->session().connected());
        EXPECT_TRUE(window->chat().isVisible());
        EXPECT_EQ(window->session().round(), 1);
    }
    EXPECT_EQ(endings, 0);
    // Each flooder was told, unless its lines came faster than the host handles them (on a busy
    // machine): then it was closed when 256 waited, the host's own ceiling. The host's log says
    // it once for their address.
    EXPECT_EQ(flooders.toldOrClosedUntold, 4);
    EXPECT_GE(flooders.notices, 1);
    EXPECT_EQ(host.log().count("dropped lines sent too fast"), 1) << host.log().constData();
    RecordProperty("flood_lines_sent", flooders.linesSent.load());
    screenshot(&bob->chat(), QStringLiteral("flood-on-a-real-host"));
}
