// A whole game played from the keyboard alone, as a player who uses no mouse plays it: the game
// started from the File menu and the options dialog, words typed, cleared and corrected, the chat
// reached and left with Tab, the menus and the help opened in the middle of the round, the board's
// summary asked for, and the game left with Ctrl+Q. Meanwhile a screen reader hears the game's news
// from the widget that has the keys, and the board's cells, the seat list, the round and the results
// read what the session holds.

#include "tests/client/game_fixture.h"
#include "tests/client/spoken_spy.h"

#include "accessibility/spoken.h"
#include "chat/chatentry.h"
#include "client/heard_views.h"
#include "client/thelp.h"

#include <QAccessible>
#include <QMenu>
#include <QMenuBar>

using testing_support::waitUntil;

namespace {
QString cellText(QAccessibleInterface *table, int row, int column)
{
    QAccessibleInterface *cell = table->tableInterface()->cellAt(row, column);
    return cell ? cell->text(QAccessible::Name) : QStringLiteral("<no cell>");
}
} // namespace

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

TEST_F(KeyboardPlay, AWholeGameIsPlayedFromTheKeyboardWithTheMenusReachedMidRoundAndEveryNewsSpoken)
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
    const QString firstMasked = spoken::letters(ann->server().puzzle(1, 1).masked);
    QWidget *keyTarget = board(*ann).keyTarget();
    ASSERT_TRUE(waitUntil([&] { return spoken.texts().contains("Your turn. Word 1 of 10, " + firstMasked + "."); }))
        << spoken.texts().join('|').toStdString();
    EXPECT_EQ(QAccessible::queryAccessibleInterface(keyTarget)->text(QAccessible::Name),
              "your word for word 1 of 10, " + firstMasked);

    // The board reads as a table of the ten words, the dealt one and the player's.
    QAccessibleInterface *table = QAccessible::queryAccessibleInterface(board(*ann).wordTable());
    ASSERT_TRUE(table && table->tableInterface());
    EXPECT_EQ(table->role(), QAccessible::Table);
    EXPECT_EQ(table->text(QAccessible::Name), "Board");
    EXPECT_EQ(table->tableInterface()->rowCount(), 10);
    EXPECT_EQ(table->tableInterface()->columnCount(), 2);
    EXPECT_EQ(table->childCount(), 20);
    EXPECT_EQ(cellText(table, 0, 0), "word 1 of 10, " + firstMasked);
    EXPECT_EQ(cellText(table, 1, 0), "word 2 of 10, not dealt yet");

    // The first word; a few letters of the second cleared with "0", a refused one corrected.
    const QByteArray first = ann->server().puzzle(1, 1).source;
    keys(QString::fromLatin1(first));
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
    EXPECT_EQ(spoken.last(), "APPLY refused: Invalid Match");
    EXPECT_EQ(spoken.said.last().speaker, keyTarget);
    EXPECT_EQ(cellText(table, 0, 1), "your word: " + QString::fromLatin1(first).toUpper() + ", accepted");
    EXPECT_EQ(cellText(table, 1, 0), "word 2 of 10, A P blank L E");
    EXPECT_EQ(cellText(table, 1, 1), "your word: APPLY, refused, Invalid Match");
    EXPECT_EQ(board(*ann).mark(1)->accessibleName(), "word 1: done");
    EXPECT_EQ(board(*ann).mark(2)->accessibleName(), "word 2: wrong");
    EXPECT_TRUE(shown(*ann, "image_check2"));
    EXPECT_NE(board(*ann).mark(1)->pixmap().toImage(), board(*ann).mark(2)->pixmap().toImage());
    const QRect marks = board(*ann).mark(1)->geometry().united(board(*ann).mark(10)->geometry()).adjusted(-4, -4, 4, 4);
    screenshot(ann->chat().board(), QStringLiteral("marks-done-and-wrong"), marks, 4);
    keys(QStringLiteral("applx"));
    key(Qt::Key_Backspace);
    keys(QStringLiteral("e"));
    key(Qt::Key_Return);
    ASSERT_TRUE(waitUntil([&] { return label(*ann, "label_wordcount") == "Third Word" && ownsBoard(*ann); }));
    EXPECT_TRUE(spoken.last().startsWith("APPLE accepted. Word 3 of 10, ")) << spoken.last().toStdString();
    EXPECT_EQ(cellText(table, 1, 1), "your word: APPLE, accepted");
    EXPECT_EQ(board(*ann).mark(2)->accessibleName(), "word 2: done");
    screenshot(ann->chat().board(), QStringLiteral("marks-done"), marks, 4);
    // Cells belong to their table, in order.
    QAccessibleInterface *cell = table->tableInterface()->cellAt(1, 1);
    EXPECT_EQ(table->child(3), cell);
    EXPECT_EQ(table->indexOfChild(cell), 3);
    EXPECT_EQ(cell->parent(), table);
    EXPECT_EQ(cell->tableCellInterface()->rowIndex(), 1);
    QAccessibleInterface *seats = QAccessible::queryAccessibleInterface(ann->chat().seatRows().list());
    EXPECT_EQ(seats->role(), QAccessible::List);
    ASSERT_EQ(seats->childCount(), 6);
    EXPECT_EQ(seats->child(0)->text(QAccessible::Name), "Ann, 0 points, 2 words");
    EXPECT_EQ(seats->child(0)->role(), QAccessible::ListItem);
    EXPECT_EQ(seats->child(1)->text(QAccessible::Name), "seat 2, waiting for a player");
    EXPECT_EQ(QAccessible::queryAccessibleInterface(ann->chat().findChild<QLabel *>("label_roundnum"))->text(QAccessible::Name),
              "Round 1 of 1");

    // Tab to the chat and back: a line is sent between two words.
    key(Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), window.mychat());
    keys(QStringLiteral("gl"));
    key(Qt::Key_Return);
    ASSERT_TRUE(waitUntil([&] { return chatLines(*ann).contains(QStringLiteral("Ann chats: gl")); }));
    key(Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), board(*ann).keyTarget());

    // F2 tells the board in one breath.
    key(Qt::Key_F2);
    EXPECT_EQ(spoken.last(), "Round 1 of 1. 44 seconds left. 2 of 10 words filled. Your score 0 points, 1st of 1. "
                             "Now word 3 of 10, " + spoken::letters(ann->server().puzzle(1, 3).masked) + ", no word yet.");

    for (int word = 3; word <= 10; ++word) {
        keys(QString::fromLatin1(ann->server().puzzle(1, word).source));
        key(Qt::Key_Return);
        ASSERT_TRUE(waitUntil([&] { return ann->session().board().mark(word) == WordRecord::Mark::Done; })) << word;
    }
    ASSERT_TRUE(waitUntil([&] { return status(*ann) == QLatin1String("All players completed the list."); }));
    runHostPhase(*ann);
    ASSERT_TRUE(waitUntil([&] { return shown(*ann, "panel_scores"); }));
    ASSERT_TRUE(waitUntil([&] { return spoken.texts().contains("Round 1 of 1 scored. You made 150 points, 1st of 1 with 150 points."); }))
        << spoken.texts().join('|').toStdString();
    QAccessibleInterface *results = QAccessible::queryAccessibleInterface(ann->chat().resultsPanel().panel());
    EXPECT_EQ(results->role(), QAccessible::StaticText);
    EXPECT_EQ(results->text(QAccessible::Name), "Round results");
    EXPECT_TRUE(results->text(QAccessible::Description).startsWith("Round: 1 of 1 results. Ann: 150 points, fastest, bonus, words "));
    runHostPhase(*ann);
    ASSERT_TRUE(waitUntil([&] { return shown(*ann, "panel_winner"); }));
    EXPECT_EQ(spoken.last(), "You have Won the Game!");
    EXPECT_TRUE(spoken.allCarried());
    EXPECT_EQ(label(*ann, "label_score1"), "150");

    key(Qt::Key_Q, Qt::ControlModifier);
    EXPECT_TRUE(waitUntil([&] { return !window.isVisible(); }, 2000));
}
