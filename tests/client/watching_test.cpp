// Watching and removal in the real windows: the seat menu on the name labels, "Just Watch" and
// the host's answer with its eyes and lines, and removing a spectator from the spy list.

#include "tests/client/game_fixture.h"
#include "tests/client/fake_host.h"

#include "client/seat_menu.h"
#include "client/tspylist.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QMenu>
#include <QToolTip>

using testing_support::FakeHost;
using testing_support::RawClient;
using testing_support::settle;
using testing_support::waitUntil;

namespace {
const QByteArray T("\xFF", 1);
}

class Watching : public GameFixture
{
protected:
    // A right click on a seat's name label opens the seat menu there.
    static SeatMenu &openSeatMenu(VrelProgram &program, int seat)
    {
        QLabel *label = program.chat().seatRows().name(seat);
        const QPoint at(5, 5);
        QContextMenuEvent click(QContextMenuEvent::Mouse, at, label->mapToGlobal(at));
        QApplication::sendEvent(label, &click);
        return program.chat().seatMenu();
    }
    static QList<bool> enabled(const SeatMenu &menu)
    {
        return {menu.removeFromGame()->isEnabled(), menu.setToJustWatch()->isEnabled(),
                menu.unsetJustWatch()->isEnabled()};
    }
    // A click on the entry of an open menu; a disabled entry leaves the menu open, and the
    // player closes it.
    static void choose(QMenu *menu, QAction *entry)
    {
        ASSERT_TRUE(menu->isVisible());
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(entry).center());
        EXPECT_EQ(menu->isVisible(), !entry->isEnabled());
        menu->hide();
    }
    static bool eyes(VrelProgram &program, int seat) { return !program.chat().seatRows().eyes(seat)->isHidden(); }
    static bool checked(VrelProgram &program) { return program.chat().justWatchAction()->isChecked(); }

    // The removals the host engine carried out.
    void recordRemovals(VrelProgram &host)
    {
        QObject::connect(&host.server(), &TServer::activity, [this](const QString &line) {
            if (line.contains(QLatin1String("removes")))
                removals << line;
        });
    }
    QStringList removals;
};

TEST_F(Watching, TheSeatMenuIsTheHostsAndRemovesAPlayer)
{
    auto ann = hostGame(QStringLiteral("Ann"));
    auto bob = joinGame(*ann, QStringLiteral("Bob"), 2);
    recordRemovals(*ann);

    // On a joining copy every entry is disabled, on a player as on an empty seat.
    for (const int seat : {1, 3}) {
        SeatMenu &menu = openSeatMenu(*bob, seat);
        EXPECT_TRUE(menu.menu()->isVisible());
        EXPECT_EQ(menu.targetSeat(), seat);
        EXPECT_EQ(enabled(menu), QList<bool>({false, false, false}));
        choose(menu.menu(), menu.removeFromGame());
    }
    settle(150);
    EXPECT_TRUE(removals.isEmpty());
    EXPECT_EQ(rowName(*ann, 1), "Ann");

    // On the hosting copy "<Waiting>" cannot be removed, but may be set to watch.
    SeatMenu &menu = openSeatMenu(*ann, 3);
    EXPECT_EQ(menu.targetSeat(), 3);
    EXPECT_EQ(enabled(menu), QList<bool>({false, true, true}));
    menu.menu()->hide();

    // Removing Bob is asked first, naming what it does to him; No keeps him.
    const QString question = QStringLiteral("Remove Bob from the game? Bob is sent away from the table and loses the seat, "
                                            "with its score.");
    answer = false;
    openSeatMenu(*ann, 2);
    choose(menu.menu(), menu.removeFromGame());
    EXPECT_EQ(questions, QStringList {question});
    screenshotBox(question, QStringLiteral("remove-question"), true);
    settle(150);
    EXPECT_TRUE(removals.isEmpty());

    // On Yes the host tells him and closes his connection, his window says so and stays, everyone
    // sees him go.
    answer = true;
    openSeatMenu(*ann, 2);
    EXPECT_EQ(enabled(menu), QList<bool>({true, true, true}));
    choose(menu.menu(), menu.removeFromGame());
    EXPECT_EQ(questions.size(), 2);
    ASSERT_TRUE(waitUntil([&] { return rowName(*ann, 2) == kWaitingName && !boxes.isEmpty(); }));
    EXPECT_EQ(removals, QStringList {"seat 1 removes seat 2"});
    EXPECT_TRUE(chatLines(*ann).contains("Bob disconnected."));
    EXPECT_EQ(boxes, QStringList {"You were removed from the game."});
    EXPECT_TRUE(bob->chat().isVisible());
    EXPECT_EQ(endings, 0);

    // A player who calls himself "<Waiting>" is a player all the same: he can be removed, and he
    // is among the opponents the tally may follow.
    auto odd = joinGame(*ann, kWaitingName, 2);
    ASSERT_TRUE(waitUntil([&] { return ann->session().seat(2).occupied; }));
    openSeatMenu(*ann, 2);
    EXPECT_EQ(enabled(menu), QList<bool>({true, true, true}));
    menu.menu()->hide();
    EXPECT_EQ(ann->session().opponents(), QStringList({kWaitingName}));

    // Exit while hosting a running game asks first, naming what it does to the others; a player
    // who joined leaves without a question, and so does the host between games.
    const auto exit = [](VrelProgram &program) { program.chat().findChild<QAction *>(QStringLiteral("Exit1"))->trigger(); };
    auto cid = joinGame(*ann, QStringLiteral("Cid"), 3);
    auto dee = joinGame(*ann, QStringLiteral("Dee"), 4);
    auto gus = joinGame(*ann, QStringLiteral("Gus"), 5);
    questions.clear();
    answer = false;
    exit(*cid);
    EXPECT_TRUE(questions.isEmpty());
    EXPECT_FALSE(cid->chat().isVisible());
    EXPECT_EQ(ann->session().leavingEndsTheGame(), QString()); // no game runs
    cid.reset(); // the program ends
    ASSERT_TRUE(waitUntil([&] { return !ann->session().seat(3).occupied; }));
    startGame(*ann, 1, 30);
    ASSERT_TRUE(waitUntil([&] { return ownsBoard(*dee) && ownsBoard(*gus) && ownsBoard(*odd); }));
    exit(*ann);
    EXPECT_EQ(questions, QStringList {"Exit Vrel? This ends the game for the other 3 players."});
    EXPECT_TRUE(ann->chat().isVisible());
    screenshotBox(questions.first(), QStringLiteral("exit-question"), true);
    answer = true;
    exit(*ann);
    EXPECT_EQ(questions.size(), 2);
    EXPECT_FALSE(ann->chat().isVisible());
}

TEST_F(Watching, JustWatchWaitsForTheHostThenEveryoneSeesTheEyes)
{
    auto ann = hostGame(QStringLiteral("Ann"));
    auto bob = joinGame(*ann, QStringLiteral("Bob"), 2);
    QAction *justWatch = bob->chat().justWatchAction();
    // The last entry of the Options menu, below a separator.
    const QList<QAction *> options = bob->chat().optionsMenu()->actions();
    ASSERT_EQ(options.last(), justWatch);
    EXPECT_TRUE(options.at(options.size() - 2)->isSeparator());
    EXPECT_EQ(justWatch->text(), "&Just Watch");

    // Between games Just Watch is greyed out, and its tooltip says that it applies during a game.
    EXPECT_FALSE(justWatch->isEnabled());
    QMenu *optionsMenu = bob->chat().optionsMenu();
    optionsMenu->popup(bob->chat().mapToGlobal(QPoint(40, 30)));
    ASSERT_TRUE(waitUntil([&] { return optionsMenu->isVisible(); }));
    const QPoint over = optionsMenu->actionGeometry(justWatch).center();
    QHelpEvent hover(QEvent::ToolTip, over, optionsMenu->mapToGlobal(over));
    QApplication::sendEvent(optionsMenu, &hover);
    EXPECT_TRUE(QToolTip::text().contains(QLatin1String("applies during a game"))) << QToolTip::text().toStdString();
    screenshot(optionsMenu, QStringLiteral("just-watch-between-games"));
    for (QWidget *tip : QApplication::topLevelWidgets()) {
        if (tip->inherits("QTipLabel") && tip->isVisible())
            screenshot(tip, QStringLiteral("just-watch-tooltip"));
    }
    optionsMenu->hide();
    justWatch->trigger();
    settle(200);
    EXPECT_FALSE(checked(*bob));
    EXPECT_FALSE(eyes(*ann, 2));

    startGame(*ann, 1, 30);
    ASSERT_TRUE(waitUntil([&] { return ownsBoard(*bob) && ownsBoard(*ann); }));
    EXPECT_TRUE(justWatch->isEnabled());
    EXPECT_TRUE(justWatch->toolTip().isEmpty() || justWatch->toolTip() == QLatin1String("Just Watch"));
    justWatch->trigger();
    EXPECT_FALSE(checked(*bob)); // until the host answers
    ASSERT_TRUE(waitUntil([&] { return checked(*bob) && eyes(*ann, 2) && eyes(*bob, 2); }));
    EXPECT_FALSE(eyes(*ann, 1));
    EXPECT_FALSE(checked(*ann));
    // The eyes stand beside the name, clear of its text, at a size that reads.
    const QLabel *watcherEyes = ann->chat().seatRows().eyes(2);
    EXPECT_GE(watcherEyes->pixmap().deviceIndependentSize().width(), 14);
    EXPECT_LT(watcherEyes->geometry().right(), ann->chat().seatRows().name(2)->geometry().left());
    for (VrelProgram *program : {ann.get(), bob.get()})
        EXPECT_TRUE(chatLines(*program).contains("Bob is just watching"));
    screenshot(ann->chat().board(), QStringLiteral("watching"));

    // The hosting player lets Bob play again from the seat menu, then sets him to watch.
    SeatMenu &menu = openSeatMenu(*ann, 2);
    choose(menu.menu(), menu.unsetJustWatch());
    ASSERT_TRUE(waitUntil([&] { return !checked(*bob) && !eyes(*ann, 2) && !eyes(*bob, 2); }));
    for (VrelProgram *program : {ann.get(), bob.get()})
        EXPECT_TRUE(chatLines(*program).contains("Bob is now playing again"));
    openSeatMenu(*ann, 2);
    choose(menu.menu(), menu.setToJustWatch());
    ASSERT_TRUE(waitUntil([&] { return checked(*bob) && eyes(*ann, 2); }));

    // The game ends without waiting for the watching player. When the next game starts the host
    // clears every watching seat: the check mark and everybody's eyes go.
    submit(*ann, QString::fromLatin1(ann->server().puzzle(1, 1).source));
    ASSERT_TRUE(waitUntil([&] { return label(*bob, "label_words1") == "1"; }));
    runHostPhase(*ann);
    runHostPhase(*ann);
    ASSERT_TRUE(waitUntil([&] { return shown(*ann, "panel_winner") && shown(*bob, "panel_winner"); }));
    EXPECT_TRUE(eyes(*ann, 2));
    EXPECT_FALSE(justWatch->isEnabled());
    startGame(*ann, 1, 30);
    ASSERT_TRUE(waitUntil([&] { return chatLines(*bob).count("Ann has started a game.") == 2; }));
    EXPECT_FALSE(checked(*bob));
    EXPECT_FALSE(eyes(*ann, 2));
    EXPECT_FALSE(eyes(*bob, 2));
    screenshot(ann->chat().board(), QStringLiteral("watching-cleared-at-game-start"));
}

TEST_F(Watching, JustWatchSendsTheLocalSeatAndItsFlagAndSpectatorsSendNothing)
{
    FakeHost fake;
    auto ann = launch({QStringLiteral("Ann"), QStringLiteral("127.0.0.1"), QStringLiteral("join")}, fake.port());
    auto host = fake.accept();
    ASSERT_TRUE(host);
    host->send("CMD_sendlogininfo+2" + T + "CMD_newplayerinfo+2+Ann" + T + "CMD_startgame+Cid+1+60++" + T);
    ASSERT_TRUE(host->waitFor("CMD_logininfo+2+1.0.4+Ann"));
    ASSERT_TRUE(waitUntil([&] { return rowName(*ann, 2) == "Ann" && ann->session().gameRunning(); }));
    host->drain(50);

    QAction *justWatch = ann->chat().justWatchAction();
    justWatch->trigger();
    EXPECT_EQ(host->drain(150), QList<QByteArray>({"CMD_justwatch+2+1"}));
    EXPECT_FALSE(checked(*ann));
    host->send("CMD_justwatching+2+1" + T);
    ASSERT_TRUE(waitUntil([&] { return checked(*ann) && eyes(*ann, 2); }));
    justWatch->trigger();
    EXPECT_EQ(host->drain(150), QList<QByteArray>({"CMD_justwatch+2+2"}));
    EXPECT_TRUE(checked(*ann));

    // An announcement for a spectator's seat changes nothing and shows nothing.
    const qsizetype lines = chatLines(*ann).size();
    host->send("CMD_justwatching+8+2" + T);
    settle(150);
    EXPECT_TRUE(checked(*ann));
    EXPECT_EQ(chatLines(*ann).size(), lines);

    // A spectator's "Just Watch" sends nothing.
    auto zed = launch({QStringLiteral("Zed"), QStringLiteral("127.0.0.1"), QStringLiteral("join")}, fake.port());
    auto zedsHost = fake.accept();
    ASSERT_TRUE(zedsHost);
    zedsHost->send("CMD_sendlogininfo+7" + T + "CMD_startgame+Cid+1+60++" + T);
    ASSERT_TRUE(zedsHost->waitFor("CMD_logininfo+7+1.0.4+Zed"));
    ASSERT_TRUE(waitUntil([&] { return zed->session().gameRunning(); }));
    zedsHost->drain(50);
    zed->chat().justWatchAction()->trigger();
    EXPECT_TRUE(zedsHost->drain(200).isEmpty());
    EXPECT_FALSE(checked(*zed));
}

TEST_F(Watching, RemovalFromTheSpyListTakesTheEntryUnderThePointer)
{
    auto ann = hostGame(QStringLiteral("Ann"));
    recordRemovals(*ann);
    std::vector<std::unique_ptr<RawClient>> players;
    for (const char *name : {"Bea", "Cid", "Dee", "Eve", "Fay", "Gus", "Hal"})
        players.push_back(joinRaw(portOf(*ann), name));
    Tspylist &spylist = ann->spylist();
    QListWidget *list = spylist.list();
    ASSERT_TRUE(waitUntil([&] { return list->count() == 2; }));
    EXPECT_EQ(items(list), QStringList({"7: Gus", "8: Hal"}));
    ann->chat().findChild<QAction *>(QStringLiteral("SpyList1"))->trigger();
    ASSERT_TRUE(spylist.isVisible());

    auto *popup = spylist.findChild<QMenu *>(QStringLiteral("popup_spys"));
    const auto removeAt = [&](const QPoint &at) {
        // The pointer moves there through the window, as the window system moves it.
        QTest::mouseMove(spylist.windowHandle(), list->viewport()->mapTo(&spylist, at));
        QContextMenuEvent click(QContextMenuEvent::Mouse, at, list->viewport()->mapToGlobal(at));
        QApplication::sendEvent(list->viewport(), &click);
        choose(popup, spylist.removeAction());
    };

    // Over empty space below the entries: nothing is sent.
    removeAt(QPoint(20, list->viewport()->height() - 5));
    EXPECT_EQ(spylist.hoveredIndex(), -1);
    settle(200);
    EXPECT_TRUE(removals.isEmpty());

    // Over "8: Hal": seat 8 is removed, and only Hal.
    removeAt(list->visualItemRect(list->item(1)).center());
    EXPECT_EQ(spylist.hoveredIndex(), 1);
    ASSERT_TRUE(players[6]->closedByPeer());
    EXPECT_EQ(removals, QStringList {"seat 1 removes seat 8"});
    ASSERT_TRUE(waitUntil([&] { return items(list) == QStringList {"7: Gus"}; }));
    EXPECT_FALSE(players[5]->closedByPeer(200));
}

// On a host without a window the starter is the player who has been at the table longest. The
// window follows the order the host tells: those already there come to a newcomer longest first,
// every later arrival after them. A seat announced without a name never logged in and counts for
// nothing (a classic host announces such seats).
TEST_F(Watching, TheWindowTakesTheStartAsTheHostDoesByOrderOfArrival)
{
    FakeHost fake;
    std::unique_ptr<VrelProgram> ann;
    auto host = joinFake(fake, ann, QStringLiteral("Ann"), 3);
    ASSERT_TRUE(host);
    host->send("CMD_newplayerinfo+3+Ann" + T + "CMD_existingplayers+4+Dan" + T + "CMD_existingplayers+2+" + T
               + "CMD_existingplayers+1+Eve" + T);
    ASSERT_TRUE(waitUntil([&] { return rowName(*ann, 1) == "Eve"; }));
    EXPECT_EQ(rowName(*ann, 2), kWaitingName);
    EXPECT_FALSE(ann->session().isStarter());

    // Dan leaves: Eve, there before Ann, starts. Eve leaves: Ann starts, with the Start button,
    // whoever comes after her into a lower seat.
    host->send("CMD_playerdisconnected+4+Dan" + T);
    settle(100);
    EXPECT_FALSE(ann->session().isStarter());
    host->send("CMD_playerdisconnected+1+Eve" + T + "CMD_newplayerinfo+1+Zed" + T + "CMD_newplayerinfo+2+Bob" + T);
    ASSERT_TRUE(waitUntil([&] { return rowName(*ann, 2) == "Bob"; }));
    EXPECT_TRUE(ann->session().isStarter());
    EXPECT_TRUE(ann->chat().startButton()->isVisible());
    EXPECT_EQ(enabled(openSeatMenu(*ann, 1)), QList<bool>({true, true, true}));
    ann->chat().seatMenu().menu()->hide();
}
