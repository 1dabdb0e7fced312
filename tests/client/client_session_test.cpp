// The player's window and its session with the host: start-up, login, arrivals and departures,
// the end of the program.

#include "tests/client/client_fixture.h"

#include "client/tspylist.h"
#include "rejoin/rejoiner.h"
#include "tests/support/host_process.h"
#include "tests/support/relay.h"

#include <QAction>
#include <QElapsedTimer>
#include <QListWidget>
#include <QRegularExpression>
#include <QPushButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

using testing_support::RawClient;
using testing_support::settle;
using testing_support::waitUntil;

namespace {
const QByteArray T("\xFF", 1);
}

class PlayerSession : public ClientFixture
{
protected:
    // The window stays on its last board, its chat readable, and File can host or join another
    // game.
    static void expectStaysInTheProgram(VrelProgram &program, const QString &lastName)
    {
        EXPECT_TRUE(program.chat().isVisible());
        EXPECT_EQ(rowName(program, 1), lastName);
        EXPECT_FALSE(program.session().hasLink());
        EXPECT_FALSE(program.rejoiner().active());
        EXPECT_TRUE(program.chat().hostGameAction()->isEnabled());
        EXPECT_TRUE(program.chat().joinGameAction()->isEnabled());
    }
};

TEST_F(PlayerSession, ASoloGameHostsItselfAsYou)
{
    auto solo = start({});
    ASSERT_TRUE(waitUntil([&] { return rowName(*solo, 1) == QLatin1String("You"); }));
    EXPECT_EQ(solo->chat().windowTitle(), "Vrel");
    EXPECT_EQ(solo->session().localSeat(), 1);
    EXPECT_TRUE(solo->session().hostFlag());
    EXPECT_TRUE(solo->chat().startButton()->isVisible());
    EXPECT_TRUE(solo->chat().startGameAction()->isEnabled());
    const QStringList lines = chatLines(*solo);
    EXPECT_EQ(lines.value(0), "Loading Solo Game..Please wait.");
    EXPECT_EQ(lines.value(1), "You are Connected.");
    // A game for one does not invite others (File > Copy Invite Link still can).
    settle(100);
    EXPECT_TRUE(chatLines(*solo).filter(QStringLiteral("Invite link")).isEmpty()) << chatLines(*solo).join('|').toStdString();
    EXPECT_TRUE(boxes.isEmpty()) << boxes.join('|').toStdString();
}

TEST_F(PlayerSession, OneOrTwoParametersOnlyShowTheLoadingLine)
{
    auto waiting = start({QStringLiteral("Ann"), QStringLiteral("127.0.0.1")});
    settle(200);
    EXPECT_EQ(chatLines(*waiting), QStringList({"Loading Multi-player Game.. Please Wait."}));
    EXPECT_FALSE(waiting->session().hasLink());
    EXPECT_FALSE(waiting->server().listening());
    EXPECT_FALSE(waiting->chat().startButton()->isVisible());
}

// Players and spectators come to a hosting copy until every seat is taken: the host's window shows
// each with its lines, a joining copy sees those already there and spies, a tenth is told that the
// game is full and its program ends; then they leave, each with its line.
TEST_F(PlayerSession, PlayersAndSpectatorsArriveAndLeaveWithTheirLinesUntilTheGameIsFull)
{
    auto ann = host(QStringLiteral("Ann"));
    const int port = portOf(*ann);
    int seat = 0;
    auto bob = joinRaw(port, "Bob", &seat);
    EXPECT_EQ(seat, 2);
    auto klick = joinRaw(port, "Klick", &seat); // seat 3's reserved name
    std::vector<std::unique_ptr<RawClient>> others;
    for (const char *name : {"Cid", "Dee", "Eve"})
        others.push_back(joinRaw(port, name));
    auto spy = joinRaw(port, "Spy", &seat);
    EXPECT_EQ(seat, 7);
    ASSERT_TRUE(waitUntil([&] { return ann->spylist().list()->count() == 1; }));

    EXPECT_EQ(rowName(*ann, 2), "Bob");
    EXPECT_EQ(rowName(*ann, 6), "Eve");
    EXPECT_EQ(ann->spylist().list()->item(0)->text(), "7: Spy");
    QStringList lines = chatLines(*ann);
    EXPECT_TRUE(lines.contains("You are Connected."));
    EXPECT_TRUE(lines.contains("Bob is Connected."));
    // A spectator's arrival shows two lines.
    const qsizetype spyLine = lines.indexOf("Spy is Connected.");
    ASSERT_GE(spyLine, 0);
    EXPECT_EQ(lines.value(spyLine + 1), "Spy is spying.");

    // A joining copy, with every player's seat taken, sees the players already there and spies.
    auto zed = start({QStringLiteral("Zed"), QStringLiteral("127.0.0.1"), QStringLiteral("false")}, port);
    ASSERT_TRUE(waitUntil([&] { return chatLines(*zed).contains("Ann is Connected.") && zed->spylist().list()->count() == 2; }))
        << chatText(*zed).toStdString();
    EXPECT_EQ(zed->session().localSeat(), 8);
    QStringList spies {zed->spylist().list()->item(0)->text(), zed->spylist().list()->item(1)->text()};
    spies.sort();
    EXPECT_EQ(spies, QStringList({"7: Spy", "8: Zed"}));
    EXPECT_EQ(rowName(*zed, 1), "Ann");
    EXPECT_EQ(rowName(*zed, 6), "Eve");
    EXPECT_FALSE(zed->chat().startButton()->isVisible());
    EXPECT_FALSE(zed->session().hostFlag());
    lines = chatLines(*zed);
    EXPECT_TRUE(lines.contains("You are Connected."));
    EXPECT_TRUE(lines.contains("You are spying."));
    EXPECT_TRUE(lines.contains("Ann is Connected."));

    // The last seat taken, a copy that comes is told so and the program ends.
    auto ninth = joinRaw(port, "P9", &seat);
    EXPECT_EQ(seat, 9);
    ASSERT_TRUE(waitUntil([&] { return ann->spylist().list()->count() == 3; }));
    auto late = start({QStringLiteral("Late"), QStringLiteral("127.0.0.1"), QStringLiteral("x")}, port);
    ASSERT_TRUE(waitUntil([&] { return endings == 1; }));
    EXPECT_EQ(boxes, QStringList({"Game is full"}));
    EXPECT_FALSE(late->chat().isVisible());

    bob->close();
    ASSERT_TRUE(waitUntil([&] { return rowName(*ann, 2) == kWaitingName; }));
    EXPECT_TRUE(chatLines(*ann).contains("Bob disconnected."));
    klick->close();
    ASSERT_TRUE(waitUntil([&] { return rowName(*ann, 3) == kWaitingName; }));
    EXPECT_FALSE(chatText(*ann).contains("Klick disconnected."));
    spy->close();
    ASSERT_TRUE(waitUntil([&] { return ann->spylist().list()->count() == 2; }));
    EXPECT_EQ(ann->spylist().list()->item(0)->text(), "8: Zed");
    EXPECT_TRUE(chatLines(*ann).contains("Spy has left."));
}

TEST_F(PlayerSession, WhenTheHostEndsTheGameTheWindowSaysSoAtOnceAndStays)
{
    testing_support::HostProcess host;
    ASSERT_GT(host.port(), 0);
    auto bob = start({QStringLiteral("Bob"), QStringLiteral("127.0.0.1"), QStringLiteral("no")}, host.port());
    ASSERT_TRUE(waitUntil([&] { return rowName(*bob, 1) == QLatin1String("Bob"); }));
    QElapsedTimer told;
    told.start();
    host.process().terminate(); // the host tells its players before it goes
    ASSERT_TRUE(waitUntil([&] { return !boxes.isEmpty(); }, 3000));
    EXPECT_LT(told.elapsed(), 1000); // before any attempt to rejoin would have been made
    EXPECT_EQ(boxes, QStringList({"The host has ended the game."}));
    // The window ends its side at once, and the host, which waits for that, goes too.
    EXPECT_TRUE(waitUntil([&] { return host.process().state() == QProcess::NotRunning; }, 1000));
    settle(1500);
    EXPECT_FALSE(chatLines(*bob).contains("Connection lost. Rejoining..."));
    EXPECT_EQ(endings, 0);
    expectStaysInTheProgram(*bob, QStringLiteral("Bob"));
    EXPECT_TRUE(host.log().contains("ending the game: every player is told")) << host.log().constData();

    // A hosting window that closes tells its players as well.
    boxes.clear();
    auto ann = this->host(QStringLiteral("Ann"));
    auto cid = start({QStringLiteral("Cid"), QStringLiteral("127.0.0.1"), QStringLiteral("x")}, portOf(*ann));
    ASSERT_TRUE(waitUntil([&] { return rowName(*cid, 2) == QLatin1String("Cid"); }));
    ann->chat().close();
    ASSERT_TRUE(waitUntil([&] { return !boxes.isEmpty(); }));
    EXPECT_EQ(boxes, QStringList({"The host has ended the game."}));
    EXPECT_EQ(endings, 1); // Ann's
    expectStaysInTheProgram(*cid, QStringLiteral("Ann"));
}

TEST_F(PlayerSession, ARemovedPlayerIsToldAndStaysHoweverTheConnectionsEndReachesIt)
{
    auto ann = host(QStringLiteral("Ann"));
    // The relay turns the end of a connection, whatever it was, into an orderly end.
    testing_support::Relay relay(quint16(portOf(*ann)));
    auto bob = start({QStringLiteral("Bob"), QStringLiteral("127.0.0.1"), QStringLiteral("join")}, relay.port());
    ASSERT_TRUE(waitUntil([&] { return rowName(*ann, 2) == QLatin1String("Bob"); }));
    ann->session().kicking(2);
    ASSERT_TRUE(waitUntil([&] { return !boxes.isEmpty(); }));
    EXPECT_EQ(boxes, QStringList({"You were removed from the game."}));
    settle(2500); // a rejoin would have come back by now
    EXPECT_EQ(relay.connectionsMade(), 1);
    EXPECT_FALSE(chatLines(*bob).contains("Connection lost. Rejoining..."));
    EXPECT_EQ(endings, 0);
    expectStaysInTheProgram(*bob, QStringLiteral("Ann"));
    EXPECT_EQ(rowName(*ann, 2), kWaitingName);
}

// The lobby application is told of a game through a link it accepts on 127.0.0.1: a copy started
// with three parameters opens it once its host is found; a port in use or a host name that cannot
// be found opens no link, and says what is wrong instead of leaving the loading line.
TEST_F(PlayerSession, HostingOnATakenPortAndAnUnknownHostAreReportedAndOpenNoLobbyLink)
{
    QTcpServer lobby;
    ASSERT_TRUE(lobby.listen(QHostAddress::LocalHost, 0));
    qputenv("VREL_LOBBY_LINK_PORT", QByteArray::number(lobby.serverPort()));
    const auto linksOpened = [&lobby] {
        int links = 0;
        settle(200);
        while (QTcpSocket *link = lobby.nextPendingConnection()) {
            ++links;
            link->deleteLater();
        }
        return links;
    };
    auto first = host(QStringLiteral("Ann"));
    EXPECT_EQ(linksOpened(), 1);
    auto second = start({QStringLiteral("Bob"), QStringLiteral("x"), QStringLiteral("true")}, portOf(*first));
    settle(100);
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_TRUE(boxes.at(0).startsWith(QStringLiteral("Port %1 is already in use on this computer").arg(portOf(*first))))
        << boxes.at(0).toStdString();
    EXPECT_TRUE(boxes.at(0).contains(QRegularExpression(QStringLiteral("for example (\\d+) \\(start with --port \\1\\)\\.$"))))
        << boxes.at(0).toStdString();
    EXPECT_FALSE(second->chat().startButton()->isVisible());
    EXPECT_FALSE(second->session().hasLink());
    EXPECT_EQ(chatLines(*second), QStringList {boxes.at(0)});
    EXPECT_EQ(linksOpened(), 0);

    boxes.clear();
    auto lost = start({QStringLiteral("Cid"), QStringLiteral("no-such-host.invalid"), QStringLiteral("false")});
    // The name is looked up while the window goes on: the box comes when the resolver answers.
    ASSERT_TRUE(waitUntil([&] { return !boxes.isEmpty(); }, 30000));
    settle(100);
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_TRUE(boxes.at(0).startsWith("Host Lookup - Could Not Find Host Entry\n\nNo computer named \"no-such-host.invalid\" was "
                                       "found. Check the spelling of the name"))
        << boxes.at(0).toStdString();
    EXPECT_EQ(chatLines(*lost).last(), boxes.at(0).section(QLatin1Char('\n'), -1));
    EXPECT_TRUE(lost->chat().isVisible());
    EXPECT_EQ(linksOpened(), 0);

    // A joining copy whose host is found opens the link.
    auto dee = start({QStringLiteral("Dee"), QStringLiteral("localhost"), QStringLiteral("x")}, portOf(*first));
    ASSERT_TRUE(waitUntil([&] { return rowName(*first, 2) == QLatin1String("Dee"); }));
    EXPECT_EQ(linksOpened(), 1);
    qunsetenv("VREL_LOBBY_LINK_PORT");
}

TEST_F(PlayerSession, AConnectionThatFailsAtOnceIsToldWithItsReasonAndTheWindowStays)
{
    // 300.1.2.3 is no address: no connection can even start, nothing leaves the machine.
    auto ann = start({QStringLiteral("Ann"), QStringLiteral("300.1.2.3"), QStringLiteral("x")}, 7772);
    settle(400);
    EXPECT_TRUE(ann->chat().isVisible());
    EXPECT_EQ(endings, 0);
    EXPECT_TRUE(boxes.isEmpty()) << boxes.join('|').toStdString();
    EXPECT_EQ(chatLines(*ann), QStringList({"Loading Multi-player Game.. Please Wait.",
                                            "Could not connect: 300.1.2.3:7772, the address cannot be reached."}));
    EXPECT_FALSE(ann->session().connected());
}

TEST_F(PlayerSession, VersionMismatchLinesAndTheDispatcherOrder)
{
    auto ann = host(QStringLiteral("Ann"));
    auto old = std::make_unique<RawClient>(portOf(*ann));
    old->next();
    old->send("CMD_logininfo+2+0.9+Old" + T + T);
    ASSERT_TRUE(waitUntil([&] { return chatText(*ann).contains("Old has a different version of the game then you."); }));

    EXPECT_EQ(ClientSession::dispatchOrder().size(), 26u);
    EXPECT_EQ(ClientSession::dispatchOrder().front(), "CMD_sendlogininfo");
    EXPECT_EQ(ClientSession::dispatchOrder().at(22), "CMD_playasound");
    EXPECT_EQ(ClientSession::dispatchOrder().back(), "CMD_hostending");
    EXPECT_FALSE(ClientSession::handles("CMD_nonsense"));
}

TEST_F(PlayerSession, ColumnsSwapSoTheLocalSeatIsLeftmost)
{
    ClientSession chat;
    chat.sortstuff(4);
    EXPECT_EQ(chat.columnOfSeat(4), 1);
    EXPECT_EQ(chat.columnOfSeat(1), 4);
    EXPECT_EQ(chat.columnOfSeat(2), 2);
    ClientSession spectator;
    spectator.sortstuff(8);
    spectator.sortstuff(1);
    for (int seat = 1; seat <= 6; ++seat)
        EXPECT_EQ(spectator.columnOfSeat(seat), seat);
}
