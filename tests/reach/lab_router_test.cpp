// The router's side on its own: UPnP-IGD when NAT-PMP is not used, a network without a router,
// and a computer without an Avahi daemon (where games are still joined by their address). Each
// runs in the lab made for it.

#include "app/reach/host_reach.h"
#include "app/startup/tjoingame.h"
#include "app/startup/vrel_program.h"
#include "chat/chatview.h"
#include "discovery/game_publisher.h"
#include "engine/tserver.h"
#include "session/client_session.h"
#include "portmap/port_mapper.h"
#include "portmap/router_jobs.h"
#include "portmap/router_mapping.h"
#include "joining/recent_games.h"
#include "tests/reach/lab.h"
#include "tests/support/screenshot.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTest>

using namespace testing_support;

TEST(LabRouter, UpnpForwardsLearnsTheOutsideAddressRenewsAndRemoves)
{
    REQUIRE_NETWORK_LAB();
    const quint16 port = 41234;
    const portmap::Patience patience(PortMapper::kAskMs);
    const portmap::Mapping mapping = portmap::mapWithUpnp(port, 60, patience);
    ASSERT_TRUE(mapping.isOpen());
    EXPECT_EQ(mapping.protocolName(), QStringLiteral("UPnP"));
    EXPECT_EQ(mapping.externalAddress, QStringLiteral("11.77.0.7"));
    EXPECT_EQ(mapping.internalAddress, QStringLiteral("10.77.0.2"));
    EXPECT_GE(mapping.leaseSeconds, 59); // as the router tells it, a moment after granting it
    EXPECT_TRUE(lab::routerLeases().contains(lab::leaseOf(port) )) << qPrintable(lab::routerLeases());
    EXPECT_TRUE(lab::routerLeases().contains(QLatin1String("Vrel game")));
    EXPECT_TRUE(portmap::renewMapping(mapping, 60, patience).has_value());
    EXPECT_TRUE(portmap::removeMapping(mapping, patience));
    EXPECT_FALSE(lab::routerLeases().contains(QStringLiteral("TCP:%1:").arg(port)));
    // Nothing mapped: nothing to tell the router.
    EXPECT_FALSE(portmap::removeMapping(portmap::Mapping {}, patience));

    // A game that ends while the router is still being asked (SIGTERM just after hosting) gives
    // back what the router granted in the meantime, without waiting for it.
    PortMapper mapper;
    mapper.open(port);
    EXPECT_EQ(mapper.state(), PortMapper::State::Trying);
    mapper.close();
    EXPECT_EQ(mapper.state(), PortMapper::State::Idle);
    EXPECT_TRUE(portmap::finishRouterJobs(5000));
    EXPECT_FALSE(lab::routerLeases().contains(QStringLiteral("TCP:%1:").arg(port))) << qPrintable(lab::routerLeases());
}

TEST(NoRouter, HostingCarriesOnAndSaysOthersMayNotReachTheGame)
{
    REQUIRE_NETWORK_LAB();
    // The mapper gives up within about two seconds, off the caller's thread.
    PortMapper mapper;
    QElapsedTimer clock;
    clock.start();
    mapper.open(7772);
    const qint64 openReturned = clock.elapsed();
    EXPECT_EQ(mapper.state(), PortMapper::State::Trying);
    ASSERT_TRUE(waitUntil([&] { return mapper.state() == PortMapper::State::NoRouter; }, 5000));
    lab::figure("open() returned to its caller", openReturned);
    lab::figure("no router: mapper gave up", clock.elapsed());
    EXPECT_TRUE(mapper.externalEndpoint().isEmpty());
    mapper.close();
    EXPECT_EQ(mapper.state(), PortMapper::State::Idle);

    // vrel-host with --open-port listens as soon as without it, and says why others may not come.
    for (const bool open : {false, true}) {
        QStringList arguments {QStringLiteral("--port"), QStringLiteral("0")};
        if (open)
            arguments << QStringLiteral("--open-port");
        clock.restart();
        HostProcess host(arguments);
        ASSERT_NE(host.port(), 0);
        lab::figure(open ? "no router: vrel-host --open-port started to listening" : "vrel-host started to listening", clock.elapsed());
        if (open) {
            EXPECT_TRUE(waitUntil([&] { return host.log().contains("may not reach the game"); }, 5000)) << host.log().constData();
            EXPECT_FALSE(host.log().contains("forwarded by"));
        }
        EXPECT_EQ(host.stop(), 0) << host.log().constData();
    }

    // A hosting window says so in its chat.
    lab::WindowHome home;
    VrelProgram dee(CommandLine {{QStringLiteral("Dee"), QStringLiteral("x"), QStringLiteral("true")}, 0, {}});
    dee.chat().show();
    // The player is told how to be reached all the same: forward the port by hand.
    const QString notice = QStringLiteral("No router opened port %1: others outside this network may not reach this game. "
                                          "Forward TCP port %1 on your router to this computer and send your public "
                                          "address as vrel://ADDRESS:%1")
                               .arg(dee.server().listeningPort());
    ASSERT_TRUE(waitUntil([&] { return dee.reach() && dee.reach()->portMapper().state() == PortMapper::State::NoRouter; }, 5000));
    EXPECT_EQ(dee.reach()->routerNotice(), notice);
    ASSERT_TRUE(waitUntil([&] { return dee.chat().mainchat()->toPlainText().simplified().contains(notice); }));
    testing_support::screenshot(dee.chat().mainchat(), QStringLiteral("router-notice"));
}

TEST(NoAvahi, NothingWaitsAndTheListSaysGamesCannotBeFound)
{
    REQUIRE_NETWORK_LAB();
    QElapsedTimer clock;
    clock.start();
    GamePublisher publisher;
    GameFacts facts;
    facts.serviceName = QStringLiteral("Ann");
    facts.port = 7772;
    publisher.publish(facts);
    lab::figure("no Avahi: publishing returned", clock.elapsed());
    EXPECT_FALSE(publisher.published());

    GameBrowser browser;
    EXPECT_FALSE(browser.available());
    EXPECT_TRUE(browser.unavailableText().startsWith(QLatin1String("Games on the network cannot be found: the Avahi service is not running")))
        << qPrintable(browser.unavailableText());
    EXPECT_EQ(browser.rowCount(), 0);

    const lab::FoundGames found = lab::findGames();
    EXPECT_EQ(found.status, 1);
    EXPECT_TRUE(found.lines.isEmpty());
    EXPECT_TRUE(found.errors.contains(QLatin1String("Games on the network cannot be found"))) << qPrintable(found.errors);

    // The host runs as before, and a window joins it by its typed address; the join dialog says
    // inside its list why no games are listed.
    HostProcess host;
    ASSERT_NE(host.port(), 0) << host.log().constData();
    lab::WindowHome home;
    VrelProgram eve(CommandLine {{}, 0, {}});
    eve.chat().show();
    eve.chat().joinGameAction()->trigger();
    Tjoingame &dialog = eve.joinDialog();
    ASSERT_TRUE(dialog.isVisible());
    EXPECT_TRUE(dialog.foundList()->isVisible());
    EXPECT_EQ(dialog.foundList()->model()->rowCount(), 0);
    const auto *note = dialog.findChild<QLabel *>(QStringLiteral("label_found_note"));
    EXPECT_TRUE(note->isVisible());
    // Both learn why from their own Avahi thread, a moment after they are made.
    EXPECT_TRUE(waitUntil([&] { return note->text() == browser.unavailableText(); }, 3000)) << qPrintable(note->text());
    EXPECT_LE(note->heightForWidth(note->width()), note->height()) << "the note does not fit in the list";
    testing_support::screenshot(&dialog, QStringLiteral("join_dialog_no_avahi"));
    QTest::keyClicks(dialog.nameEdit(), QStringLiteral("Eve"));
    dialog.addressBox()->setEditText(QStringLiteral("127.0.0.1:%1").arg(host.port()));
    QTest::mouseClick(dialog.goButton(), Qt::LeftButton);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_TRUE(waitUntil([&] { return !eve.server().listening() && eve.session().localSeat() == 1 && eve.session().seat(1).name == "Eve"; }, 5000));
    EXPECT_TRUE(waitUntil([&] { return eve.recentGames().lastName() == "Eve"; }, 5000));
    EXPECT_EQ(host.stop(), 0);
}
