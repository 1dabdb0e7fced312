// Whole games played from the keyboard and the mouse against the real host in the test process:
// turns, verdicts, passes, a complete list, time up, the results, ties, the winner, spectators
// and late joiners. The host's phases move when the test runs its clock.

#include "tests/client/game_fixture.h"
#include "tests/support/relay.h"

#include "chat/chatentry.h"
#include "client/seat_rows.h"
#include "resources/art/palette.h"
#include "tests/art/probe.h"

#include <QAction>

#include <deque>

using testing_support::RawClient;
using testing_support::settle;
using testing_support::waitUntil;

namespace {
const QString kTurnText = QStringLiteral("Type a Word - Press ENTER to submit your word.");

QColor textColour(const QLabel *label)
{
    return label->palette().color(QPalette::WindowText);
}

// How the clock's text reads against what lies behind it, taken from the window's pixels: the
// board drawn with the text and without it. Every glyph, split where the bar ends under it, reads
// as well as its strongest pixel against the pixel behind it; `worst` is the weakest glyph part.
struct ClockContrast {
    qreal worst = 21;
    int overBar = 0;    // glyph parts measured over the bar
    int overTrough = 0; // and over the trough where the bar has gone
};

ClockContrast clockContrast(QWidget *board, QLabel *clock, const QLabel *bar)
{
    const QRect area = clock->geometry();
    const QImage with = board->grab(area).toImage().convertToFormat(QImage::Format_RGB32);
    clock->hide();
    const QImage without = board->grab(area).toImage().convertToFormat(QImage::Format_RGB32);
    clock->show();
    const int barEnd = bar->geometry().right() + 1 - area.left();
    const int w = with.width(), h = with.height();
    const auto textAt = [&](int x, int y) { return probe::contrast(with.pixelColor(x, y), without.pixelColor(x, y)) > 1.25; };
    std::vector<bool> seen(size_t(w * h), false);
    ClockContrast result;
    for (int y0 = 0; y0 < h; ++y0) {
        for (int x0 = 0; x0 < w; ++x0) {
            if (seen[size_t(y0 * w + x0)] || !textAt(x0, y0))
                continue;
            const bool onBar = x0 < barEnd;
            int size = 0, left = x0, right = x0;
            qreal best = 1;
            std::deque<QPoint> next {{x0, y0}};
            seen[size_t(y0 * w + x0)] = true;
            while (!next.empty()) {
                const QPoint p = next.front();
                next.pop_front();
                ++size;
                left = std::min(left, p.x());
                right = std::max(right, p.x());
                best = std::max(best, probe::contrast(with.pixelColor(p), without.pixelColor(p)));
                for (int dy = -1; dy <= 1; ++dy) {
                    for (int dx = -1; dx <= 1; ++dx) {
                        const QPoint q = p + QPoint(dx, dy);
                        if (q.x() < 0 || q.y() < 0 || q.x() >= w || q.y() >= h || seen[size_t(q.y() * w + q.x())]
                            || (q.x() < barEnd) != onBar || !textAt(q.x(), q.y()))
                            continue;
                        seen[size_t(q.y() * w + q.x())] = true;
                        next.push_back(q);
                    }
                }
            }
            // The fringe of a glyph whose body lies across the bar's end (its smoothed edge, narrower
            // than a stroke) shows no colour of the text's own to measure.
            const bool fringe = right - left < 2 && (left == barEnd || right == barEnd - 1);
            if (size < 6 || fringe)
                continue;
            result.worst = std::min(result.worst, best);
            ++(onBar ? result.overBar : result.overTrough);
        }
    }
    return result;
}
} // namespace

class GamePlay : public GameFixture
{
protected:
    static QByteArray source(VrelProgram &host, int round, int word) { return host.server().puzzle(round, word).source; }
    static QStringList masked(VrelProgram &host, int round)
    {
        QStringList words;
        for (int w = 1; w <= 10; ++w)
            words << QString::fromLatin1(host.server().puzzle(round, w).masked);
        return words;
    }
    // Deals a word of the running round before any player reached it.
    static void deal(VrelProgram &host, int round, int word, const QByteArray &source, const QByteArray &maskedWord)
    {
        host.server().puzzle(round, word) = {source, maskedWord};
    }
    static QString caption(VrelProgram &program) { return label(program, "label_wordcount"); }
    static bool waitForCaption(VrelProgram &program, const QString &text)
    {
        return waitUntil([&] { return caption(program) == text && ownsBoard(program); });
    }
};

TEST_F(GamePlay, ASoloPlayerFillsTheListAfterAVerdictAndSeesTheResultsAndTheWin)
{
    auto ann = hostGame(QStringLiteral("Ann"));
    startGame(*ann, 1, 60);
    ASSERT_TRUE(waitUntil([&] { return status(*ann) == kTurnText; }));
    EXPECT_FALSE(ann->gamestart().isVisible());
    EXPECT_FALSE(ann->chat().startButton()->isVisible());
    EXPECT_TRUE(chatLines(*ann).contains("Ann has started a game."));
    EXPECT_EQ(label(*ann, "label_roundnum"), "Round: 1 of 1");
    EXPECT_EQ(soundsOf(*ann).last(), "turn");
    deal(*ann, 1, 2, "apple", "ap_le");
    deal(*ann, 1, 3, "crane", "cr__e");

    submit(*ann, QString::fromLatin1(source(*ann, 1, 1)));
    ASSERT_TRUE(waitForCaption(*ann, "Second Word"));
    EXPECT_EQ(label(*ann, "label_words1"), "1");
    for (int second = 0; second < 3; ++second)
        ann->session().turntimeTimer();
    type(*ann, QStringLiteral("ap"));
    screenshot(ann->chat().board(), QStringLiteral("board-turn"));
    press(*ann, Qt::Key_0);

    // A word that changes a shown letter: "Invalid Match", and auto erase empties the row.
    soundsOf(*ann).clear();
    submit(*ann, QStringLiteral("apply"));
    ASSERT_TRUE(waitUntil([&] { return status(*ann) == QLatin1String("Invalid Match"); }));
    EXPECT_EQ(codes(*ann, true), (std::vector<int> {0, 0, 0, 0, 0}));
    EXPECT_EQ(soundsOf(*ann).mid(5), QStringList({"clear", "invalid"}));
    EXPECT_TRUE(ownsBoard(*ann));

    submit(*ann, QStringLiteral("apple"));
    ASSERT_TRUE(waitForCaption(*ann, "Third Word"));
    submit(*ann, QStringLiteral("crate")); // accepted, though not the dealt word
    ASSERT_TRUE(waitForCaption(*ann, "Fourth Word"));
    for (int word = 4; word <= 9; ++word) {
        submit(*ann, QString::fromLatin1(source(*ann, 1, word)));
        ASSERT_TRUE(waitForCaption(*ann, BoardState::wordCaption(word + 1))) << word;
    }
    EXPECT_EQ(caption(*ann), "Last Word");
    soundsOf(*ann).clear();
    submit(*ann, QString::fromLatin1(source(*ann, 1, 10)));

    // The tenth word: the list is complete and, with no one else playing, so is the round.
    ASSERT_TRUE(waitUntil([&] { return status(*ann) == QLatin1String("All players completed the list."); }));
    EXPECT_TRUE(soundsOf(*ann).contains("allfilled"));
    EXPECT_TRUE(shown(*ann, "image_goodjob"));
    EXPECT_TRUE(shown(*ann, "image_check10"));
    for (int word = 1; word <= 10; ++word)
        EXPECT_TRUE(shown(*ann, QStringLiteral("image_check%1").arg(word).toLatin1().constData())) << word;
    EXPECT_EQ(codes(*ann, false), (std::vector<int>(5, -1)));
    EXPECT_EQ(codes(*ann, true), (std::vector<int>(5, -1)));
    EXPECT_EQ(caption(*ann), "");
    EXPECT_FALSE(shown(*ann, "button_pass"));
    EXPECT_TRUE(ann->session().board().typeInChat);
    EXPECT_FALSE(ann->session().clock().running());
    EXPECT_EQ(label(*ann, "label_words1"), "10");
    screenshot(ann->chat().board(), QStringLiteral("board-allfilled"));

    // The short pause, then the results: all ten, fastest, 10 points per dealt word, 5 for crate.
    runHostPhase(*ann);
    ASSERT_TRUE(waitUntil([&] { return shown(*ann, "panel_scores"); }));
    ResultsPanel &results = ann->chat().resultsPanel();
    QStringList expected;
    for (int word = 1; word <= 10; ++word)
        expected << QString::fromLatin1(source(*ann, 1, word));
    EXPECT_EQ(items(results.original()), expected);
    expected[2] = QStringLiteral("crate");
    for (int word = 1; word <= 10; ++word) {
        if (word != 3)
            expected[word - 1] = expected[word - 1].toUpper();
    }
    EXPECT_EQ(items(results.words(1)), expected);
    EXPECT_EQ(results.name(1)->text(), "Ann");
    EXPECT_EQ(results.roundScore(1)->text(), "Score: 145");
    EXPECT_TRUE(shown(*ann, "image_fastest1"));
    EXPECT_TRUE(shown(*ann, "image_bonus1"));
    EXPECT_EQ(label(*ann, "label_score1"), "145");
    EXPECT_EQ(label(*ann, "label_scoreround"), "Round: 1 of 1");
    EXPECT_EQ(soundsOf(*ann).last(), "postscores");
    screenshot(ann->chat().board(), QStringLiteral("results-solo"));

    runHostPhase(*ann);
    ASSERT_TRUE(waitUntil([&] { return shown(*ann, "panel_winner"); }));
    EXPECT_EQ(label(*ann, "label_winner1"), "You have Won the Game!");
    EXPECT_EQ(label(*ann, "label_winner2"), "You have Won the Game!");
    EXPECT_EQ(status(*ann), "Game Over!");
    EXPECT_TRUE(chatLines(*ann).contains("You have Won the Game!"));
    EXPECT_EQ(soundsOf(*ann).last(), "winner");
    EXPECT_TRUE(ann->chat().startButton()->isVisible());
    EXPECT_TRUE(shown(*ann, "panel_scores")); // the results stay under the banner

    // A new game clears the board and the banner.
    startGame(*ann, 2, 30);
    ASSERT_TRUE(waitUntil([&] { return status(*ann) == kTurnText; }));
    EXPECT_FALSE(shown(*ann, "panel_winner"));
    EXPECT_FALSE(shown(*ann, "panel_scores"));
    EXPECT_EQ(label(*ann, "label_score1"), "0");
    EXPECT_FALSE(shown(*ann, "image_check10"));
    EXPECT_EQ(label(*ann, "label_roundnum"), "Round: 1 of 2");
}

// The clock's text reads at every second, whatever lies behind it: the dark bar, the light trough
// where the bar has gone under the digits, and in the last 20 seconds, when it turns red.
TEST_F(GamePlay, TheTurnClockCountsDownWithItsBarColourAndTicksReadableAtEverySecond)
{
    auto ann = hostGame(QStringLiteral("Ann"));
    QWidget *boardView = ann->chat().board();
    const auto *bar = ann->chat().findChild<QLabel *>("image_timer");
    auto *clock = ann->chat().findChild<QLabel *>("label_timer");
    EXPECT_EQ(clock->text(), "Time: 0:00");
    EXPECT_EQ(textColour(clock), art::palette::peach);
    EXPECT_EQ(bar->width(), 258);
    EXPECT_GE(clockContrast(boardView, clock, bar).worst, 4.5);

    // A started clock keeps its last look until its first tick, one second later.
    startGame(*ann, 2, 60);
    ASSERT_TRUE(waitUntil([&] { return status(*ann) == kTurnText; }));
    EXPECT_EQ(clock->text(), "Time: 0:00");
    EXPECT_EQ(bar->width(), 258);
    EXPECT_EQ(textColour(clock), art::palette::peach);
    soundsOf(*ann).clear();

    QList<int> ticks;
    QObject::connect(&ann->session(), &ClientSession::soundRequested, [&](const QString &name) {
        if (name == QLatin1String("tick"))
            ticks << ann->session().clock().remaining();
    });
    ClockContrast seen;
    while (ann->session().clock().remaining() > 0) {
        ann->session().turntimeTimer();
        const int left = ann->session().clock().remaining();
        EXPECT_EQ(bar->width(), 4 * left);
        EXPECT_EQ(clock->text(), TurnClock::timeText(left));
        // Pale yellow until 20 seconds are left, red below.
        const QColor shown = textColour(clock);
        if (left >= 20)
            EXPECT_EQ(shown, art::palette::paleYellow) << left;
        else
            EXPECT_TRUE(shown.red() > 200 && shown.green() < 128 && shown.blue() < 128) << left;
        const ClockContrast now = clockContrast(boardView, clock, bar);
        EXPECT_GE(now.worst, 4.5) << "at " << left << " seconds left";
        seen.overBar += now.overBar;
        seen.overTrough += now.overTrough;
        if (left == 59 || left == 36 || left == 5)
            screenshot(boardView, QStringLiteral("clock-0-%1").arg(left, 2, 10, QLatin1Char('0')),
                       bar->geometry().adjusted(-8, -4, 8 + 258 - bar->width(), 4), 4);
    }
    // The digits were measured on the bar and on the trough, the bar's end passing under them.
    EXPECT_GT(seen.overBar, 100);
    EXPECT_GT(seen.overTrough, 100);
    EXPECT_EQ(ticks, QList<int>({20, 15, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1}));
    EXPECT_EQ(clock->text(), "Time: 0:00");
    EXPECT_EQ(bar->width(), 0);
    ann->session().turntimeTimer();
    EXPECT_EQ(clock->text(), "Time: 0:00");
    EXPECT_EQ(ticks.size(), 12);
    const QColor lastLook = textColour(clock);

    // Time up comes from the host: the keys are no longer the board's.
    runHostPhase(*ann);
    ASSERT_TRUE(waitUntil([&] { return status(*ann) == QLatin1String("Time is Up."); }));
    EXPECT_FALSE(ownsBoard(*ann));
    EXPECT_TRUE(shown(*ann, "button_pass"));
    EXPECT_TRUE(soundsOf(*ann).contains("timeup"));
    ASSERT_TRUE(waitUntil([&] { return shown(*ann, "panel_scores"); }));

    // The next round starts on the last round's empty clock; its own time shows at the first tick.
    runHostPhase(*ann);
    ASSERT_TRUE(waitUntil([&] { return label(*ann, "label_roundnum") == QLatin1String("Round: 2 of 2"); }));
    EXPECT_EQ(clock->text(), "Time: 0:00");
    EXPECT_EQ(bar->width(), 0);
    EXPECT_EQ(textColour(clock), lastLook);
    ann->session().turntimeTimer();
    EXPECT_EQ(clock->text(), "Time: 0:59");
    EXPECT_EQ(bar->width(), 236);
    EXPECT_EQ(textColour(clock), art::palette::paleYellow);
}

TEST_F(GamePlay, OddTurnSecondsShowNoBarAndLongOnesKeepTheBarInItsPlace)
{
    // Turn seconds come from the start message: the host takes any number.
    ClientSession session;
    Tchat chat(session);
    session.setManualTurnClock(true);
    const auto *bar = chat.findChild<QLabel *>("image_timer");
    for (const char *seconds : {"0", "-5", "900"}) {
        session.dispatch(QByteArray("CMD_startgame+Ann+1+") + seconds + "++");
        session.dispatch("CMD_startround+1+");
        session.turntimeTimer();
        EXPECT_EQ(bar->width(), 0) << seconds;
    }
    session.dispatch("CMD_startgame+Ann+1+60++");
    session.dispatch("CMD_loadstats+2+60+500+1+1+1+1+0+0");
    session.dispatch("CMD_sendlogininfo+1");
    session.dispatch("CMD_loadstats+1+60+500+1+1+1+1+0+0");
    session.turntimeTimer();
    EXPECT_EQ(bar->width(), 258);
    EXPECT_EQ(chat.findChild<QLabel *>("label_timer")->text(), "Time: 8:19");
}

TEST_F(GamePlay, TwoPlayersTieThenPlayItOutAndBothSeeTheWinner)
{
    auto ann = hostGame(QStringLiteral("Ann"));
    auto bob = joinGame(*ann, QStringLiteral("Bob"), 2);
    startGame(*ann, 1, 30);
    ASSERT_TRUE(waitUntil([&] { return status(*ann) == kTurnText && status(*bob) == kTurnText; }));
    EXPECT_TRUE(chatLines(*bob).contains("Ann has started a game."));
    EXPECT_EQ(label(*bob, "label_roundnum"), "Round: 1 of 1");
    deal(*ann, 1, 2, "crane", "cr__e");
    deal(*ann, 1, 3, "crane", "cr__e");

    // Bob: the dealt word, then another word, then a pass. Ann: a pass, then both words.
    submit(*bob, QString::fromLatin1(source(*ann, 1, 1)));
    ASSERT_TRUE(waitForCaption(*bob, "Second Word"));
    submit(*bob, QStringLiteral("crate"));
    ASSERT_TRUE(waitForCaption(*bob, "Third Word"));
    soundsOf(*bob).clear();
    press(*bob, Qt::Key_1);
    ASSERT_TRUE(waitForCaption(*bob, "Fourth Word"));
    EXPECT_FALSE(shown(*bob, "image_check3"));
    EXPECT_EQ(soundsOf(*bob), QStringList({"pass"}));

    press(*ann, Qt::Key_Space);
    ASSERT_TRUE(waitForCaption(*ann, "Second Word"));
    submit(*ann, QStringLiteral("crate"));
    ASSERT_TRUE(waitForCaption(*ann, "Third Word"));
    submit(*ann, QStringLiteral("crane"));
    ASSERT_TRUE(waitForCaption(*ann, "Fourth Word"));
    ASSERT_TRUE(waitUntil([&] { return label(*bob, "label_words1") == "2" && label(*ann, "label_words2") == "2"; }));

    runHostPhase(*ann);
    ASSERT_TRUE(waitUntil([&] { return shown(*ann, "panel_scores") && shown(*bob, "panel_scores"); }));
    EXPECT_EQ(status(*bob), "Time is Up.");
    EXPECT_TRUE(soundsOf(*bob).contains("timeup"));
    EXPECT_TRUE(bob->session().board().typeInChat);

    // Seat 2 finds its own results in the leftmost column, seat 1's in the second.
    const QStringList dealt = masked(*ann, 1);
    QStringList bobsWords = dealt;
    bobsWords[0] = QString::fromLatin1(source(*ann, 1, 1)).toUpper();
    bobsWords[1] = QStringLiteral("crate");
    QStringList annsWords = dealt;
    annsWords[1] = QStringLiteral("crate");
    annsWords[2] = QStringLiteral("CRANE");
    for (VrelProgram *program : {bob.get(), ann.get()}) {
        ResultsPanel &results = program->chat().resultsPanel();
        const int bobs = program == bob.get() ? 1 : 2;
        const int anns = 3 - bobs;
        EXPECT_EQ(results.name(bobs)->text(), "Bob");
        EXPECT_EQ(results.name(anns)->text(), "Ann");
        EXPECT_EQ(items(results.words(bobs)), bobsWords);
        EXPECT_EQ(items(results.words(anns)), annsWords);
        EXPECT_EQ(results.roundScore(bobs)->text(), "Score: 15");
        EXPECT_EQ(results.roundScore(anns)->text(), "Score: 15");
        for (int column = 3; column <= 6; ++column) {
            EXPECT_EQ(results.name(column)->text(), kWaitingName);
            EXPECT_EQ(results.words(column)->count(), 0); // an empty seat's words are not listed
            EXPECT_EQ(results.roundScore(column)->text(), "");
        }
        for (int column = 1; column <= 6; ++column) {
            EXPECT_TRUE(results.fastest(column)->isHidden());
            EXPECT_TRUE(results.bonus(column)->isHidden());
        }
        EXPECT_EQ(label(*program, "label_score1"), "15");
        EXPECT_EQ(label(*program, "label_score2"), "15");
        EXPECT_EQ(items(results.original()).size(), 10);
    }
    screenshot(bob->chat().board(), QStringLiteral("results-seat2"));

    // A tie after the last round: another round is played.
    runHostPhase(*ann);
    ASSERT_TRUE(waitUntil([&] { return status(*ann) == kTurnText && status(*bob) == kTurnText; }));
    EXPECT_EQ(label(*bob, "label_roundnum"), "Round: 2 of 1");
    EXPECT_FALSE(shown(*bob, "panel_scores"));
    EXPECT_EQ(label(*bob, "label_words1"), "");
    EXPECT_FALSE(shown(*bob, "image_check1"));
    submit(*ann, QString::fromLatin1(source(*ann, 2, 1)));
    ASSERT_TRUE(waitUntil([&] { return label(*bob, "label_words1") == "1"; }));
    runHostPhase(*ann);
    ASSERT_TRUE(waitUntil([&] { return shown(*bob, "panel_scores"); }));
    EXPECT_EQ(label(*bob, "label_scoreround"), "Round: 2 of 1");
    runHostPhase(*ann);
    ASSERT_TRUE(waitUntil([&] { return shown(*ann, "panel_winner") && shown(*bob, "panel_winner"); }));
    EXPECT_EQ(label(*ann, "label_winner1"), "You have Won the Game!");
    EXPECT_EQ(label(*bob, "label_winner1"), "Ann has Won the Game!");
    EXPECT_EQ(label(*bob, "label_winner2"), "Ann has Won the Game!");
    EXPECT_EQ(status(*bob), "Game Over!");
    EXPECT_TRUE(chatLines(*bob).contains("Ann has Won the Game!"));
    EXPECT_TRUE(ann->chat().startButton()->isVisible());
    EXPECT_FALSE(bob->chat().startButton()->isVisible());
    EXPECT_EQ(label(*bob, "label_score1"), "25");
    screenshot(ann->chat().board(), QStringLiteral("winner"));
}

TEST_F(GamePlay, ASpectatorWatchesWithTheKeyboardForChat)
{
    auto ann = hostGame(QStringLiteral("Ann"));
    std::vector<std::unique_ptr<RawClient>> players;
    for (const char *name : {"Bea", "Cid", "Dee", "Eve", "Fay"})
        players.push_back(joinRaw(portOf(*ann), name));
    auto zed = launch({QStringLiteral("Zed"), QStringLiteral("127.0.0.1"), QStringLiteral("x")}, portOf(*ann));
    ASSERT_TRUE(waitUntil([&] { return zed->session().localSeat() == 7 && rowName(*zed, 6) == "Fay"; }));

    startGame(*ann, 1, 30);
    ASSERT_TRUE(waitUntil([&] { return status(*zed) == QLatin1String("The Players are Creating Words."); }));
    EXPECT_EQ(codes(*zed, false), (std::vector<int>(5, -1))); // nothing in the puzzle row
    EXPECT_FALSE(shown(*zed, "button_pass"));
    EXPECT_TRUE(zed->session().board().typeInChat);
    EXPECT_FALSE(soundsOf(*zed).contains("turn"));
    chat::ChatEntry *entry = zed->chat().mychat();
    entry->clear();
    entry->setFocus();
    type(*zed, QStringLiteral("go"));
    press(*zed, Qt::Key_Tab);
    EXPECT_EQ(entry->text(), "go");
    EXPECT_TRUE(zed->session().board().typeInChat);

    ASSERT_TRUE(waitUntil([&] { return ownsBoard(*ann); }));
    submit(*ann, QString::fromLatin1(source(*ann, 1, 1)));
    ASSERT_TRUE(waitUntil([&] { return label(*zed, "label_words1") == "1"; }));

    runHostPhase(*ann);
    ASSERT_TRUE(waitUntil([&] { return status(*zed) == QLatin1String("Time is Up."); }));
    // Time up shows the buttons to everyone; a spectator's Pass sends nothing and the host is
    // left alone.
    EXPECT_TRUE(shown(*zed, "button_pass"));
    QTest::mouseClick(zed->chat().findChild<QPushButton *>("button_pass"), Qt::LeftButton);
    EXPECT_EQ(soundsOf(*zed).last(), "pass");
    ASSERT_TRUE(waitUntil([&] { return shown(*zed, "panel_scores"); }));
    EXPECT_EQ(items(zed->chat().resultsPanel().words(1)).value(0), QString::fromLatin1(source(*ann, 1, 1)).toUpper());
    EXPECT_EQ(zed->chat().resultsPanel().name(6)->text(), "Fay");

    runHostPhase(*ann);
    ASSERT_TRUE(waitUntil([&] { return shown(*zed, "panel_winner") && shown(*ann, "panel_winner"); }));
    EXPECT_EQ(label(*zed, "label_winner1"), "Ann has Won the Game!");
    EXPECT_EQ(label(*ann, "label_winner1"), "You have Won the Game!");
    // The game counts in the players' tallies, not in the spectator's.
    EXPECT_EQ(zed->tally().gamesPlayed(), 0);
    EXPECT_EQ(ann->tally().gamesPlayed(), 1);
    EXPECT_EQ(ann->tally().gamesWon(), 1);
}

TEST_F(GamePlay, LateJoinersAreBroughtUpToDate)
{
    auto ann = hostGame(QStringLiteral("Ann"));
    startGame(*ann, 3, 60);
    ASSERT_TRUE(waitUntil([&] { return status(*ann) == kTurnText; }));
    submit(*ann, QString::fromLatin1(source(*ann, 1, 1)));
    ASSERT_TRUE(waitForCaption(*ann, "Second Word"));
    for (int second = 0; second < 10; ++second)
        ann->server().timer1Timer();

    // In the word phase: the current word, the round, the counts and a clock of 50 seconds.
    auto bob = joinGame(*ann, QStringLiteral("Bob"), 2);
    ASSERT_TRUE(waitUntil([&] { return status(*bob) == QLatin1String("Create A Word"); }));
    EXPECT_EQ(label(*bob, "label_roundnum"), "Round: 1 of 3");
    EXPECT_EQ(label(*bob, "label_words1"), "1");
    EXPECT_EQ(label(*bob, "label_score1"), "0");
    EXPECT_EQ(label(*bob, "label_words2"), "0");
    EXPECT_TRUE(ownsBoard(*bob));
    EXPECT_TRUE(shown(*bob, "button_clear"));
    EXPECT_EQ(caption(*bob), "First Word");
    EXPECT_FALSE(bob->session().board().typeInChat);
    EXPECT_EQ(soundsOf(*bob).last(), "turn");
    bob->session().turntimeTimer();
    EXPECT_EQ(label(*bob, "label_timer"), "Time: 0:49");
    submit(*bob, QString::fromLatin1(source(*ann, 1, 1)));
    ASSERT_TRUE(waitUntil([&] { return label(*ann, "label_words2") == "1"; }));

    // While the results are shown.
    runHostPhase(*ann);
    ASSERT_TRUE(waitUntil([&] { return shown(*ann, "panel_scores"); }));
    auto cid = joinGame(*ann, QStringLiteral("Cid"), 3);
    ASSERT_TRUE(waitUntil([&] { return status(*cid) == QLatin1String("Players are looking at their words."); }));
    EXPECT_EQ(label(*cid, "label_roundnum"), "Round: 1 of 3");
    EXPECT_EQ(label(*cid, "label_score1"), "10");
    EXPECT_EQ(label(*cid, "label_score2"), "10");
    EXPECT_FALSE(ownsBoard(*cid));
    EXPECT_TRUE(cid->session().board().typeInChat);
}

TEST_F(GamePlay, APlayerWhoRejoinsWithACompleteListFindsTheBoardClosed)
{
    auto ann = hostGame(QStringLiteral("Ann"));
    testing_support::Relay relay(quint16(portOf(*ann)));
    auto bob = launch({QStringLiteral("Bob"), QStringLiteral("127.0.0.1"), QStringLiteral("join")}, relay.port());
    ASSERT_TRUE(waitUntil([&] { return rowName(*ann, 2) == QLatin1String("Bob") && settled({bob.get()}); }));
    startGame(*ann, 1, 60);
    ASSERT_TRUE(waitUntil([&] { return status(*bob) == kTurnText; }));
    for (int w = 1; w <= 10; ++w) {
        submit(*bob, QString::fromLatin1(source(*ann, 1, w)));
        ASSERT_TRUE(waitUntil([&] { return label(*bob, "label_words2") == QString::number(w); })) << w;
    }
    ASSERT_TRUE(waitUntil([&] { return status(*bob) == QLatin1String("You guessed all the words!"); }));

    // Bob's connection drops and his window comes back into his seat while the round still runs.
    relay.cutAll();
    ASSERT_TRUE(waitUntil([&] { return chatLines(*bob).contains("Rejoined."); }, 5000));
    ASSERT_TRUE(waitUntil([&] { return settled({bob.get()}) && bob->session().board().typeInChat; }));
    EXPECT_EQ(status(*bob), "You guessed all the words!");
    EXPECT_FALSE(ownsBoard(*bob));
    EXPECT_FALSE(shown(*bob, "button_clear"));
    EXPECT_FALSE(shown(*bob, "button_pass"));
    EXPECT_EQ(label(*bob, "label_words2"), "10");
    screenshot(&bob->chat(), QStringLiteral("rejoin_with_complete_list"));
}
