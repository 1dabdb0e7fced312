// A hosting window in the lab's network: listed by browsers with its player's name and seats,
// its port forwarded by the router while "Open My Port on the Router" is on (the option kept in
// the settings file), and both given back when the window's program ends. A window's join
// dialog lists the games found and joins one by double click or Enter.

#include "app/reach/host_reach.h"
#include "app/startup/tjoingame.h"
#include "app/startup/vrel_program.h"
#include "engine/tserver.h"
#include "joining/recent_games.h"
#include "tests/reach/lab.h"
#include "tests/support/screenshot.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QProxyStyle>
#include <QTemporaryDir>
#include <QTest>

using namespace testing_support;

TEST(LabHostingWindow, IsListedWithItsPlayerAndOpensItsPortWhileTheOptionIsOn)
{
    REQUIRE_NETWORK_LAB();
    lab::WindowHome home;
    GameBrowser browser;
    ASSERT_TRUE(waitUntil([&] { return browser.available(); }, 3000)) << qPrintable(browser.unavailableText());

    QElapsedTimer clock;
    clock.start();
    auto ann = std::make_unique<VrelProgram>(CommandLine {{QStringLiteral("Ann"), QStringLiteral("x"), QStringLiteral("true")}, 0, {}});
    ann->chat().show();
    ASSERT_TRUE(waitUntil([&] { return ann->server().listening(); }, 3000));
    lab::figure("hosting window shown to listening", clock.elapsed());
    const int port = ann->server().listeningPort();
    ASSERT_TRUE(waitUntil([&] {
        const int row = lab::rowWithPort(browser, port);
        return row >= 0 && browser.game(row).players == 1 && lab::listedForOthers(browser, port);
    }, 5000));
    lab::figure("hosting window started to its game listed with its player and the address others reach", clock.elapsed());
    GameFacts facts = browser.game(lab::rowWithPort(browser, port));
    EXPECT_EQ(facts.serviceName, QStringLiteral("Ann"));
    EXPECT_EQ(facts.hostPlayer, QStringLiteral("Ann"));
    EXPECT_EQ(facts.onlookers, 0);
    EXPECT_FALSE(facts.running);
    EXPECT_TRUE(browser.data(browser.index(lab::rowWithPort(browser, port)), Qt::DisplayRole).toString().contains(QLatin1String("1 player -")));

    // The option is on by default: the router forwards the window's port to this machine.
    ASSERT_NE(ann->reach(), nullptr);
    EXPECT_TRUE(ann->chat().openPortAction()->isChecked());
    EXPECT_TRUE(waitUntil([&] { return ann->reach()->portMapper().state() == PortMapper::State::Open; }, 4000));
    EXPECT_EQ(ann->reach()->portMapper().externalEndpoint(), QStringLiteral("11.77.0.7:%1").arg(port));
    EXPECT_TRUE(lab::routerLeases().contains(lab::leaseOf(port))) << qPrintable(lab::routerLeases());
    EXPECT_EQ(ann->reach()->routerNotice(), QStringLiteral("Invite link for players outside this network: vrel://11.77.0.7:%1").arg(port));

    // Turned off: the forwarding goes, and the choice is kept for the next run.
    ann->chat().openPortAction()->trigger();
    EXPECT_FALSE(ann->session().options().openPort);
    EXPECT_TRUE(waitUntil([&] { return !lab::routerLeases().contains(QStringLiteral("TCP:%1:").arg(port)); }, 3000))
        << qPrintable(lab::routerLeases());
    QFile settings(home.filePath(QStringLiteral("kovrlobby.ini")));
    ASSERT_TRUE(settings.open(QIODevice::ReadOnly));
    EXPECT_TRUE(settings.readAll().contains("OpenPort=false"));
    settings.close();
    // And on again.
    ann->chat().openPortAction()->trigger();
    EXPECT_TRUE(waitUntil([&] { return lab::routerLeases().contains(lab::leaseOf(port)); }, 4000));

    // Five more players, then an onlooker, change the listed facts.
    std::vector<std::unique_ptr<RawClient>> others;
    for (int i = 0; i < 6; ++i)
        others.push_back(lab::seatPlayer(port, "P" + QByteArray::number(i)));
    EXPECT_TRUE(waitUntil([&] {
        const int row = lab::rowWithPort(browser, port);
        return row >= 0 && browser.game(row).players == 6 && browser.game(row).onlookers == 1;
    }, 5000));

    // The program ends: its game leaves the list and its port the router.
    ann.reset();
    others.clear();
    EXPECT_FALSE(lab::routerLeases().contains(QStringLiteral("TCP:%1:").arg(port))) << qPrintable(lab::routerLeases());
    EXPECT_TRUE(waitUntil([&] { return lab::rowWithPort(browser, port) < 0; }, 5000));
}

TEST(LabHostingWindow, StoredChoiceNotToOpenThePortIsHonouredFromTheStart)
{
    REQUIRE_NETWORK_LAB();
    lab::WindowHome home;
    QFile settings(home.filePath(QStringLiteral("kovrlobby.ini")));
    ASSERT_TRUE(settings.open(QIODevice::WriteOnly));
    settings.write("[Vrel]\nOpenPort=false\n");
    settings.close();
    VrelProgram bob(CommandLine {{QStringLiteral("Bob"), QStringLiteral("x"), QStringLiteral("true")}, 0, {}});
    bob.chat().show();
    ASSERT_TRUE(waitUntil([&] { return bob.server().listening() && bob.reach(); }, 3000));
    // Listed on the network all the same, but the router is never asked.
    GameBrowser browser;
    EXPECT_TRUE(waitUntil([&] { return lab::rowWithPort(browser, bob.server().listeningPort()) >= 0; }, 5000));
    EXPECT_EQ(bob.reach()->portMapper().state(), PortMapper::State::Idle);
    EXPECT_FALSE(bob.chat().openPortAction()->isChecked());
    EXPECT_FALSE(lab::routerLeases().contains(QStringLiteral("TCP:%1:").arg(bob.server().listeningPort())));
}

TEST(LabHostingWindow, SigtermEndsTheGameAndGivesThePortBack)
{
    REQUIRE_NETWORK_LAB();
    QTemporaryDir home;
    QProcess game;
    const int port = 17790; // the lab's own network: no other program has it
    lab::startProgram(game, home, QStringLiteral("vrel"), {QStringLiteral("--port"), QString::number(port), QStringLiteral("Cy"), QStringLiteral("x"), QStringLiteral("true")});
    ASSERT_TRUE(waitUntil([&] { return lab::routerLeases().contains(lab::leaseOf(port)); }, 8000)) << qPrintable(lab::routerLeases());
    game.terminate();
    ASSERT_TRUE(game.waitForFinished(8000));
    EXPECT_EQ(game.exitStatus(), QProcess::NormalExit);
    EXPECT_FALSE(lab::routerLeases().contains(QStringLiteral("TCP:%1:").arg(port))) << qPrintable(lab::routerLeases());
}

namespace {

// A style that activates an item on a single click, as some desktops set it.
class SingleClickStyle : public QProxyStyle
{
public:
    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget, QStyleHintReturn *answer) const override
    {
        if (hint == SH_ItemView_ActivateItemOnSingleClick)
            return 1;
        return QProxyStyle::styleHint(hint, option, widget, answer);
    }
};

} // namespace

TEST(LabJoiningWindow, JoinsAListedGameByDoubleClickAndAnotherByEnter)
{
    REQUIRE_NETWORK_LAB();
    lab::WindowHome home;
    // Two hosts without a window on this machine: the second is listed under Avahi's other name.
    HostProcess first;
    HostProcess second;
    ASSERT_TRUE(first.port() && second.port()) << first.log().constData() << second.log().constData();
    std::unique_ptr<RawClient> ann = lab::seatPlayer(first.port(), "Ann");
    ASSERT_TRUE(ann);

    // Bob plays solo, then opens File > "Join a Game...": both games are listed with their facts.
    QElapsedTimer clock;
    clock.start();
    VrelProgram bob(CommandLine {{}, 0, {}});
    bob.chat().show();
    bob.chat().joinGameAction()->trigger();
    Tjoingame &dialog = bob.joinDialog();
    ASSERT_TRUE(dialog.isVisible());
    QListView *list = dialog.foundList();
    ASSERT_TRUE(list->isVisible());
    auto *found = qobject_cast<GameBrowser *>(list->model());
    ASSERT_NE(found, nullptr);
    const auto rowOf = [&](const HostProcess &host) { return lab::rowWithPort(*found, host.port()); };
    const auto playersAt = [&](const HostProcess &host) { return rowOf(host) < 0 ? -1 : found->game(rowOf(host)).players; };
    // Filled: each game with its seats and the address others reach it at.
    const auto forOthers = [&](const HostProcess &host) { return lab::listedForOthers(*found, host.port()); };
    ASSERT_TRUE(waitUntil([&] { return playersAt(first) == 1 && playersAt(second) == 0 && forOthers(first) && forOthers(second); }, 5000))
        << playersAt(first) << ' ' << playersAt(second);
    lab::figure("window started to its join dialog's list filled", clock.elapsed());
    EXPECT_TRUE(dialog.findChild<QLabel *>(QStringLiteral("label_found_note"))->isHidden());
    const QString firstText = found->data(found->index(rowOf(first)), Qt::DisplayRole).toString();
    EXPECT_TRUE(firstText.contains(QStringLiteral(":%1 - 1 player - waiting for players").arg(first.port()))) << qPrintable(firstText);
    EXPECT_NE(found->game(rowOf(first)).serviceName, found->game(rowOf(second)).serviceName);
    const auto rowRect = [&](const HostProcess &host) { return list->visualRect(found->index(rowOf(host))); };
    ASSERT_TRUE(waitUntil([&] { return list->viewport()->rect().contains(rowRect(first).center()); }, 2000));
    // Each game's line shows all its facts: wrapped within the list, none cut off at its edge.
    for (const HostProcess *host : {&first, &second}) {
        const QRect place = rowRect(*host);
        const QString text = found->data(found->index(rowOf(*host)), Qt::DisplayRole).toString();
        const QRect needed = list->fontMetrics().boundingRect(QRect(0, 0, place.width() - 8, 1000), Qt::TextWordWrap, text);
        EXPECT_LE(place.right(), list->viewport()->width()) << qPrintable(text);
        EXPECT_LE(needed.height(), place.height()) << qPrintable(text);
    }

    // Where a single click activates an item, it still only picks the game: the address fills in.
    QTest::keyClicks(dialog.nameEdit(), QStringLiteral("Bob"));
    SingleClickStyle singleClick;
    list->setStyle(&singleClick);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rowRect(first).center());
    const QString firstAddress = found->data(found->index(rowOf(first)), GameBrowser::JoinAddressRole).toString();
    EXPECT_EQ(dialog.addressBox()->currentText(), firstAddress);
    settle(300);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(bob.server().listening()); // still in his solo game

    // A double click joins: Bob takes the second seat beside Ann, and the listed facts follow.
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, rowRect(first).center());
    EXPECT_FALSE(dialog.isVisible());
    ASSERT_TRUE(waitUntil([&] { return bob.session().localSeat() == 2 && bob.session().seat(1).name == "Ann"; }, 5000));
    EXPECT_FALSE(bob.server().listening());
    EXPECT_FALSE(bob.session().hostFlag());
    EXPECT_TRUE(waitUntil([&] { return playersAt(first) == 2; }, 5000)) << playersAt(first);
    EXPECT_EQ(bob.recentGames().addresses(), QStringList {firstAddress});
    list->setStyle(nullptr);

    // Enter on the other game's row, chosen with the keys, goes over to that game: Bob leaves
    // Ann's table, which the list shows too.
    bob.chat().joinGameAction()->trigger();
    ASSERT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.nameEdit()->text(), "Bob");
    list->setFocus();
    const bool fromAbove = rowOf(second) > 0; // other games may be listed too
    list->setCurrentIndex(found->index(rowOf(second) + (fromAbove ? -1 : 1)));
    QTest::keyClick(list, fromAbove ? Qt::Key_Down : Qt::Key_Up);
    ASSERT_EQ(list->currentIndex().row(), rowOf(second));
    const QString secondAddress = found->data(found->index(rowOf(second)), GameBrowser::JoinAddressRole).toString();
    EXPECT_EQ(dialog.addressBox()->currentText(), secondAddress);
    testing_support::screenshot(&dialog, QStringLiteral("join_dialog_list"));
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_TRUE(waitUntil([&] { return playersAt(second) == 1 && playersAt(first) == 1; }, 5000))
        << playersAt(first) << ' ' << playersAt(second);
    EXPECT_EQ(bob.session().localSeat(), 1);
    EXPECT_EQ(bob.recentGames().addresses(), (QStringList {secondAddress, firstAddress}));

    // A host that stops leaves the list, and an address typed meanwhile stays as it is.
    bob.chat().joinGameAction()->trigger();
    ASSERT_TRUE(dialog.isVisible());
    list->setCurrentIndex(found->index(rowOf(first)));
    dialog.addressBox()->setEditText(QStringLiteral("10.77.0.9:7772"));
    const int firstPort = first.port();
    ann.reset();
    EXPECT_EQ(first.stop(), 0);
    EXPECT_TRUE(waitUntil([&] { return lab::rowWithPort(*found, firstPort) < 0; }, 5000));
    EXPECT_EQ(dialog.addressBox()->currentText(), "10.77.0.9:7772");
}
