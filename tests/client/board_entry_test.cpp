// Letter entry on the board, key by key, against a peer that plays the host's part byte for byte:
// what the keys do, what is sent and what is not. (How Tab and clicks hand the keys between the
// board and the chat: key_routing_test.)

#include "tests/client/fake_host_game.h"

#include "chat/chatentry.h"
#include "client/key_codes.h"

#include <QAction>
#include <QKeyEvent>

using testing_support::settle;
using testing_support::waitUntil;

namespace {
const QByteArray T("\xFF", 1);
}

class BoardEntry : public FakeHostGame
{
protected:
    // Ann joins the fake host, gets seat 2 and her turn on the masked word ap_le.
    void SetUp() override { joinAnnForHerTurn(); }

    // What the client sent since the last look.
    QList<QByteArray> sent(int ms = 150) { return peer->drain(ms); }
};

TEST_F(BoardEntry, TypedLettersFillTheRowAndEnterSendsTheirCodes)
{
    EXPECT_EQ(codes(*ann, false), (std::vector<int> {1, 16, 0, 12, 5})); // A P _ L E
    EXPECT_EQ(codes(*ann, true), (std::vector<int> {0, 0, 0, 0, 0}));
    EXPECT_EQ(label(*ann, "label_wordcount"), "First Word");
    EXPECT_FALSE(ann->session().board().typeInChat); // the turn takes the keyboard for the board
    EXPECT_TRUE(shown(*ann, "button_pass"));
    EXPECT_TRUE(shown(*ann, "button_clear"));

    // Backspace with nothing typed does nothing; the next letter goes to position 1.
    press(*ann, Qt::Key_Backspace);
    EXPECT_TRUE(soundsOf(*ann).isEmpty());
    // Three letters and Enter: "Invalid Word", nothing sent, the letters stay.
    type(*ann, QStringLiteral("APP"));
    press(*ann, Qt::Key_Return);
    EXPECT_EQ(status(*ann), "Invalid Word");
    EXPECT_EQ(codes(*ann, true), (std::vector<int> {1, 16, 16, 0, 0}));
    EXPECT_TRUE(sent().isEmpty());
    EXPECT_EQ(soundsOf(*ann), QStringList({"clickletter", "clickletter", "clickletter", "invalid"}));
    // Two more letters (Shift does not matter) and Enter submit the word.
    press(*ann, Qt::Key_L, Qt::ShiftModifier);
    press(*ann, Qt::Key_E);
    press(*ann, Qt::Key_Enter);
    EXPECT_EQ(sent(), QList<QByteArray>({"CMD_myword+2+1+1+2+16+3+16+4+12+5+5"}));
    EXPECT_EQ(status(*ann), "Checking Word...");
    // Until the host answers, the board takes no keys: a second Enter sends nothing.
    EXPECT_EQ(ann->session().entrySeat(), 0);
    press(*ann, Qt::Key_Return);
    EXPECT_TRUE(sent().isEmpty());

    soundsOf(*ann).clear();
    hostSends("CMD_newword+2+1+2+cr__e+");
    EXPECT_TRUE(ownsBoard(*ann));
    EXPECT_TRUE(shown(*ann, "image_check1"));
    EXPECT_FALSE(shown(*ann, "image_check2"));
    EXPECT_EQ(label(*ann, "label_wordcount"), "Second Word");
    EXPECT_EQ(status(*ann), "Create Another Word");
    EXPECT_EQ(codes(*ann, true), (std::vector<int> {0, 0, 0, 0, 0}));
    EXPECT_EQ(codes(*ann, false), (std::vector<int> {3, 18, 0, 0, 5}));
    EXPECT_EQ(soundsOf(*ann), QStringList({"goodword"}));
}

TEST_F(BoardEntry, ASixthLetterIsSwallowedAndTheClearAndPassKeysWork)
{
    type(*ann, QStringLiteral("cratex"));
    EXPECT_EQ(codes(*ann, true), (std::vector<int> {3, 18, 1, 20, 5}));
    EXPECT_EQ(soundsOf(*ann).count("clickletter"), 5); // the sixth plays nothing
    press(*ann, Qt::Key_Backspace);
    EXPECT_EQ(codes(*ann, true), (std::vector<int> {3, 18, 1, 20, 0}));
    EXPECT_EQ(soundsOf(*ann).last(), "backspace");

    for (Qt::Key clearKey : {Qt::Key_0, Qt::Key_Equal, Qt::Key_Plus}) {
        type(*ann, QStringLiteral("ab"));
        press(*ann, clearKey);
        EXPECT_EQ(codes(*ann, true), (std::vector<int> {0, 0, 0, 0, 0})) << clearKey;
        EXPECT_EQ(soundsOf(*ann).last(), "clear");
    }
    // Keypad digits are not the top-row keys: no clear, no pass.
    type(*ann, QStringLiteral("ab"));
    press(*ann, Qt::Key_0, Qt::KeypadModifier);
    press(*ann, Qt::Key_1, Qt::KeypadModifier);
    EXPECT_EQ(codes(*ann, true), (std::vector<int> {1, 2, 0, 0, 0}));
    EXPECT_TRUE(sent().isEmpty());

    // "1" and Space pass; the row and the turn stay as they were until the next word comes.
    soundsOf(*ann).clear();
    press(*ann, Qt::Key_1);
    press(*ann, Qt::Key_Space);
    EXPECT_EQ(sent(), QList<QByteArray>({"CMD_pass+2+", "CMD_pass+2+"}));
    EXPECT_EQ(soundsOf(*ann), QStringList({"pass", "pass"}));
    EXPECT_EQ(codes(*ann, true), (std::vector<int> {1, 2, 0, 0, 0}));
    EXPECT_TRUE(ownsBoard(*ann));
    // The buttons do the same with the mouse.
    QTest::mouseClick(ann->chat().findChild<QPushButton *>("button_pass"), Qt::LeftButton);
    EXPECT_EQ(sent(), QList<QByteArray>({"CMD_pass+2+"}));
    QTest::mouseClick(ann->chat().findChild<QPushButton *>("button_clear"), Qt::LeftButton);
    EXPECT_EQ(codes(*ann, true), (std::vector<int> {0, 0, 0, 0, 0}));

    // The next word after a pass: no mark, no "goodword".
    soundsOf(*ann).clear();
    hostSends("CMD_newword+2+0+8+ap_le+");
    EXPECT_EQ(label(*ann, "label_wordcount"), "Eight Word");
    for (int word = 1; word <= 10; ++word)
        EXPECT_FALSE(shown(*ann, QStringLiteral("image_check%1").arg(word).toLatin1().constData()));
    EXPECT_FALSE(soundsOf(*ann).contains("goodword"));
    hostSends("CMD_newword+2+0+11+aPp_e+");
    EXPECT_EQ(label(*ann, "label_wordcount"), "");
    EXPECT_EQ(codes(*ann, false), (std::vector<int> {1, 0, 16, 0, 5})); // a capital shows the blank tile
}

TEST_F(BoardEntry, KeysAreReadAsKeysAndWhatTheBoardLeavesGoesToTheChat)
{
    chat::ChatEntry *entry = ann->chat().mychat();
    chat::ChatView *view = ann->chat().mainchat();
    EXPECT_EQ(ann->chat().focusWidget(), board(*ann).keyTarget());

    // Shift+0 is still the "0" key: it clears. Shift+1 is still the "1" key: it passes.
    type(*ann, QStringLiteral("ab"));
    press(*ann, Qt::Key_ParenRight, Qt::ShiftModifier);
    EXPECT_EQ(codes(*ann, true), (std::vector<int> {0, 0, 0, 0, 0}));
    EXPECT_EQ(soundsOf(*ann).last(), "clear");
    press(*ann, Qt::Key_Exclam, Qt::ShiftModifier);
    EXPECT_EQ(sent(), QList<QByteArray>({"CMD_pass+2+"}));

    // A key held with Ctrl is never the board's: Ctrl+S is the window's "Scroll Chat Off".
    press(*ann, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(codes(*ann, true), (std::vector<int> {0, 0, 0, 0, 0}));
    EXPECT_TRUE(view->scrollLocked());
    type(*ann, QStringLiteral("s"));
    EXPECT_EQ(codes(*ann, true), (std::vector<int> {19, 0, 0, 0, 0}));

    // Keys the board has no use for go on to the chat entry: the other digits, punctuation.
    // (Shift and Ctrl went there already, and took the placeholder away.)
    EXPECT_EQ(entry->text(), "");
    press(*ann, Qt::Key_2);
    press(*ann, Qt::Key_At, Qt::ShiftModifier);
    press(*ann, Qt::Key_9);
    press(*ann, Qt::Key_Period);
    press(*ann, Qt::Key_Question, Qt::ShiftModifier);
    EXPECT_EQ(entry->text(), "2@9.?");
    EXPECT_EQ(codes(*ann, true), (std::vector<int> {19, 0, 0, 0, 0}));

    // When the turn ends the keys are the chat's: letters land in the entry, and Ctrl+S is the
    // window's shortcut as before.
    hostSends("CMD_timeup+2+");
    type(*ann, QStringLiteral("gg"));
    EXPECT_EQ(entry->text(), "2@9.?gg");
    EXPECT_EQ(codes(*ann, true), (std::vector<int> {19, 0, 0, 0, 0}));
    press(*ann, Qt::Key_S, Qt::ControlModifier);
    EXPECT_FALSE(view->scrollLocked());
    EXPECT_EQ(entry->text(), "2@9.?gg");

    // Between rounds too, after the results came.
    hostSends("CMD_postscores+0+0+5+apple");
    ASSERT_TRUE(shown(*ann, "panel_scores"));
    press(*ann, Qt::Key_Exclam, Qt::ShiftModifier);
    type(*ann, QStringLiteral("a"));
    EXPECT_EQ(entry->text(), "2@9.?gg!a");
    EXPECT_TRUE(sent().isEmpty());
}

TEST_F(BoardEntry, VerdictsShowTheirTextAndAutoEraseEmptiesTheRow)
{
    type(*ann, QStringLiteral("apply"));
    press(*ann, Qt::Key_Return);
    sent();
    soundsOf(*ann).clear();
    hostSends("CMD_invalid+2+1+");
    EXPECT_EQ(status(*ann), "Invalid Match");
    EXPECT_EQ(codes(*ann, true), (std::vector<int> {0, 0, 0, 0, 0}));
    EXPECT_EQ(soundsOf(*ann), QStringList({"clear", "invalid"}));
    EXPECT_TRUE(ownsBoard(*ann));

    // Without auto erase the letters stay for correction.
    ann->chat().autoEraseAction()->trigger();
    EXPECT_FALSE(ann->session().autoErase());
    type(*ann, QStringLiteral("zzzzz"));
    press(*ann, Qt::Key_Return);
    EXPECT_EQ(sent(), QList<QByteArray>({"CMD_myword+2+1+26+2+26+3+26+4+26+5+26"}));
    soundsOf(*ann).clear();
    hostSends("CMD_invalid+2+2+");
    EXPECT_EQ(status(*ann), "Invalid Word");
    EXPECT_EQ(codes(*ann, true), (std::vector<int> {26, 26, 26, 26, 26}));
    EXPECT_EQ(soundsOf(*ann), QStringList({"invalid"}));

    // A verdict for another seat changes nothing here; an unknown verdict keeps the status.
    hostSends("CMD_invalid+3+1+");
    EXPECT_EQ(status(*ann), "Invalid Word");
    hostSends("CMD_invalid+2+7+");
    EXPECT_EQ(status(*ann), "Invalid Word");
}

TEST(BoardKeys, QtKeysMapToTheBoardsKeyCodes)
{
    const auto code = [](int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        return keys::virtualKeyCode(QKeyEvent(QEvent::KeyPress, key, modifiers));
    };
    EXPECT_EQ(code(Qt::Key_A), 65);
    EXPECT_EQ(code(Qt::Key_Z, Qt::ShiftModifier), 90);
    for (const Qt::KeyboardModifier held : {Qt::ControlModifier, Qt::AltModifier, Qt::MetaModifier})
        EXPECT_EQ(code(Qt::Key_Z, held), 0); // the window's keys, never the board's
    EXPECT_EQ(code(Qt::Key_Tab), 9);
    EXPECT_EQ(code(Qt::Key_Backtab, Qt::ShiftModifier), 9); // Shift+Tab is still the Tab key
    EXPECT_EQ(code(Qt::Key_Return), 13);
    EXPECT_EQ(code(Qt::Key_Enter, Qt::KeypadModifier), 13);
    EXPECT_EQ(code(Qt::Key_Backspace), 8);
    EXPECT_EQ(code(Qt::Key_Space), 32);
    EXPECT_EQ(code(Qt::Key_1), 49);
    EXPECT_EQ(code(Qt::Key_0), 48);
    EXPECT_EQ(code(Qt::Key_Equal), 187);
    EXPECT_EQ(code(Qt::Key_Plus), 187);
    EXPECT_EQ(code(Qt::Key_Plus, Qt::KeypadModifier), 0);
    EXPECT_EQ(code(Qt::Key_5), 0);
    // With Shift the top-row keys type symbols but are the same keys.
    EXPECT_EQ(code(Qt::Key_Exclam, Qt::ShiftModifier), 49);
    EXPECT_EQ(code(Qt::Key_ParenRight, Qt::ShiftModifier), 48);
    EXPECT_EQ(code(Qt::Key_At, Qt::ShiftModifier), 0);

    // Where the platform numbers the keys, the key is what counts, not what it types: on a French
    // keyboard the "1" key types "&", the "0" key "à", and ")" is a key of its own.
    const auto numbered = [](int key, quint32 keyNumber, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        return keys::virtualKeyCode(QKeyEvent(QEvent::KeyPress, key, modifiers, keyNumber, 0, 0), true);
    };
    EXPECT_EQ(numbered(Qt::Key_Ampersand, 10), 49);
    EXPECT_EQ(numbered(Qt::Key_1, 10, Qt::ShiftModifier), 49);
    EXPECT_EQ(numbered(Qt::Key_Agrave, 19), 48);
    EXPECT_EQ(numbered(Qt::Key_Equal, 21), 187);
    EXPECT_EQ(numbered(Qt::Key_ParenRight, 20), 0);
    EXPECT_EQ(numbered(Qt::Key_1, 87, Qt::KeypadModifier), 0);
    EXPECT_EQ(numbered(Qt::Key_Q, 38), 81); // letters by what they type (that keyboard has Q there)
}
