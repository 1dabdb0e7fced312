// Where the keys go during a turn: Tab or a click into the chat entry hands it the keys, and Tab,
// Escape or a click on the board takes them back; links, smilies and the chat history never keep
// the keyboard.

#include "tests/client/fake_host_game.h"

#include "chat/chatentry.h"
#include "chat/chatview.h"
#include "client/board.h"
#include "client/tile_menu.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>
#include <QSet>
#include <QTextBlock>

using testing_support::waitUntil;

namespace {
const QString kLine = QStringLiteral("hello from Dan :)#10 www.example.org");
}

class KeyRouting : public FakeHostGame
{
protected:
    void SetUp() override
    {
        joinAnnForHerTurn();
        ann->chat().activateWindow();
    }

    QList<QByteArray> sent(int ms = 150) { return peer->drain(ms); }
    QWidget *focused() { return ann->chat().focusWidget(); }
    QWidget *boardKeys() { return board(*ann).keyTarget(); }
    bool outlined() { return shown(*ann, "entry_outline"); }
    void typeText(const QString &text) { QTest::keyClicks(focused(), text); }

    // Clicks the given text of the chat view's last line.
    void clickInView(const QString &text)
    {
        chat::ChatView *view = ann->chat().mainchat();
        const QTextBlock block = view->document()->lastBlock();
        QTextCursor cursor(view->document());
        cursor.setPosition(block.position() + int(block.text().indexOf(text)) + 1);
        view->setTextCursor(cursor);
        view->ensureCursorVisible();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->cursorRect(cursor).center());
    }
};

// The player's turn starts with the board outlined and holding the keys. Tab, a click into the chat
// entry or on the typing box hand the keys to the chat, which keeps the line typed so far; Tab,
// Escape, a click on the board or on the box again hand them back. Outside the turn every key is
// the chat's.
TEST_F(KeyRouting, TabAndAClickIntoTheEntryTypeAWholeChatLineDuringTheTurnAndTheBoardTakesTheKeysBack)
{
    chat::ChatEntry *entry = ann->chat().mychat();
    EXPECT_FALSE(ann->session().board().typeInChat);
    EXPECT_TRUE(outlined());
    EXPECT_EQ(focused(), boardKeys());

    // Tab hands the keys to the chat and back; letters go where the keys are.
    entry->clear();
    press(*ann, Qt::Key_Tab);
    EXPECT_TRUE(ann->session().board().typeInChat);
    EXPECT_EQ(focused(), entry);
    type(*ann, QStringLiteral("hi"));
    EXPECT_EQ(entry->text(), "hi");
    EXPECT_EQ(codes(*ann, true), (std::vector<int> {0, 0, 0, 0, 0}));
    press(*ann, Qt::Key_Tab);
    EXPECT_FALSE(ann->session().board().typeInChat);
    EXPECT_EQ(focused(), boardKeys());
    type(*ann, QStringLiteral("a"));
    EXPECT_EQ(codes(*ann, true), (std::vector<int> {1, 0, 0, 0, 0}));

    // A click into the chat entry hands it the keys, and the line typed so far is kept: the next
    // letter is added to it, not typed over it.
    QTest::mouseClick(entry, Qt::LeftButton);
    EXPECT_TRUE(ann->session().board().typeInChat);
    EXPECT_FALSE(outlined());
    EXPECT_EQ(focused(), entry);
    type(*ann, QStringLiteral("b"));
    EXPECT_EQ(codes(*ann, true), (std::vector<int> {1, 0, 0, 0, 0}));
    EXPECT_EQ(entry->text(), "hib");

    // Escape in the entry hands the keys back and keeps the line; the box and its caption switch
    // too.
    press(*ann, Qt::Key_Escape);
    EXPECT_FALSE(ann->session().board().typeInChat);
    EXPECT_EQ(focused(), boardKeys());
    EXPECT_EQ(entry->text(), "hib");
    press(*ann, Qt::Key_Escape); // on the board Escape is nothing
    EXPECT_FALSE(ann->session().board().typeInChat);
    QTest::mouseClick(ann->chat().findChild<QLabel *>("label_typing"), Qt::LeftButton);
    EXPECT_TRUE(ann->session().board().typeInChat);
    QTest::mouseClick(ann->chat().findChild<QLabel *>("checkbox_typing"), Qt::LeftButton);
    EXPECT_FALSE(ann->session().board().typeInChat);

    // A whole line typed into the entry goes out as chat, and the board's row stays as it was.
    QTest::mouseClick(entry, Qt::LeftButton);
    EXPECT_EQ(focused(), entry);
    typeText(kLine);
    press(*ann, Qt::Key_Return);
    QList<QByteArray> lines = sent();
    ASSERT_EQ(lines.size(), 1);
    EXPECT_TRUE(lines.first().startsWith("CMD_chat+2+hib" + kLine.toUtf8() + "|")) << lines.first().toStdString();
    EXPECT_EQ(codes(*ann, true), (std::vector<int> {1, 0, 0, 0, 0}));
    EXPECT_EQ(status(*ann), kTurnText);

    // A click on the board (on a tile of the puzzle row) gives it the keys back.
    QTest::mouseClick(board(*ann).puzzleTile(3), Qt::LeftButton);
    EXPECT_FALSE(ann->session().board().typeInChat);
    EXPECT_TRUE(outlined());
    EXPECT_EQ(focused(), boardKeys());
    type(*ann, QStringLiteral("p"));
    // Keys the board has no use for still reach the chat entry.
    press(*ann, Qt::Key_Question, Qt::ShiftModifier);
    EXPECT_EQ(codes(*ann, true), (std::vector<int> {1, 16, 0, 0, 0}));
    EXPECT_EQ(entry->text(), "?");

    // Clear Main Chat empties the view and leaves the keys where they were: on the board during
    // the turn.
    ann->chat().mainchat()->clearMainChat2()->trigger();
    EXPECT_TRUE(ann->chat().mainchat()->toPlainText().isEmpty());
    EXPECT_FALSE(ann->session().board().typeInChat);
    EXPECT_EQ(focused(), boardKeys());
    type(*ann, QStringLiteral("p"));
    EXPECT_EQ(codes(*ann, true), (std::vector<int> {1, 16, 16, 0, 0}));

    // Submitting keeps the board's keys while the host checks, and the outline stays.
    type(*ann, QStringLiteral("le"));
    press(*ann, Qt::Key_Return);
    EXPECT_TRUE(sent().first().startsWith("CMD_myword+2+"));
    EXPECT_TRUE(outlined());
    EXPECT_EQ(focused(), boardKeys());

    // When the time is up the keys and the caret are the chat's again, and a click on the board
    // changes nothing.
    hostSends("CMD_timeup+2+");
    EXPECT_EQ(status(*ann), "Time is Up.");
    EXPECT_FALSE(ownsBoard(*ann));
    EXPECT_FALSE(outlined());
    EXPECT_EQ(focused(), entry);
    QTest::mouseClick(board(*ann).puzzleTile(3), Qt::LeftButton);
    EXPECT_EQ(focused(), entry);
    EXPECT_FALSE(outlined());
    // Outside the turn Clear Main Chat puts the caret into the chat entry.
    ann->chat().mainchat()->setFocus(Qt::MouseFocusReason);
    ann->chat().mainchat()->clearMainChat2()->trigger();
    EXPECT_EQ(focused(), entry);
    // Tab gives the board nothing; letters and Enter send the line as chat.
    press(*ann, Qt::Key_Tab);
    EXPECT_FALSE(ann->session().board().typeInChat);
    entry->setFocus();
    type(*ann, QStringLiteral("yo"));
    press(*ann, Qt::Key_Return);
    lines = sent();
    ASSERT_EQ(lines.size(), 1);
    EXPECT_TRUE(lines.first().startsWith("CMD_chat+2+?yo|")) << lines.first().toStdString();
}

// A clicked link, a chosen smiley and a click into the chat history all leave the keyboard where
// the player types; Enter in the chat view never opens a link again.
TEST_F(KeyRouting, LinksSmiliesAndTheHistoryNeverKeepTheKeyboard)
{
    chat::ChatView *view = ann->chat().mainchat();
    chat::ChatEntry *entry = ann->chat().mychat();
    QStringList opened;
    view->setLinkOpener([&opened](const QUrl &address) {
        opened << address.toString();
        return true;
    });
    hostSends("CMD_chat+3+Bob chats: see www.example.org now|clBlack");

    // During the turn with the board holding the keys: back to the board.
    clickInView(QStringLiteral("example"));
    EXPECT_EQ(opened, QStringList({"http://www.example.org"}));
    EXPECT_EQ(focused(), boardKeys());
    view->setFocus(Qt::MouseFocusReason); // as a click on the history does
    press(*ann, Qt::Key_Return);
    EXPECT_EQ(opened.size(), 1);
    EXPECT_TRUE(sent().isEmpty()); // the board had nothing typed: "Invalid Word"
    EXPECT_EQ(status(*ann), "Invalid Word");

    // In the chat: a link, then a smiley and Enter send the line instead of opening the link.
    QTest::mouseClick(entry, Qt::LeftButton);
    typeText(QStringLiteral("look"));
    clickInView(QStringLiteral("example"));
    EXPECT_EQ(opened.size(), 2);
    EXPECT_EQ(focused(), entry);
    view->setFocus(Qt::MouseFocusReason);
    QMenu *smilies = ann->chat().findChild<QMenu *>(QStringLiteral("popup_smilies"));
    ASSERT_NE(smilies, nullptr);
    smilies->actions().at(2)->trigger();
    EXPECT_EQ(focused(), entry);
    press(*ann, Qt::Key_Return);
    EXPECT_EQ(opened.size(), 2);
    QList<QByteArray> lines = sent();
    ASSERT_EQ(lines.size(), 1);
    EXPECT_TRUE(lines.first().startsWith("CMD_chat+2+look:)#12|")) << lines.first().toStdString();

    // Keys typed after a click into the history reach the entry; Ctrl+C still copies the view.
    view->setFocus(Qt::MouseFocusReason);
    view->SelectAll1Click();
    press(*ann, Qt::Key_C, Qt::ControlModifier);
    EXPECT_TRUE(QGuiApplication::clipboard()->text().contains("www.example.org"));
    view->setFocus(Qt::MouseFocusReason);
    ASSERT_EQ(focused(), view);
    typeText(QStringLiteral("hi"));
    EXPECT_EQ(focused(), entry);
    EXPECT_EQ(entry->text(), "hi");
    press(*ann, Qt::Key_Return);
    lines = sent();
    ASSERT_EQ(lines.size(), 1);
    EXPECT_TRUE(lines.first().startsWith("CMD_chat+2+hi|"));
    EXPECT_EQ(opened.size(), 2);
}

// Every menu and item has its letter, none shared, and the standard keys are there. (A whole game
// played by keyboard opens the menus by their letters during a turn; the menu walk of the
// accessibility tests opens each one and F10.)
TEST_F(KeyRouting, EveryMenuAndItemHasALetterOfItsOwnAndTheStandardKeys)
{
    Tchat &window = ann->chat();
    const std::function<void(const QList<QAction *> &, const QString &)> checkLetters =
        [&](const QList<QAction *> &items, const QString &where) {
            QSet<QChar> letters;
            for (QAction *item : items) {
                if (item->isSeparator() || !item->isVisible() || window.tileMenu().group()->actions().contains(item))
                    continue;
                const qsizetype amp = item->text().indexOf(u'&');
                ASSERT_TRUE(amp >= 0 && amp + 1 < item->text().size()) << (where + item->text()).toStdString();
                const QChar letter = item->text().at(amp + 1).toLower();
                EXPECT_FALSE(letters.contains(letter)) << (where + item->text()).toStdString() << " shares its letter";
                letters.insert(letter);
                if (item->menu())
                    checkLetters(item->menu()->actions(), where + item->text() + QStringLiteral(" > "));
            }
        };
    checkLetters(window.menuBar()->actions(), QString());
    EXPECT_EQ(window.findChild<QAction *>(QStringLiteral("Exit1"))->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Q));
    EXPECT_EQ(window.helpAction()->shortcut(), QKeySequence(Qt::Key_F1));
    EXPECT_EQ(window.boardSummaryAction()->shortcut(), QKeySequence(Qt::Key_F2));
}
