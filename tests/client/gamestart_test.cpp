// The game options dialog: its boxes, what it sends, and when the Start button opens it.

#include "tests/client/game_fixture.h"

#include "tests/client/fake_host.h"

#include <QAction>
#include <QLineEdit>
#include <QWheelEvent>

using testing_support::FakeHost;
using testing_support::waitUntil;

namespace {
const QByteArray T("\xFF", 1);
}

class GameStart : public GameFixture
{
};

TEST_F(GameStart, TheBoxesTakeTypedDigitsAndTheirArrowsWithinTheirRanges)
{
    auto ann = hostGame(QStringLiteral("Ann"));
    Tgamestart &dialog = ann->gamestart();
    EXPECT_EQ(dialog.windowTitle(), "Vrel - Game Start");
    EXPECT_FALSE(dialog.isVisible());
    ASSERT_EQ(ann->chat().gameStartDialog(), &dialog);
    EXPECT_EQ(dialog.findChild<QLabel *>("label_heading")->text(), "Game Options");
    EXPECT_EQ(dialog.findChild<QLabel *>("label_playtoscore")->text(), "Rounds Per Game: ");
    EXPECT_EQ(dialog.findChild<QLabel *>("label_creationtime")->text(), "Creation Time:");

    auto *rounds = dialog.findChild<QLineEdit *>("edit_playtoscore");
    auto *seconds = dialog.findChild<QLineEdit *>("edit_creationtime");
    ASSERT_TRUE(rounds && seconds);
    EXPECT_EQ(rounds->text(), "5");
    EXPECT_EQ(seconds->text(), "60");
    EXPECT_FALSE(rounds->isReadOnly());

    ann->chat().startGameAction()->trigger();
    ASSERT_TRUE(dialog.isVisible());
    EXPECT_FALSE(dialog.isModal());
    screenshot(&dialog, QStringLiteral("gamestart"));

    // Typed digits count once the box is left; letters are not taken, a number below the range
    // becomes its least and one above it cannot be typed. The wheel changes nothing; the arrow
    // keys step, and neither box wraps around.
    ASSERT_TRUE(activate(&dialog));
    dialog.UpDown1->setFocus();
    rounds->selectAll();
    QTest::keyClicks(dialog.UpDown1, "9x");
    EXPECT_EQ(rounds->text(), "9");
    QTest::keyClick(dialog.UpDown1, Qt::Key_Tab);
    EXPECT_EQ(dialog.UpDown1->value(), 9);
    EXPECT_EQ(ann->session().options().roundsPerGame, 9);
    ASSERT_EQ(dialog.focusWidget(), dialog.UpDown2);
    seconds->selectAll();
    QTest::keyClicks(dialog.UpDown2, "150");
    EXPECT_EQ(seconds->text(), "15");
    QTest::keyClick(dialog.UpDown2, Qt::Key_Tab);
    EXPECT_EQ(seconds->text(), "30");
    QWheelEvent wheel(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(dialog.UpDown1, &wheel);
    EXPECT_EQ(rounds->text(), "9");
    QTest::keyClick(dialog.UpDown2, Qt::Key_Up);
    EXPECT_EQ(seconds->text(), "35");
    for (int i = 0; i < 20; ++i) {
        dialog.UpDown1->stepUp();
        dialog.UpDown2->stepUp();
    }
    EXPECT_EQ(rounds->text(), "10");
    EXPECT_EQ(seconds->text(), "120");
    for (int i = 0; i < 30; ++i) {
        dialog.UpDown1->stepDown();
        QTest::keyClick(dialog.UpDown2, Qt::Key_Down);
    }
    EXPECT_EQ(rounds->text(), "1");
    EXPECT_EQ(seconds->text(), "30");
    dialog.UpDown2->stepUp();
    EXPECT_EQ(seconds->text(), "35");

    // Starting sends the box texts; the game starts on the host with them.
    QTest::mouseClick(dialog.startButton(), Qt::LeftButton);
    EXPECT_FALSE(dialog.isVisible());
    ASSERT_TRUE(waitUntil([&] { return label(*ann, "label_roundnum") == "Round: 1 of 1"; }));
    EXPECT_EQ(ann->server().turnSeconds(), 35);
}

TEST_F(GameStart, TheDialogSendsThePlayerNameAndTheBoxTexts)
{
    FakeHost fake;
    std::unique_ptr<VrelProgram> ann;
    auto peer = joinFake(fake, ann, QStringLiteral("Ann Lee"), 3);
    ASSERT_TRUE(peer);
    peer->next();
    ASSERT_TRUE(waitUntil([&] { return ann->session().connected(); }));
    ann->chat().button_startClick();
    ASSERT_TRUE(ann->gamestart().isVisible());
    QTest::mouseClick(ann->gamestart().startButton(), Qt::LeftButton);
    EXPECT_EQ(peer->next(), QByteArray("CMD_startgame+Ann Lee+5+60+"));
    EXPECT_FALSE(ann->gamestart().isVisible());
    EXPECT_TRUE(boxes.isEmpty());

    // From the keyboard alone: Tab goes from box to box to the Start plate and round again, the
    // arrows move the box that has the keys and digits replace what Tab selected, Enter starts
    // from anywhere, Escape closes.
    Tgamestart &dialog = ann->gamestart();
    ann->chat().button_startClick();
    ASSERT_TRUE(dialog.isVisible());
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    const auto key = [&dialog](Qt::Key k) { QTest::keyClick(dialog.focusWidget() ? dialog.focusWidget() : &dialog, k); };
    dialog.UpDown1->setFocus();
    key(Qt::Key_Up);
    key(Qt::Key_Tab);
    EXPECT_EQ(dialog.focusWidget(), dialog.UpDown2);
    key(Qt::Key_Down);
    key(Qt::Key_Tab);
    EXPECT_EQ(dialog.focusWidget(), dialog.startButton());
    key(Qt::Key_Tab);
    EXPECT_EQ(dialog.focusWidget(), dialog.UpDown1);
    key(Qt::Key_7);
    key(Qt::Key_Return);
    EXPECT_EQ(peer->next(), QByteArray("CMD_startgame+Ann Lee+7+55+"));
    EXPECT_FALSE(dialog.isVisible());
    ann->chat().button_startClick();
    ASSERT_TRUE(dialog.isVisible());
    key(Qt::Key_Escape);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_TRUE(peer->drain(150).isEmpty());
}

TEST_F(GameStart, StartBeforeTheSeatIsKnownSaysNotConnected)
{
    ClientSession session;
    Tchat chat(session);
    chat.button_startClick();
    EXPECT_EQ(boxes, QStringList({"You are not connected"}));
}
