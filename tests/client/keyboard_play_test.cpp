// A whole game played from the keyboard alone, as a player who uses no mouse plays it: the game
// started from the File menu and the options dialog, words typed, cleared and corrected, the chat
// reached and left with Tab, the menus and the help opened in the middle of the round, the board's
// summary asked for, and the game left with Ctrl+Q.

#include "tests/client/game_fixture.h"
#include "tests/client/spoken_spy.h"

#include "chat/chatentry.h"
#include "client/thelp.h"

#include <QMenu>
#include <QMenuBar>

using testing_support::waitUntil;

class KeyboardPlay : public GameFixture
{
protected:
    // The key goes to whatever has the keyboard in the application, as a keyboard delivers it: an
    // open menu, else the focused control.
    static void key(Qt::Key k, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QWidget *target = QApplication::activePopupWidget() ? QApplication::activePopupWidget()
                          : QApplication::focusWidget() ? QApplication::focusWidget()
                                                        : QApplication::activeWindow();
        ASSERT_TRUE(target);
        QTest::keyClick(target, k, modifiers);
    }
    static void keys(const QString &text)
    {
        for (const QChar c : text)
            key(c.isDigit() ? Qt::Key(Qt::Key_0 + c.digitValue()) : Qt::Key(Qt::Key_A + (c.toLower().unicode() - 'a')));
    }
    static QMenu *menu(Tchat &window, int index) { return window.menuBar()->actions().at(index)->menu(); }
};

TEST_F(KeyboardPlay, AWholeGameIsPlayedFromTheKeyboardWithTheMenusReachedMidRound)
{
    auto ann = hostGame(QStringLiteral("Ann"));
    Tchat &window = ann->chat();
    ASSERT_TRUE(activate(&window));
    SpokenSpy spoken(ann->chat().accessibleVoice());

    // File > Start Game, one round of 45 seconds typed into the options dialog, Enter.
    key(Qt::Key_F, Qt::AltModifier);
    ASSERT_TRUE(waitUntil([&] { return menu(window, 0)->isVisible(); }, 2000));
    key(Qt::Key_S);
    Tgamestart &dialog = ann->gamestart();
    ASSERT_TRUE(waitUntil([&] { return dialog.isActiveWindow(); }, 2000));
    key(Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), dialog.UpDown2);
    key(Qt::Key_Tab);
    key(Qt::Key_Tab); // round to the rounds, their text selected
    ASSERT_EQ(QApplication::focusWidget(), dialog.UpDown1);
    keys(QStringLiteral("1"));
    key(Qt::Key_Tab);
    keys(QStringLiteral("45"));
    key(Qt::Key_Return);
    ASSERT_TRUE(waitUntil([&] { return ownsBoard(*ann) && !dialog.isVisible(); }, 3000));
    ASSERT_TRUE(activate(&window)); // the desktop gives the main window back the keyboard
    EXPECT_EQ(ann->server().roundsPerGame(), 1);
    EXPECT_EQ(ann->server().turnSeconds(), 45);
    ann->session().turntimeTimer(); // the new round's time shows at its first tick
    EXPECT_EQ(label(*ann, "label_timer"), "Time: 0:44");
    EXPECT_TRUE(spoken.last().startsWith("Your turn. Word 1 of 10, ")) << spoken.last().toStdString();
    ann->server().puzzle(1, 2) = {"apple", "ap_le"};

    // The first word; a few letters of the second cleared with "0", a refused one corrected.
    keys(QString::fromLatin1(ann->server().puzzle(1, 1).source));
    key(Qt::Key_Return);
    ASSERT_TRUE(waitUntil([&] { return label(*ann, "label_wordcount") == "Second Word" && ownsBoard(*ann); }));
    keys(QStringLiteral("ap"));
    key(Qt::Key_0);
    EXPECT_EQ(codes(*ann, true), (std::vector<int> {0, 0, 0, 0, 0}));

    // Mid-round: Alt+F opens File and Escape twice leaves the menus; Alt+O opens Options, where L
    // switches Read Chat Aloud off; the keys come back to the board each time. F1 shows the help,
    // Escape puts it away.
    key(Qt::Key_F, Qt::AltModifier);
    ASSERT_TRUE(waitUntil([&] { return menu(window, 0)->isVisible(); }, 2000));
    key(Qt::Key_Escape);
    key(Qt::Key_Escape);
    ASSERT_TRUE(waitUntil([&] { return !menu(window, 0)->isVisible(); }, 2000));
    EXPECT_EQ(QApplication::focusWidget(), board(*ann).keyTarget());
    key(Qt::Key_O, Qt::AltModifier);
    QMenu *options = ann->chat().optionsMenu();
    ASSERT_TRUE(waitUntil([&] { return options->isVisible(); }, 2000));
    key(Qt::Key_L);
    ASSERT_TRUE(waitUntil([&] { return !options->isVisible(); }, 2000));
    EXPECT_FALSE(ann->session().options().readChatAloud);
    EXPECT_EQ(QApplication::focusWidget(), board(*ann).keyTarget());
    key(Qt::Key_F1);
    ASSERT_TRUE(waitUntil([&] { return ann->help().isVisible(); }, 2000));
    ASSERT_TRUE(activate(&ann->help()));
    key(Qt::Key_Tab); // the help's buttons take the keys
    EXPECT_EQ(QApplication::focusWidget()->window(), &ann->help());
    key(Qt::Key_Escape);
    EXPECT_FALSE(ann->help().isVisible());
    ASSERT_TRUE(activate(&window));
    EXPECT_EQ(QApplication::focusWidget(), board(*ann).keyTarget());

    keys(QStringLiteral("apply"));
    key(Qt::Key_Return);
    ASSERT_TRUE(waitUntil([&] { return status(*ann) == QLatin1String("Invalid Match"); }));
    keys(QStringLiteral("applx"));
    key(Qt::Key_Backspace);
    keys(QStringLiteral("e"));
    key(Qt::Key_Return);
    ASSERT_TRUE(waitUntil([&] { return label(*ann, "label_wordcount") == "Third Word" && ownsBoard(*ann); }));

    // Tab to the chat and back: a line is sent between two words.
    key(Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), window.mychat());
    keys(QStringLiteral("gl"));
    key(Qt::Key_Return);
    ASSERT_TRUE(waitUntil([&] { return chatLines(*ann).contains(QStringLiteral("Ann chats: gl")); }));
    key(Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), board(*ann).keyTarget());

    key(Qt::Key_F2);
    EXPECT_TRUE(spoken.last().startsWith("Round 1 of 1. 44 seconds left. 2 of 10 words filled. Your score 0 points, 1st of 1. "
                                         "Now word 3 of 10, "))
        << spoken.last().toStdString();

    for (int word = 3; word <= 10; ++word) {
        keys(QString::fromLatin1(ann->server().puzzle(1, word).source));
        key(Qt::Key_Return);
        ASSERT_TRUE(waitUntil([&] { return ann->session().board().mark(word) == WordRecord::Mark::Done; })) << word;
    }
    ASSERT_TRUE(waitUntil([&] { return status(*ann) == QLatin1String("All players completed the list."); }));
    runHostPhase(*ann);
    ASSERT_TRUE(waitUntil([&] { return shown(*ann, "panel_scores"); }));
    runHostPhase(*ann);
    ASSERT_TRUE(waitUntil([&] { return shown(*ann, "panel_winner"); }));
    EXPECT_EQ(spoken.last(), "You have Won the Game!");
    EXPECT_TRUE(spoken.allCarried());
    EXPECT_EQ(label(*ann, "label_score1"), "150");

    key(Qt::Key_Q, Qt::ControlModifier);
    EXPECT_TRUE(waitUntil([&] { return !window.isVisible(); }, 2000));
}
