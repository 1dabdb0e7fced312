// What a player who follows the game by ear hears: the announcer speaks a whole game's events as
// the sessions play it against the host engine, and the board, the seats and the results read as
// words.

#include "accessibility/announcer.h"
#include "accessibility/spoken.h"
#include "tests/session/session_game.h"
#include "tests/support/qt_printers.h"

#include <memory>

namespace {

struct Heard {
    QString text;
    Announcer::Urgency urgency;
};

} // namespace

class HeardGame : public SessionGame
{
protected:
    // What the player hears from now on.
    QList<Heard> &listen(Player &player)
    {
        QList<Heard> &heard = hearings.emplace_back();
        announcers.push_back(std::make_unique<Announcer>(player.session, [&heard](const QString &text, Announcer::Urgency urgency) {
            heard.append({text, urgency});
        }));
        return heard;
    }
    static QStringList texts(const QList<Heard> &heard)
    {
        QStringList all;
        for (const Heard &h : heard)
            all << h.text;
        return all;
    }
    QString masked(int word) { return spoken::letters(server.puzzle(1, word).masked); }
    QString upper(int word) { return QString::fromLatin1(source(word)).toUpper(); }

    std::deque<QList<Heard>> hearings;
    std::vector<std::unique_ptr<Announcer>> announcers;
};

TEST_F(HeardGame, APlayerHearsTheTurnEachVerdictThePassTheLastSecondsTheResultsAndTheWinner)
{
    Player &ann = join(QStringLiteral("Ann"));
    QList<Heard> &annHears = listen(ann);
    Player &bob = join(QStringLiteral("Bob"));
    QList<Heard> &bobHears = listen(bob);
    ClientSession &a = ann.session;
    ClientSession &b = bob.session;
    ASSERT_EQ(annHears.size(), 1);
    EXPECT_EQ(annHears[0].text, "Bob is Connected.");
    EXPECT_EQ(annHears[0].urgency, Announcer::Urgency::Polite);
    EXPECT_TRUE(bobHears.isEmpty()); // nobody came after Bob

    a.startgame("1", "30");
    pump();
    server.puzzle(1, 2) = {"apple", "ap_le"};
    EXPECT_EQ(texts(annHears).last(), "Your turn. Word 1 of 10, " + masked(1) + ".");
    EXPECT_EQ(annHears.last().urgency, Announcer::Urgency::Assertive);
    EXPECT_EQ(b.board().status, kTurnText);

    // Accepted, the next word said with it; refused with the host's reason; refused before sending.
    submit(ann, source(1));
    EXPECT_EQ(texts(annHears).last(), upper(1) + " accepted. Word 2 of 10, A P blank L E.");
    submit(ann, "apply");
    EXPECT_EQ(texts(annHears).last(), "APPLY refused: Invalid Match");
    EXPECT_EQ(spoken::answerCell(a.board(), 2), "your word: APPLY, refused, Invalid Match");
    for (const char letter : QByteArray("ap"))
        a.FormShortCut(keys::A + (letter - 'a'));
    EXPECT_EQ(spoken::answerCell(a.board(), 2), "your word so far: AP");
    a.FormShortCut(keys::Enter);
    EXPECT_EQ(texts(annHears).last(), "AP refused: Invalid Word");
    a.FormShortCut(keys::Zero);
    submit(ann, "apple");
    EXPECT_EQ(texts(annHears).last(), "APPLE accepted. Word 3 of 10, " + masked(3) + ".");

    // The board read cell by cell: the words dealt so far and what Ann made of them.
    const BoardState &board = a.board();
    EXPECT_EQ(spoken::wordCell(board, 1), "word 1 of 10, " + masked(1));
    EXPECT_EQ(spoken::wordCell(board, 2), "word 2 of 10, A P blank L E");
    EXPECT_EQ(spoken::wordCell(board, 4), "word 4 of 10, not dealt yet");
    EXPECT_EQ(spoken::answerCell(board, 1), "your word: " + upper(1) + ", accepted");
    EXPECT_EQ(spoken::answerCell(board, 2), "your word: APPLE, accepted");
    EXPECT_EQ(spoken::answerCell(board, 3), "no word yet");
    EXPECT_EQ(board.mark(2), WordRecord::Mark::Done);
    EXPECT_EQ(spoken::seatItem(1, b.seat(1)), "Ann, 0 points, 2 words");
    EXPECT_EQ(spoken::seatItem(4, b.seat(4)), "seat 4, waiting for a player");

    // Bob passes the first word and hears the second; three seconds later he asks for the board.
    b.FormShortCut(keys::One);
    pump();
    EXPECT_EQ(texts(bobHears).last(), "Passed. Word 2 of 10, A P blank L E.");
    for (int second = 0; second < 3; ++second)
        b.turntimeTimer();
    b.FormShortCut(keys::A);
    announcers[1]->speakSummary();
    EXPECT_EQ(texts(bobHears).last(), "Round 1 of 1. 27 seconds left. 0 of 10 words filled. Your score 0 points, 1st of 2. "
                                      "Now word 2 of 10, A P blank L E, your word so far: A.");
    b.FormShortCut(keys::Backspace);
    submit(bob, "apple");

    // Ann fills her list; Bob's clock runs out, said once at ten seconds.
    for (int word = 3; word <= 10; ++word)
        submit(ann, source(word));
    EXPECT_EQ(texts(annHears).last(), upper(10) + " accepted. You guessed all the words!");
    const qsizetype before = bobHears.size();
    for (int second = 3; second < 31; ++second)
        b.turntimeTimer();
    EXPECT_EQ(texts(bobHears).mid(before), QStringList({"10 seconds left."}));

    ASSERT_TRUE(runHostUntil([&] { return b.results().shown; }));
    EXPECT_TRUE(texts(bobHears).contains("Time is Up."));
    EXPECT_EQ(texts(annHears).last(), "Round 1 of 1 scored. You made 150 points, 1st of 2 with 150 points.");
    EXPECT_EQ(texts(bobHears).last(), "Round 1 of 1 scored. You made 10 points, 2nd of 2 with 10 points.");
    const QString results = spoken::results(b);
    EXPECT_TRUE(results.startsWith("Round: 1 of 1 results. Bob: 10 points, words ")) << results.toStdString();
    EXPECT_TRUE(results.contains("Ann: 150 points, fastest, bonus, words " + upper(1) + ", APPLE, ")) << results.toStdString();
    EXPECT_TRUE(results.contains("Original Words: " + QString::fromLatin1(source(1)) + ", apple, ")) << results.toStdString();

    ASSERT_TRUE(runHostUntil([&] { return a.winnerState().shown && b.winnerState().shown; }));
    EXPECT_EQ(texts(annHears).last(), "You have Won the Game!");
    EXPECT_EQ(texts(bobHears).last(), "Ann has Won the Game!");
    server.disconnectsock(2);
    pump();
    EXPECT_EQ(texts(annHears).last(), "Bob disconnected.");
    EXPECT_EQ(annHears.last().urgency, Announcer::Urgency::Polite);
}

TEST_F(HeardGame, OthersChatIsReadWhileTheOptionIsOnAndAnOnlookerHearsTheLeader)
{
    Player &ann = join(QStringLiteral("Ann"));
    QList<Heard> &annHears = listen(ann);
    for (const char *name : {"Bob", "Cy", "Di", "Ed", "Flo"})
        join(QString::fromLatin1(name));
    Player &gus = join(QStringLiteral("Gus"));
    QList<Heard> &gusHears = listen(gus);
    ASSERT_TRUE(gus.session.isSpectator());
    EXPECT_EQ(texts(annHears).last(), "Gus is spying.");

    annHears.clear();
    players[1].session.sendit(QStringLiteral("hi :)#12 there"));
    ann.session.sendit(QStringLiteral("my own line"));
    pump();
    ASSERT_EQ(annHears.size(), 1);
    EXPECT_EQ(annHears[0].text, "Bob chats: hi smiley there");
    EXPECT_EQ(annHears[0].urgency, Announcer::Urgency::Polite);
    EXPECT_TRUE(texts(gusHears).contains("Ann chats: my own line"));

    ann.session.setReadChatAloud(false);
    players[1].session.sendit(QStringLiteral("unheard"));
    pump();
    EXPECT_EQ(annHears.size(), 1);

    announcers[1]->speakSummary();
    EXPECT_EQ(texts(gusHears).last(), "No game yet. You are watching. Ann, Bob, Cy, Di, Ed and Flo lead with 0 points. "
                                      "Welcome to Vrel by Kovren Software.");
}
