// The game on the host, driven one message and one clock tick at a time.

#include "tests/engine/host_fixture.h"

#include <QRegularExpression>

namespace {

const QList<QByteArray> kSources = {"cater", "about", "apple", "brown", "chair",
                                    "dream", "eagle", "flame", "grape", "house"};

QByteArray myword(int seat, const QByteArray &word)
{
    msg::MyWord submitted {seat, {}};
    for (int i = 0; i < proto::kWordLength; ++i)
        submitted.codes[size_t(i)] = i < word.size() ? word.at(i) - 'a' + 1 : 0;
    QByteArray message = msg::encode(submitted);
    message.chop(1);
    return message;
}

// x___x: only the first and last letters are shown.
QByteArray ends(const QByteArray &word)
{
    return word.left(1) + "___" + word.right(1);
}

class HostRules : public HostFixture
{
protected:
    // Starts a game from seat 1 and lays known words into the current row.
    void start(FakeLink *starter, int rounds = 1, int seconds = 60)
    {
        deliver(starter, "CMD_startgame+Ann+" + QByteArray::number(rounds) + '+' + QByteArray::number(seconds) + '+');
        dealKnownWords();
    }
    void dealKnownWords()
    {
        for (int w = 1; w <= 10; ++w)
            server.puzzle(server.roundNumber(), w) = {kSources[w - 1], ends(kSources[w - 1])};
    }
    void submitAll(FakeLink *link, int seat)
    {
        for (int w = 1; w <= 10; ++w)
            deliver(link, myword(seat, kSources[w - 1]));
    }
    // Ticks until a message with this prefix went to the link; returns the ticks taken.
    int ticksUntil(FakeLink *link, const QByteArray &prefix, int limit = 500)
    {
        for (int ticks = 1; ticks <= limit; ++ticks) {
            tick();
            if (!link->takeVerb(prefix).isEmpty())
                return ticks;
        }
        return -1;
    }
};

} // namespace

TEST_F(HostRules, GameStartAnnouncesAndDealsTheFourShapes)
{
    FakeLink *ann = join("Ann");
    FakeLink *bob = join("Bob");
    deliver(ann, "CMD_startgame+Ann+5+60+");
    const QList<QByteArray> toBob = bob->take();
    ASSERT_EQ(toBob.size(), 3);
    EXPECT_EQ(toBob.at(0), "CMD_startgame+Ann+5+60++");
    EXPECT_EQ(toBob.at(1), "CMD_startround+1+");
    EXPECT_EQ(toBob.at(2), "CMD_nextplayer+2+1+" + server.puzzle(1, 1).masked + '+');

    const QRegularExpression shapes(QStringLiteral("^([a-z]_[a-z]_[a-z]|[a-z]___[a-z]|_[a-z]_[a-z]_|_[a-z]{3}_)$"));
    QSet<QByteArray> shapesSeen;
    for (int row = 1; row <= 20; ++row) {
        for (int w = 1; w <= 10; ++w) {
            const TServer::Puzzle &p = server.puzzle(row, w);
            EXPECT_TRUE(server.wordPool().contains(p.source)) << p.source.constData();
            EXPECT_TRUE(shapes.match(QString::fromLatin1(p.masked)).hasMatch()) << p.masked.constData();
            for (int i = 0; i < 5; ++i)
                EXPECT_TRUE(p.masked[i] == '_' || p.masked[i] == p.source[i]);
            QByteArray shape = p.masked;
            for (char &c : shape)
                c = c == '_' ? '_' : 'x';
            shapesSeen << shape;
        }
    }
    EXPECT_EQ(shapesSeen.size(), 4);
    EXPECT_EQ(server.phase(), proto::WordPhase);
    EXPECT_EQ(server.countdown(), 64);
}

TEST_F(HostRules, OnlyTheHostingPlayerStartsAGameAndBadNumbersFallBack)
{
    FakeLink *ann = join("Ann");
    FakeLink *bob = join("Bob");
    clearAll({ann, bob});
    deliver(bob, "CMD_startgame+Bob+3+30+");
    EXPECT_FALSE(server.gameRunning());
    EXPECT_TRUE(ann->take().isEmpty());
    deliver(ann, "CMD_startgame+Ann+many+long+");
    EXPECT_EQ(server.roundsPerGame(), 5);
    EXPECT_EQ(server.turnSeconds(), 60);
}

// The starter is the player who has been at the table longest: it alone starts games (between
// them: a start during a game would wipe every score), removes players and switches others to
// watching. The next longest takes over the moment it leaves; a newcomer in a lower seat does not,
// and a seat that never logged in counts for nothing, neither for the start nor for a newcomer.
TEST_F(HostRules, TheStarterIsThePlayerLongestAtTheTable)
{
    FakeLink *ann = join("Ann");
    FakeLink *bob = join("Bob");
    FakeLink *cid = join("Cid");
    FakeLink *silent = connect(); // seat 4, never logs in
    EXPECT_EQ(server.starterSeat(), 1);
    deliver(bob, "CMD_kickhim+2+3+");
    EXPECT_EQ(cid->closeCalls, 0);

    ann->close();
    EXPECT_EQ(server.starterSeat(), 2);
    clearAll({bob, cid, silent});
    deliver(cid, "CMD_startgame+Cid+3+30+");
    EXPECT_FALSE(server.gameRunning());
    deliver(bob, "CMD_startgame+Bob+3+30+");
    EXPECT_TRUE(server.gameRunning());
    EXPECT_EQ(cid->take().value(0), "CMD_startgame+Bob+3+30++");
    server.seat(3).totalScore = 40;
    deliver(bob, "CMD_startgame+Bob+1+60+");
    EXPECT_TRUE(cid->takeVerb("CMD_startgame").isEmpty());
    EXPECT_EQ(server.roundsPerGame(), 3);
    EXPECT_EQ(server.seat(3).totalScore, 40);
    deliver(bob, "CMD_justwatch+3+1");
    EXPECT_TRUE(server.seat(3).watching);
    deliver(cid, "CMD_justwatch+2+1");
    EXPECT_FALSE(server.seat(2).watching);

    // Dan takes the freed seat 1: he hears of the others longest first, and does not start.
    FakeLink *dan = connect();
    ASSERT_EQ(dan->take().value(0), "CMD_sendlogininfo+1");
    deliver(dan, "CMD_logininfo+1+1.0.4+Dan\xFF");
    EXPECT_EQ(dan->takeVerb("CMD_existingplayers"), QList<QByteArray>({"CMD_existingplayers+2+Bob", "CMD_existingplayers+3+Cid"}));
    EXPECT_EQ(server.starterSeat(), 2);
    deliver(dan, "CMD_kickhim+1+2+");
    EXPECT_EQ(bob->closeCalls, 0);
    deliver(bob, "CMD_kickhim+2+3+");
    EXPECT_EQ(cid->closeCalls, 1);
    EXPECT_FALSE(server.seat(3).inUse);

    bob->close();
    EXPECT_EQ(server.starterSeat(), 1);
    dan->close();
    EXPECT_EQ(server.starterSeat(), 0); // the one left has not logged in
    EXPECT_EQ(silent->closeCalls, 0);
}

// On a hosting copy the copy's own player starts, known by the port its client connects from,
// even when a stranger got in first: nobody else starts until it has logged in.
TEST_F(HostRules, OnAHostingCopyItsOwnPlayerStartsWhoeverCameFirst)
{
    server.setOwnClient(peerAt("127.0.0.1", 50123));
    FakeLink *eve = join("Eve", peerAt("127.0.0.1", 40000));
    FakeLink *sameport = join("Mal", peerAt("192.0.2.9", 50123)); // not from this computer
    deliver(eve, "CMD_startgame+Eve+1+30+");
    deliver(sameport, "CMD_startgame+Mal+1+30+");
    EXPECT_FALSE(server.gameRunning());
    EXPECT_EQ(server.starterSeat(), 0);

    FakeLink *own = join("Ann", peerAt("::ffff:127.0.0.1", 50123));
    EXPECT_EQ(server.starterSeat(), 3);
    FakeLink *newcomer = connect();
    deliver(newcomer, "CMD_logininfo+4+1.0.4+Cid\xFF");
    EXPECT_EQ(newcomer->takeVerb("CMD_existingplayers"),
              QList<QByteArray>({"CMD_existingplayers+3+Ann", "CMD_existingplayers+1+Eve", "CMD_existingplayers+2+Mal"}));
    deliver(own, "CMD_startgame+Ann+1+30+");
    EXPECT_TRUE(server.gameRunning());
}

TEST_F(HostRules, SpectatorGetsTheRoundStartWithAStarForItsWord)
{
    FakeLink *links[7] = {};
    for (int n = 1; n <= 6; ++n)
        links[n] = join("P" + QByteArray::number(n));
    FakeLink *spy = join("Spy");
    deliver(links[1], "CMD_startgame+P1+5+60+");
    EXPECT_EQ(spy->take(), QList<QByteArray>({"CMD_startgame+P1+5+60++", "CMD_startround+1+", "CMD_nextplayer+1+0+*+"}));
}

TEST_F(HostRules, APerfectFastestRoundScores150AndPostscoresListsSixSeats)
{
    FakeLink *ann = join("Ann");
    start(ann);
    ann->take();
    submitAll(ann, 1);
    const QList<QByteArray> replies = ann->take();
    // Each accepted word: the count to all, then the next word; the tenth completes the list.
    EXPECT_EQ(replies.at(0), "CMD_hiscount+1+1+");
    EXPECT_EQ(replies.at(1), "CMD_newword+1+1+2+" + ends(kSources[1]) + '+');
    EXPECT_EQ(replies.at(replies.size() - 3), "CMD_hiscount+1+10+");
    EXPECT_EQ(replies.at(replies.size() - 2), "CMD_allfilled+1+10+");
    EXPECT_EQ(replies.last(), "CMD_alldone+");
    EXPECT_EQ(server.phase(), proto::AllDonePause);

    tick(2);
    EXPECT_TRUE(ann->take().isEmpty());
    tick();
    const QList<QByteArray> scores = ann->take();
    ASSERT_EQ(scores.size(), 1);

    QByteArray expected = "CMD_postscores+1";
    for (const QByteArray &word : kSources)
        expected += "+1+0+" + word;
    expected += "+1+4+25+1+2+150+1+3+150";
    for (int seat = 2; seat <= 6; ++seat) {
        for (const QByteArray &word : kSources)
            expected += '+' + QByteArray::number(seat) + "+1+" + ends(word);
        expected += '+' + QByteArray::number(seat) + "+3+0";
    }
    for (const QByteArray &word : kSources)
        expected += "+0+5+" + word;
    EXPECT_EQ(scores.first(), expected);
    EXPECT_EQ(server.phase(), proto::ResultsPhase);
    EXPECT_EQ(server.countdown(), 15);
}

TEST_F(HostRules, OtherWordsScoreFiveAndOnlyTheFirstToFinishIsFastest)
{
    FakeLink *ann = join("Ann");
    FakeLink *bob = join("Bob");
    start(ann);
    deliver(ann, myword(1, "cover")); // keeps c and r of "cater": accepted, 5 points
    for (int w = 2; w <= 10; ++w)
        deliver(ann, myword(1, kSources[w - 1]));
    EXPECT_EQ(server.fastestSeat(), 1);
    submitAll(bob, 2);
    EXPECT_EQ(server.fastestSeat(), 1);
    clearAll({ann, bob});
    tick(3);
    const QByteArray scores = ann->take().value(0);
    EXPECT_TRUE(scores.startsWith("CMD_postscores+1+1+1+cover+1+0+about")) << scores.constData();
    EXPECT_TRUE(scores.contains("+1+4+25+1+2+145+1+3+145+")); // 25 + 9*10 + 5 + 25
    EXPECT_TRUE(scores.contains("+2+4+25+2+2+125+2+3+125+")); // 10*10 + 25, not fastest
    EXPECT_EQ(server.seat(1).totalScore, 145);
}

TEST_F(HostRules, ASeatThatFilledNothingGetsItsMaskedWordsAndNoRoundScore)
{
    FakeLink *ann = join("Ann");
    join("Bob");
    start(ann);
    deliver(ann, myword(1, "cater"));
    clearAll({ann});
    tick(64);
    const QByteArray scores = ann->takeVerb("CMD_postscores").value(0);
    QByteArray bobs;
    for (const QByteArray &word : kSources)
        bobs += "+2+1+" + ends(word);
    EXPECT_TRUE(scores.contains(bobs + "+2+3+0+3+1+")) << scores.constData();
    EXPECT_TRUE(scores.startsWith("CMD_postscores+0+1+0+cater+1+1+a___t"));
    EXPECT_TRUE(scores.contains("+1+2+10+1+3+10+"));
}

TEST_F(HostRules, ANonWordIsVerdictTwoEvenWithWrongLettersAndAWrongLetterIsVerdictOne)
{
    FakeLink *ann = join("Ann");
    start(ann);
    ann->take();
    deliver(ann, myword(1, "zqxjv"));
    EXPECT_EQ(ann->take(), QList<QByteArray>({"CMD_invalid+1+2+"}));
    deliver(ann, myword(1, "later")); // a word, but "cater" shows c first
    EXPECT_EQ(ann->take(), QList<QByteArray>({"CMD_invalid+1+1+"}));
    // Letter codes outside 1-26 would make a shorter word: it is not a word.
    deliver(ann, "CMD_myword+1+1+3+2+1+3+20+4+5+5+0");
    deliver(ann, "CMD_myword+1+1+3+2+1+3+20+4+5+5+27");
    EXPECT_EQ(ann->take(), QList<QByteArray>({"CMD_invalid+1+2+", "CMD_invalid+1+2+"}));
    EXPECT_EQ(server.seat(1).filledCount, 0);
    EXPECT_EQ(server.seat(1).currentWord, 1);
    // Case and the shown letters: "CATER" typed is sent as codes, so it is the same word.
    deliver(ann, myword(1, "cater"));
    EXPECT_EQ(server.seat(1).filledCount, 1);
}

TEST_F(HostRules, PassesRunForwardAndWrapAround)
{
    FakeLink *ann = join("Ann");
    start(ann);
    ann->take();
    TServer::Seat &seat = server.seat(1);
    for (int w : {1, 2, 5, 6})
        seat.words[size_t(w)] = kSources[w - 1];
    seat.currentWord = 4;
    deliver(ann, "CMD_pass+1"); // without its closing "+" the pass is malformed and dropped
    EXPECT_TRUE(ann->take().isEmpty());
    deliver(ann, "CMD_pass+1+");
    EXPECT_EQ(ann->take(), QList<QByteArray>({"CMD_newword+1+0+7+" + ends(kSources[6]) + '+'}));
    seat.currentWord = 10;
    deliver(ann, "CMD_pass+1+");
    EXPECT_EQ(ann->take(), QList<QByteArray>({"CMD_newword+1+0+3+" + ends(kSources[2]) + '+'}));
    // The only unfilled word passes to itself; a full list answers without a done field.
    for (int w = 1; w <= 10; ++w)
        seat.words[size_t(w)] = w == 3 ? QByteArray() : kSources[w - 1];
    deliver(ann, "CMD_pass+1+");
    EXPECT_EQ(ann->take(), QList<QByteArray>({"CMD_newword+1+0+3+" + ends(kSources[2]) + '+'}));
    seat.words[3] = kSources[2];
    deliver(ann, "CMD_pass+1+");
    EXPECT_EQ(ann->take(), QList<QByteArray>({"CMD_allfilled+1+"}));
}

TEST_F(HostRules, WatchingPlayersAreNotWaitedForAndLateWordsAreRefused)
{
    FakeLink *ann = join("Ann");
    FakeLink *bob = join("Bob");
    FakeLink *cid = join("Cid");
    start(ann);
    deliver(bob, "CMD_justwatch+2+1");
    deliver(ann, "CMD_justwatch+3+1"); // the hosting player switches Cid
    EXPECT_TRUE(server.seat(2).watching && server.seat(3).watching);
    clearAll({ann, bob, cid});
    submitAll(ann, 1);
    EXPECT_EQ(cid->takeVerb("CMD_alldone"), QList<QByteArray>({"CMD_alldone+"}));

    // After the word phase nothing more is stored, so the round is scored once.
    bob->take();
    deliver(bob, myword(2, "cater"));
    deliver(bob, "CMD_pass+2+");
    EXPECT_TRUE(bob->take().isEmpty());
    EXPECT_EQ(server.seat(2).filledCount, 0);
    // A complete list takes no further word either.
    EXPECT_EQ(ticksUntil(ann, "CMD_postscores"), 3);
    EXPECT_EQ(ticksUntil(ann, "CMD_winner"), 15); // one active player: 15 seconds of results
}

TEST_F(HostRules, ACompleteListIgnoresFurtherSubmissions)
{
    FakeLink *ann = join("Ann");
    FakeLink *bob = join("Bob");
    start(ann);
    submitAll(ann, 1);
    clearAll({ann, bob});
    deliver(ann, myword(1, "cater"));
    EXPECT_TRUE(bob->take().isEmpty());
    EXPECT_EQ(server.seat(1).filledCount, 10);
}

TEST_F(HostRules, TheWordPhaseLastsFourSecondsLongerThanTheTurn)
{
    FakeLink *ann = join("Ann");
    FakeLink *bob = join("Bob");
    start(ann, 2, 60);
    clearAll({ann, bob});
    tick(63);
    EXPECT_TRUE(bob->take().isEmpty());
    tick();
    const QList<QByteArray> atEnd = bob->take();
    ASSERT_EQ(atEnd.size(), 2);
    EXPECT_EQ(atEnd.at(0), "CMD_timeup+2+");
    EXPECT_TRUE(atEnd.at(1).startsWith("CMD_postscores+0+"));
    EXPECT_EQ(ann->take().value(0), "CMD_timeup+1+");
    EXPECT_EQ(ticksUntil(bob, "CMD_startround+2+"), 18);
}

TEST_F(HostRules, ResultsLastLongerWithMorePlayers)
{
    const std::pair<int, int> expectations[] = {{1, 15}, {2, 18}, {3, 22}, {4, 22}, {5, 26}, {6, 26}};
    for (const auto &[players, seconds] : expectations) {
        TServer host;
        host.setManualDispatch(true);
        std::vector<FakeLink *> links;
        for (int n = 0; n < players; ++n) {
            auto link = std::make_unique<FakeLink>();
            links.push_back(link.get());
            const int seat = host.seatConnection(std::move(link));
            links.back()->deliver(msg::encode(msg::LoginInfo {seat, proto::kVersion, "P"}));
        }
        host.advanceDispatchClock(TServer::kPace);
        host.startgame({"Ann", "2", "30"});
        for (int t = 0; t < 34; ++t)
            host.timer1Timer();
        EXPECT_EQ(host.phase(), proto::ResultsPhase);
        EXPECT_EQ(host.countdown(), seconds) << players << " players";
    }
    // Nobody active (the only player watches): 18.
    FakeLink *ann = join("Ann");
    start(ann, 2, 30);
    deliver(ann, "CMD_justwatch+1+1");
    tick(34);
    EXPECT_EQ(server.countdown(), 18);
}

TEST_F(HostRules, ATieAddsRoundsUntilOneSeatLeads)
{
    FakeLink *ann = join("Ann");
    FakeLink *bob = join("Bob");
    FakeLink *cid = join("Cid");
    start(ann, 1, 30);
    EXPECT_GT(ticksUntil(ann, "CMD_postscores"), 0);
    server.seat(1).totalScore = 40;
    server.seat(2).totalScore = 55;
    server.seat(3).totalScore = 55;
    clearAll({ann, bob, cid});
    tick(22);
    EXPECT_EQ(cid->takeVerb("CMD_startround"), QList<QByteArray>({"CMD_startround+2+"}));
    EXPECT_TRUE(server.gameRunning());

    EXPECT_GT(ticksUntil(ann, "CMD_postscores"), 0);
    server.seat(1).totalScore = 60;
    server.seat(2).totalScore = 70;
    server.seat(3).totalScore = 65;
    clearAll({ann, bob, cid});
    tick(22);
    EXPECT_EQ(cid->take(), QList<QByteArray>({"CMD_winner+Bob+"}));
    EXPECT_FALSE(server.gameRunning());
    EXPECT_FALSE(server.timer1Running());
}

TEST_F(HostRules, TheWinnerCheckStartsFromTheLowestSeatStillAtTheTable)
{
    FakeLink *ann = join("Ann");
    FakeLink *bob = join("Bob");
    FakeLink *cid = join("Cid");
    start(ann, 1, 30);
    ticksUntil(ann, "CMD_postscores");
    // Seat 1 leads by far and leaves; of those still playing, seat 3 leads seat 2.
    server.seat(1).totalScore = 100;
    server.seat(2).totalScore = 40;
    server.seat(3).totalScore = 50;
    ann->hangUp();
    EXPECT_GT(ticksUntil(bob, "CMD_winner+Cid+"), 0);
    EXPECT_FALSE(server.gameRunning());

    // The same with seats 2 and 3 level: a tie between those left, so the game plays on.
    join("Dee"); // seat 1 again
    deliver(bob, "CMD_startgame+Bob+1+30+"); // the longest at the table starts
    ticksUntil(bob, "CMD_postscores");
    server.seat(2).totalScore = 40;
    server.seat(3).totalScore = 40;
    server.seat(1).totalScore = 0;
    EXPECT_GT(ticksUntil(cid, "CMD_startround+2+"), 0);
    EXPECT_TRUE(server.gameRunning());
}

// A blank name plays under the seat's default name ("Klot", "Klock", "Kling", "Klick", "Krazy"
// for seats 2 to 6), so the winner line names it by that.
TEST_F(HostRules, ABlankNamedWinnerIsCalledByItsSeatsDefaultNameAndASoloPlayerAlwaysWins)
{
    FakeLink *ann = join("Ann");
    FakeLink *anon = join("");
    start(ann, 1, 30);
    ticksUntil(ann, "CMD_postscores");
    server.seat(2).totalScore = 5;
    EXPECT_EQ(ticksUntil(anon, "CMD_winner+Klot+"), 18);

    // With no points at all the only player still wins.
    anon->hangUp();
    clearAll({ann});
    deliver(ann, "CMD_startgame+Ann+1+30+");
    EXPECT_EQ(ticksUntil(ann, "CMD_winner+Ann+", 100), 34 + 15);
}

TEST_F(HostRules, RoundsPastTwentyAreDealtAfreshAndAllAnnouncedAs21)
{
    FakeLink *ann = join("Ann");
    FakeLink *bob = join("Bob");
    start(ann, 20, 30);
    QList<QByteArray> starts;
    for (int t = 0; t < 23 * (34 + 18); ++t) {
        tick();
        starts += bob->takeVerb("CMD_startround");
    }
    ASSERT_GE(starts.size(), 22);
    EXPECT_EQ(starts.at(0), "CMD_startround+1+");
    EXPECT_EQ(starts.at(19), "CMD_startround+20+");
    EXPECT_EQ(starts.at(20), "CMD_startround+21+");
    EXPECT_EQ(starts.at(21), "CMD_startround+21+");
    EXPECT_EQ(server.roundNumber(), 20);
    server.seat(2).totalScore = 1;
    EXPECT_GT(ticksUntil(ann, "CMD_winner+Bob+", 200), 0);
}

TEST_F(HostRules, ALateJoinerIsBroughtUpToDate)
{
    FakeLink *ann = join("Ann");
    FakeLink *cid = connect(); // seat 2, never logs in
    FakeLink *bob = join("Bob"); // seat 3
    start(ann, 5, 60);
    deliver(ann, myword(1, "cater"));
    tick(10);
    cid->hangUp();
    FakeLink *dee = connect();
    ASSERT_EQ(dee->take().value(0), "CMD_sendlogininfo+2");
    deliver(dee, "CMD_logininfo+2+1.0.4+Dee\xFF");
    const QList<QByteArray> got = dee->take();
    ASSERT_EQ(got.size(), 6);
    EXPECT_EQ(got.at(0), "CMD_newplayerinfo+2+Dee");
    EXPECT_TRUE(got.at(1).startsWith("CMD_seatkey+2+")) << got.at(1).constData();
    EXPECT_EQ(got.at(2), "CMD_existingplayers+1+Ann");
    EXPECT_EQ(got.at(3), "CMD_existingplayers+3+Bob");
    EXPECT_EQ(got.at(4), "CMD_newword+2+0+1+" + ends(kSources[0]) + '+');
    EXPECT_EQ(got.at(5), "CMD_loadstats+2+60+50+5+1+1+1+0+1+2+0+0+3+0+0");

    // In the results phase there is no word to hand out; seat 2 is listed even when free.
    ticksUntil(ann, "CMD_postscores");
    join("Eve"); // seat 4
    dee->hangUp();
    ann->hangUp();
    FakeLink *fay = connect(); // seat 5: seats 1 and 2 are kept for Ann and Dee
    ASSERT_EQ(fay->take().value(0), "CMD_sendlogininfo+5");
    deliver(fay, "CMD_logininfo+5+1.0.4+Fay\xFF");
    const QList<QByteArray> late = fay->take();
    EXPECT_FALSE(late.join('|').contains("CMD_newword"));
    EXPECT_EQ(late.last(), "CMD_loadstats+5+60+18+5+1+2+2+0+0+3+0+0+4+0+0+5+0+0");
    Q_UNUSED(bob);
}

// A player who drops during a game finds its seat kept: it comes back to it with its key (its own
// score and words, whatever lower seat is free), and nobody else gets it, not even under its name.
TEST_F(HostRules, ADroppedPlayerGetsItsOwnSeatBackWithItsKeyAndNobodyElseDoes)
{
    FakeLink *ann = join("Ann");
    FakeLink *cid = join("Cid");
    FakeLink *bob = join("Bob"); // seat 3
    const QByteArray key = keys[bob];
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^[0-9a-f]{32}$")).match(QString::fromLatin1(key)).hasMatch()) << key.constData();
    EXPECT_NE(key, keys[cid]);
    cid->hangUp(); // between games: seat 2 is simply free
    EXPECT_FALSE(server.seatKept(2));
    ann->take();
    start(ann, 3, 60);
    for (int w = 1; w <= 3; ++w)
        deliver(bob, myword(3, kSources[w - 1]));
    server.seat(3).totalScore = 42;
    bob->hangUp();
    EXPECT_EQ(ann->takeVerb("CMD_playerdisconnected"), QList<QByteArray>({"CMD_playerdisconnected+3+Bob"}));
    EXPECT_TRUE(server.seatKept(3));

    // A stranger under Bob's name gets the lower free seat, another name, and that seat's record.
    FakeLink *stranger = connect();
    EXPECT_EQ(stranger->take().value(0), "CMD_sendlogininfo+2");
    deliver(stranger, "CMD_reclaimseat+3+" + keys[ann] + '+'); // a key of another seat opens nothing
    deliver(stranger, "CMD_logininfo+2+1.0.4+Bob\xFF");
    const QList<QByteArray> strangers = stranger->take();
    EXPECT_EQ(strangers.value(0), "CMD_newplayerinfo+2+Bob (2)");
    EXPECT_TRUE(strangers.last().endsWith("+1+0+0+2+0+0")) << strangers.last().constData(); // seat 3 is not listed
    EXPECT_TRUE(server.seatKept(3));

    // Bob comes back with his key: the seat he was given (4) is left for his own.
    FakeLink *back = connect();
    EXPECT_EQ(back->take().value(0), "CMD_sendlogininfo+4");
    deliver(back, "CMD_reclaimseat+3+" + key + '+');
    EXPECT_EQ(back->take(), QList<QByteArray>({"CMD_reclaimseat+3+" + key + '+', "CMD_sendlogininfo+3"}));
    deliver(back, "CMD_logininfo+4+1.0.4+Bob\xFF"); // the answer to the first seat: dropped
    EXPECT_TRUE(back->take().isEmpty());
    logIn(back, 3, "Bob");
    EXPECT_FALSE(server.seat(4).inUse);
    EXPECT_FALSE(server.seatKept(3));
    // The stranger sat down while he was away, never told of him: Bob comes after the stranger.
    EXPECT_EQ(server.seatsBySeniority(), QList<int>({1, 2, 3}));
    EXPECT_EQ(server.seat(3).name, "Bob");
    EXPECT_NE(keys[back], key); // every login gets a key of its own
    clearAll({ann, stranger});
    deliver(back, myword(3, kSources[3]));
    EXPECT_EQ(back->takeVerb("CMD_hiscount"), QList<QByteArray>({"CMD_hiscount+3+4+"}));
    EXPECT_EQ(server.seat(3).totalScore, 42);

    // His old connection, still seated when he comes back (its path died without a word), is
    // closed without a departure; the new one takes the seat.
    FakeLink *again = connect();
    again->take();
    deliver(again, "CMD_reclaimseat+3+" + keys[back] + '+');
    EXPECT_EQ(back->closeCalls, 1);
    EXPECT_EQ(again->take().value(1), "CMD_sendlogininfo+3");
    logIn(again, 3, "Bob");
    EXPECT_TRUE(ann->takeVerb("CMD_playerdisconnected").isEmpty());

    // A removed player hears its own departure first, and its seat is not kept for it.
    deliver(ann, "CMD_kickhim+1+3+");
    EXPECT_EQ(again->takeVerb("CMD_playerdisconnected"), QList<QByteArray>({"CMD_playerdisconnected+3+Bob"}));
    EXPECT_EQ(again->closeCalls, 1);
    EXPECT_FALSE(server.seatKept(3));
    FakeLink *last = connect();
    EXPECT_EQ(last->take().value(0), "CMD_sendlogininfo+3");
    deliver(last, "CMD_reclaimseat+3+" + keys[again] + '+');
    EXPECT_TRUE(last->take().isEmpty());

    // The starter who drops hands the start on while away, and takes it back on return.
    ann->hangUp();
    EXPECT_EQ(server.starterSeat(), 2);
    deliver(last, "CMD_reclaimseat+1+" + keys[ann] + '+');
    logIn(last, 1, "Ann");
    EXPECT_EQ(server.starterSeat(), 1);
}

// A kept seat is free again after two minutes without its player, and when the game ends. While
// every other seat is taken, a newcomer is given a moment to show a key before the game is full.
TEST_F(HostRules, AKeptSeatIsFreedAfterTwoMinutesOrAtTheGamesEndAndAFullTableWaitsForAKey)
{
    std::vector<FakeLink *> table;
    for (const char *name : {"Ann", "Bob", "Cid", "Dee", "Eve", "Fay", "Gus", "Hal", "Ida"})
        table.push_back(join(name));
    start(table[0], 3, 60);
    FakeLink *fay = table[5];
    fay->hangUp();
    EXPECT_TRUE(server.seatKept(6));

    FakeLink *newcomer = connect();
    EXPECT_TRUE(newcomer->take().isEmpty());
    for (int t = 1; t < TServer::kReclaimTicks; ++t)
        server.logintimerTimer();
    EXPECT_EQ(newcomer->closeCalls, 0);
    server.logintimerTimer();
    EXPECT_EQ(newcomer->take(), QList<QByteArray>({"CMD_full+"}));
    EXPECT_EQ(newcomer->closeCalls, 1);

    // Fay's key, read before anything else, seats her in her own seat at once.
    FakeLink *back = connect();
    deliver(back, "CMD_reclaimseat+6+" + keys[fay] + '+');
    EXPECT_EQ(back->take(), QList<QByteArray>({"CMD_reclaimseat+6+" + keys[fay] + '+', "CMD_sendlogininfo+6"}));
    logIn(back, 6, "Fay");
    EXPECT_TRUE(server.loggedIn(6));
    EXPECT_EQ(server.seatsBySeniority(), QList<int>({1, 2, 3, 4, 5, 6, 7, 8, 9})); // her place too

    back->hangUp();
    tick(SeatReservations::kKeptSeconds - 1);
    EXPECT_TRUE(server.seatKept(6));
    tick();
    EXPECT_FALSE(server.seatKept(6));
    FakeLink *late = connect();
    EXPECT_EQ(late->take().value(0), "CMD_sendlogininfo+6");
    late->hangUp();

    table[1]->hangUp();
    EXPECT_TRUE(server.seatKept(2));
    ASSERT_EQ(server.phase(), proto::WordPhase);
    for (int w = 1; w <= 10; ++w) // Ann leads, so that the game ends
        deliver(table[0], myword(1, server.puzzle(server.roundNumber(), w).source));
    EXPECT_GT(ticksUntil(table[0], "CMD_winner+"), 0);
    EXPECT_FALSE(server.seatKept(2));
}

TEST_F(HostRules, MessagesQueuedFromAClosedConnectionAreNeverCreditedToTheNextOccupant)
{
    FakeLink *ann = join("Ann");
    FakeLink *bob = join("Bob");
    ann->take();
    bob->deliver("CMD_chat+2+from the old connection|clRed\xFF");
    bob->hangUp();
    FakeLink *newcomer = connect();
    EXPECT_EQ(newcomer->take().value(0), "CMD_sendlogininfo+2");
    dispatchAll();
    EXPECT_EQ(ann->take(), QList<QByteArray>({"CMD_playerdisconnected+2+Bob"}));
}

TEST_F(HostRules, ADisconnectIsAnnouncedOnceHoweverOftenTheSocketCloses)
{
    FakeLink *ann = join("Ann");
    FakeLink *bob = join("Bob");
    ann->take();
    bob->hangUp();  // the host closes it: one report
    bob->close();   // and again: the seat is already free
    EXPECT_EQ(ann->take(), QList<QByteArray>({"CMD_playerdisconnected+2+Bob"}));
    EXPECT_FALSE(server.seat(2).inUse);
    EXPECT_TRUE(server.seat(2).name.isEmpty());
}
