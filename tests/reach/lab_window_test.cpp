// A hosting window in the lab's network: listed by browsers with its player's name and seats,
// its port forwarded by the router while "Open My Port on the Router" is on (the option kept in
// the settings file), and both given back when the window's program ends.

#include "app/reach/host_reach.h"
#include "app/startup/vrel_program.h"
#include "client/message_box.h"
#include "engine/tserver.h"
#include "tests/reach/lab.h"
#include "tests/support/raw_client.h"

#include <QAction>
#include <QTemporaryDir>

using namespace testing_support;

TEST(LabHostingWindow, IsListedWithItsPlayerAndOpensItsPortWhileTheOptionIsOn)
{
    REQUIRE_NETWORK_LAB();
    QTemporaryDir home;
    qputenv("VREL_HOME", home.path().toUtf8());
    messagebox::setPresenter([](QWidget *, const QString &text) { ADD_FAILURE() << "message box: " << qPrintable(text); });
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
        return row >= 0 && browser.game(row).players == 1;
    }, 5000));
    lab::figure("hosting window started to its game listed with its player", clock.elapsed());
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

    // Turned off: the forwarding goes at once, and the choice is kept for the next run.
    ann->chat().openPortAction()->trigger();
    EXPECT_FALSE(ann->session().options().openPort);
    EXPECT_FALSE(lab::routerLeases().contains(QStringLiteral("TCP:%1:").arg(port))) << qPrintable(lab::routerLeases());
    QFile settings(home.filePath(QStringLiteral("kovrlobby.ini")));
    ASSERT_TRUE(settings.open(QIODevice::ReadOnly));
    EXPECT_TRUE(settings.readAll().contains("OpenPort=false"));
    settings.close();
    // And on again.
    ann->chat().openPortAction()->trigger();
    EXPECT_TRUE(waitUntil([&] { return lab::routerLeases().contains(lab::leaseOf(port)); }, 4000));

    // An onlooker and a second player change the listed facts.
    std::vector<std::unique_ptr<RawClient>> others;
    for (int i = 0; i < 6; ++i)
        others.push_back(std::make_unique<RawClient>(port));
    EXPECT_TRUE(waitUntil([&] {
        const int row = lab::rowWithPort(browser, port);
        return row >= 0 && browser.game(row).players == 6 && browser.game(row).onlookers == 1;
    }, 5000));

    // The program ends: its game leaves the list and its port the router.
    ann.reset();
    others.clear();
    EXPECT_FALSE(lab::routerLeases().contains(QStringLiteral("TCP:%1:").arg(port))) << qPrintable(lab::routerLeases());
    EXPECT_TRUE(waitUntil([&] { return lab::rowWithPort(browser, port) < 0; }, 5000));
    messagebox::setPresenter([](QWidget *, const QString &) {});
    qunsetenv("VREL_HOME");
}

TEST(LabHostingWindow, StoredChoiceNotToOpenThePortIsHonouredFromTheStart)
{
    REQUIRE_NETWORK_LAB();
    QTemporaryDir home;
    qputenv("VREL_HOME", home.path().toUtf8());
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
    qunsetenv("VREL_HOME");
}

TEST(LabHostingWindow, SigtermEndsTheGameAndGivesThePortBack)
{
    REQUIRE_NETWORK_LAB();
    QTemporaryDir home;
    QProcess game;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("VREL_HOME"), home.path());
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    game.setProcessEnvironment(environment);
    const int port = 17790; // the lab's own network: no other program has it
    game.start(builtProgram(QStringLiteral("vrel")), {QStringLiteral("--port"), QString::number(port), QStringLiteral("Cy"), QStringLiteral("x"), QStringLiteral("true")});
    ASSERT_TRUE(waitUntil([&] { return lab::routerLeases().contains(lab::leaseOf(port)); }, 8000)) << qPrintable(lab::routerLeases());
    game.terminate();
    ASSERT_TRUE(game.waitForFinished(8000));
    EXPECT_EQ(game.exitStatus(), QProcess::NormalExit);
    EXPECT_FALSE(lab::routerLeases().contains(QStringLiteral("TCP:%1:").arg(port))) << qPrintable(lab::routerLeases());
}
