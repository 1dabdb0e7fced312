// A vrel-host in the lab's network: found by browsers and by vrel --find-games with its facts,
// which follow players coming and going; its port forwarded by the lab's router (miniupnpd),
// renewed, and given back when SIGTERM stops it.

#include "tests/reach/lab.h"

using namespace testing_support;

TEST(LabHeadlessHost, IsFoundWithItsFactsFollowsItsSeatsAndOpensItsPortUntilStopped)
{
    REQUIRE_NETWORK_LAB();
    GameBrowser browser;
    ASSERT_TRUE(waitUntil([&] { return browser.available(); }, 3000)) << qPrintable(browser.unavailableText());

    qputenv("VREL_ROUTER_LEASE_SECONDS", "4"); // renewed every two seconds
    QElapsedTimer clock;
    clock.start();
    HostProcess host({QStringLiteral("--port"), QStringLiteral("0"), QStringLiteral("--open-port")});
    qunsetenv("VREL_ROUTER_LEASE_SECONDS");
    ASSERT_NE(host.port(), 0) << host.log().constData();

    ASSERT_TRUE(waitUntil([&] { return lab::rowWithPort(browser, host.port()) >= 0; }, 5000)) << host.log().constData();
    lab::figure("vrel-host started to its service listed by a browser", clock.elapsed());
    ASSERT_TRUE(waitUntil([&] { return lab::listedForOthers(browser, host.port()); }, 3000))
        << "a loopback address is useless to others: " << qPrintable(browser.game(lab::rowWithPort(browser, host.port())).address);
    lab::figure("vrel-host started to its service listed with the address others reach", clock.elapsed());
    GameFacts facts = browser.game(lab::rowWithPort(browser, host.port()));
    EXPECT_TRUE(facts.serviceName.startsWith(QLatin1String("Vrel host on "))) << qPrintable(facts.serviceName);
    EXPECT_EQ(facts.hostPlayer, QString());
    EXPECT_EQ(facts.version, QStringLiteral("1.0.4"));
    EXPECT_EQ(facts.players, 0);
    EXPECT_FALSE(facts.running);

    // The script's view: one line, tab-separated name, address, port, players, state.
    const lab::FoundGames found = lab::findGames();
    lab::figure("vrel --find-games", found.ms);
    EXPECT_EQ(found.status, 0) << qPrintable(found.errors);
    const QString line = facts.serviceName + '\t' + facts.address + '\t' + QString::number(host.port()) + "\t0 players\twaiting for players";
    EXPECT_TRUE(found.lines.contains(line)) << qPrintable(found.lines.join('\n')) << "\nwanted: " << qPrintable(line);

    // Players come: the records follow; one leaves: they follow again.
    std::unique_ptr<RawClient> ann = lab::seatPlayer(host.port(), "Ann");
    std::unique_ptr<RawClient> bob = lab::seatPlayer(host.port(), "Bob");
    ASSERT_TRUE(ann && bob);
    const auto players = [&] {
        const int row = lab::rowWithPort(browser, host.port());
        return row < 0 ? -1 : browser.game(row).players;
    };
    EXPECT_TRUE(waitUntil([&] { return players() == 2; }, 5000)) << players();
    bob.reset();
    EXPECT_TRUE(waitUntil([&] { return players() == 1; }, 5000)) << players();

    // The router forwards the host's port to this machine and sees the lease renewed.
    EXPECT_TRUE(lab::routerLeases().contains(lab::leaseOf(host.port()))) << qPrintable(lab::routerLeases());
    EXPECT_TRUE(waitUntil([&] { return host.log().contains("renewed"); }, 5000)) << host.log().constData();
    EXPECT_TRUE(host.log().contains("reachable at 11.77.0.7:" + QByteArray::number(host.port()))) << host.log().constData();

    // SIGTERM: the host stops cleanly, its service goes from the list and its port from the router.
    const int port = host.port();
    EXPECT_EQ(host.stop(), 0);
    EXPECT_FALSE(lab::routerLeases().contains(QStringLiteral("TCP:%1:").arg(port))) << qPrintable(lab::routerLeases());
    EXPECT_TRUE(waitUntil([&] { return lab::rowWithPort(browser, port) < 0; }, 5000));
    EXPECT_FALSE(lab::findGames().lines.join('\n').contains('\t' + QString::number(port) + '\t'));
}
