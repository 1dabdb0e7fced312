// A neighbour on the local network (hostile_neighbour, in the lab's router namespace) that
// floods it with 1,500 game services under names that carry line breaks and terminal escapes,
// at addresses no player can join: the real games stay listed, nothing unjoinable is, nothing
// steers a terminal or draws a line of its own, and a hosting window's game goes on at its pace.
// A name longer than DNS-SD carries is published shortened.

#include "app/startup/tjoingame.h"
#include "app/startup/vrel_program.h"
#include "discovery/browse_worker.h"
#include "discovery/game_publisher.h"
#include "discovery/service_name.h"
#include "engine/tserver.h"
#include "tests/reach/lab.h"
#include "tests/support/screenshot.h"

#include <QListView>

using namespace testing_support;
using lab::RouterNamespaceProgram;

namespace {

// A login at the game on `port` and a chat line relayed from one player to another.
struct Pace {
    qint64 loginMs = -1;
    qint64 relayMs = -1;
};

Pace paceOf(int port, const QByteArray &name)
{
    Pace pace;
    QElapsedTimer clock;
    clock.start();
    QByteArray seat;
    std::unique_ptr<RawClient> talker = lab::seatPlayer(port, name, &seat);
    if (!talker)
        return pace;
    pace.loginMs = clock.elapsed();
    std::unique_ptr<RawClient> listener = lab::seatPlayer(port, name + "2");
    if (!listener)
        return pace;
    clock.restart();
    talker->send("CMD_chat+" + seat + "+hello|clBlue\xFF");
    if (listener->waitFor("CMD_chat+" + seat + '+', 5000))
        pace.relayMs = clock.elapsed();
    return pace;
}

bool hasControlCharacters(const QString &text)
{
    return std::any_of(text.cbegin(), text.cend(), [](QChar c) {
        return c.category() == QChar::Other_Control || c.unicode() == 0x2028 || c.unicode() == 0x2029 || c.unicode() == 0x202E;
    });
}

} // namespace

// Before the flood, which the daemon takes a while to forget.
TEST(HostileNeighbours, ANameLongerThanDnsSdCarriesIsPublishedShortened)
{
    REQUIRE_NETWORK_LAB();
    GameBrowser browser;
    GamePublisher publisher;
    GameFacts facts;
    // 82 bytes of UTF-8; the 63rd is the first half of a letter.
    facts.serviceName = QStringLiteral("AB") + QString(40, QChar(0x00E9));
    facts.port = 41999;
    publisher.publish(facts);
    ASSERT_TRUE(waitUntil([&] { return publisher.published(); }, 5000));
    EXPECT_EQ(publisher.publishedName(), QStringLiteral("AB") + QString(30, QChar(0x00E9)));
    ASSERT_TRUE(waitUntil([&] { return lab::rowWithPort(browser, 41999) >= 0; }, 10000));
    EXPECT_EQ(browser.game(lab::rowWithPort(browser, 41999)).serviceName, publisher.publishedName());
}

TEST(HostileNeighbours, AFloodOfServicesHidesNoRealGameListsNothingUnjoinableAndStallsNoHostingWindow)
{
    REQUIRE_NETWORK_LAB();
    lab::WindowHome home;
    // A hosting window, whose join dialog lists the games found.
    VrelProgram ann(CommandLine {{QStringLiteral("Ann"), QStringLiteral("x"), QStringLiteral("true")}, 0, {}});
    ann.chat().show();
    ASSERT_TRUE(waitUntil([&] { return ann.server().listening() && ann.session().localSeat() == 1; }, 5000));
    const int annPort = ann.server().listeningPort();
    const Pace calm = paceOf(annPort, "Bob");
    lab::figure("hosting window before the flood: login", calm.loginMs);
    lab::figure("hosting window before the flood: chat relay", calm.relayMs);

    RouterNamespaceProgram neighbour(QStringLiteral("hostile_neighbour"), {QStringLiteral("1500")});
    ASSERT_TRUE(neighbour.ready());
    // A host that starts while the network is flooded.
    QElapsedTimer clock;
    clock.start();
    HostProcess host;
    ASSERT_NE(host.port(), 0);
    GameBrowser browser;
    ASSERT_TRUE(waitUntil([&] { return lab::listedForOthers(browser, host.port()); }, 30000))
        << browser.rowCount() << " games listed";
    lab::figure("flood of 1,500 services: vrel-host started to listed", clock.elapsed());
    const Pace flooded = paceOf(annPort, "Cy");
    lab::figure("hosting window during the flood: login", flooded.loginMs);
    lab::figure("hosting window during the flood: chat relay", flooded.relayMs);
    EXPECT_GE(flooded.relayMs, 0) << "the chat line never came";

    // The list is full of the neighbour's services, yet the games that answer come first.
    const auto onTop = [&](int port) { return lab::rowWithPort(browser, port) >= 0 && lab::rowWithPort(browser, port) < 2; };
    EXPECT_TRUE(waitUntil([&] { return browser.rowCount() == BrowseWorker::kMaxListed && onTop(annPort) && onTop(host.port()); }, 30000))
        << browser.rowCount() << " games, the hosts' rows " << lab::rowWithPort(browser, annPort) << ' ' << lab::rowWithPort(browser, host.port());
    // Every other game is the neighbour's, at an address a player could try: none where no one
    // can be reached. (This machine's own games may be listed at its loopback address.)
    for (int row = 0; row < browser.rowCount(); ++row) {
        const GameFacts &game = browser.game(row);
        const QString shown = browser.data(browser.index(row), Qt::DisplayRole).toString();
        EXPECT_FALSE(hasControlCharacters(shown)) << qPrintable(shown.toUtf8().toPercentEncoding(" :-"));
        if (game.port != host.port() && game.port != annPort)
            EXPECT_TRUE(game.address == QStringLiteral("10.77.0.1") || game.address == QStringLiteral("10.77.0.3")) << qPrintable(game.address);
    }

    // The script's view: one line a game, the same games, nothing that steers the terminal.
    const lab::FoundGames found = lab::findGames();
    lab::figure("flood of 1,500 services: vrel --find-games", found.ms);
    EXPECT_EQ(found.status, 0) << qPrintable(found.errors);
    EXPECT_LE(found.lines.size(), BrowseWorker::kMaxListed);
    // Listed, unless the flood outlasted the wait (as on a machine short of processor time), which
    // it then says.
    if (!found.errors.contains(QLatin1String("the network is crowded")))
        EXPECT_EQ(found.lines.filter(QStringLiteral("\t%1\t").arg(host.port())).size(), 1) << qPrintable(found.lines.mid(0, 5).join(QLatin1Char('\n')));
    else
        std::printf("FIGURE flood of 1,500 services: vrel --find-games said the network was crowded (vrel-host %s)\n",
                    found.lines.filter(QStringLiteral("\t%1\t").arg(host.port())).isEmpty() ? "not listed" : "listed all the same");
    for (const QString &line : found.lines) {
        EXPECT_FALSE(hasControlCharacters(line.section(QLatin1Char('\t'), 0, 0))) << qPrintable(line);
        EXPECT_EQ(line.count(QLatin1Char('\t')), 4) << qPrintable(line);
    }

    // The hosting window's own join dialog lists the same, as the player sees it.
    ann.chat().joinGameAction()->trigger();
    QListView *list = ann.joinDialog().foundList();
    const auto topPort = [&] { return list->model()->index(0, 0).data(GameBrowser::PortRole).toInt(); };
    EXPECT_TRUE(waitUntil([&] { return list->model()->rowCount() == BrowseWorker::kMaxListed && (topPort() == annPort || topPort() == host.port()); }, 30000))
        << qPrintable(list->model()->index(0, 0).data().toString());
    testing_support::screenshot(&ann.joinDialog(), QStringLiteral("join_dialog_flooded"));
    EXPECT_EQ(host.stop(), 0);
}
