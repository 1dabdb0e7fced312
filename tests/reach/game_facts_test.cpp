#include "app/command_line/command_line.h"
#include "discovery/game_facts.h"

#include <gtest/gtest.h>

// What a host publishes is what a browser reads back; what a stranger publishes under the same
// service type cannot break the list or the script's line.
TEST(GameFacts, TxtRecordsCarryTheFactsAndOddRecordsAreReadSafely)
{
    GameFacts host {QStringLiteral("Ann"), {}, 7772, QStringLiteral("1.0.4"), QStringLiteral("Ann"), 3, 1, true};
    GameFacts read;
    read.serviceName = host.serviceName;
    read.port = host.port;
    read.readTxtRecords(host.txtRecords());
    EXPECT_EQ(read, host);

    GameFacts odd;
    odd.readTxtRecords({"players=-4", "onlookers=lots", "running=yes", "=7", "noequals", "host=Bo=b", "version="});
    EXPECT_EQ(odd.players, 0);
    EXPECT_EQ(odd.onlookers, 0);
    EXPECT_FALSE(odd.running);
    EXPECT_EQ(odd.hostPlayer, QStringLiteral("Bo=b"));
    EXPECT_EQ(odd.peopleText(), QStringLiteral("0 players"));
    EXPECT_EQ(host.peopleText(), QStringLiteral("3 players, 1 onlooker"));

    odd.serviceName = QStringLiteral("Tab\tand\nbreak");
    odd.address = QStringLiteral("203.0.113.5");
    odd.port = 7800;
    EXPECT_EQ(odd.scriptLine(), QStringLiteral("Tab and break\t203.0.113.5\t7800\t0 players\twaiting for players"));
}

TEST(ReachCommandLines, FindGamesAndOpenPortAreOptionsOfTheirOwnProgramOnly)
{
    const CommandLine find = parseCommandLine({QStringLiteral("--find-games")});
    EXPECT_TRUE(find.findGames);
    EXPECT_TRUE(find.error.isEmpty());
    EXPECT_FALSE(parseCommandLine({QStringLiteral("Ann"), QStringLiteral("h"), QStringLiteral("x")}).findGames);
    // After "--" it is a player's name.
    EXPECT_FALSE(parseCommandLine({QStringLiteral("--"), QStringLiteral("--find-games")}).findGames);
    EXPECT_EQ(parseCommandLine({QStringLiteral("--open-port")}).error, QStringLiteral("Unknown option: --open-port"));

    const HostCommandLine host = parseHostCommandLine({QStringLiteral("--open-port"), QStringLiteral("--port"), QStringLiteral("7800")});
    EXPECT_TRUE(host.openPort);
    EXPECT_EQ(host.port, 7800);
    EXPECT_FALSE(parseHostCommandLine({}).openPort);
    EXPECT_EQ(parseHostCommandLine({QStringLiteral("--find-games")}).error, QStringLiteral("Unknown option: --find-games"));
}
