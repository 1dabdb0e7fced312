#include "app/command_line/command_line.h"
#include "discovery/game_facts.h"
#include "discovery/service_name.h"
#include "net/address_scope.h"

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

    // A name that would split the line, steer the terminal or turn the text around is printed on
    // one line with the culprits replaced.
    odd.serviceName = QString::fromUtf8("Tab\tand\nbreak\r\x1b[2J\x07\x7f\u0085\u2028\u202e\u2066ok");
    odd.address = QStringLiteral("203.0.113.5");
    odd.port = 7800;
    EXPECT_EQ(odd.scriptLine(), QString::fromUtf8("Tab and break \uFFFD[2J\uFFFD\uFFFD  \uFFFD\uFFFDok\t203.0.113.5\t7800\t0 players\twaiting for players"));
    EXPECT_EQ(servicename::shown(QString::fromUtf8("Zo\u00eb \U0001F600")), QString::fromUtf8("Zo\u00eb \U0001F600"));
}

TEST(ServiceNames, LongOnesAreShortenedToWhatDnsSdCarriesBetweenCharacters)
{
    EXPECT_EQ(servicename::fitted(QStringLiteral("Ann")), QStringLiteral("Ann"));
    const QString exact(63, QLatin1Char('a'));
    EXPECT_EQ(servicename::fitted(exact + QLatin1Char('b')), exact);
    // Two-byte letters: 31 fit in 62 bytes, the 32nd would make 64.
    EXPECT_EQ(servicename::fitted(QString(40, QChar(0x00E9))), QString(31, QChar(0x00E9)));
    // A letter and its accent (3 bytes: e + U+0301) stay together; so do an emoji's surrogates.
    const QString accented = QString(20, QLatin1Char('x')) + QString(15, QLatin1Char('e')).replace(QLatin1String("e"), QString::fromUtf8("e\u0301"));
    const QString fitted = servicename::fitted(accented);
    EXPECT_LE(fitted.toUtf8().size(), servicename::kMaxBytes);
    EXPECT_EQ(fitted, QString(20, QLatin1Char('x')) + QString(14, QLatin1Char('e')).replace(QLatin1String("e"), QString::fromUtf8("e\u0301")));
    EXPECT_EQ(servicename::fitted(QString(62, QLatin1Char('a')) + QString::fromUtf8("\U0001F600")), QString(62, QLatin1Char('a')));
}

TEST(AddressScopes, TellWhoCanReachAnAddress)
{
    using addressscope::Scope;
    const std::pair<const char *, Scope> cases[] = {
        {"11.77.0.7", Scope::Public},           {"8.8.8.8", Scope::Public},          {"2a00:1450::1", Scope::Public},
        {"0.0.0.0", Scope::Unspecified},        {"0.1.2.3", Scope::Unspecified},     {"::", Scope::Unspecified},
        {"127.0.0.1", Scope::Loopback},         {"127.9.9.9", Scope::Loopback},      {"::1", Scope::Loopback},
        {"::ffff:127.0.0.1", Scope::Loopback},  {"169.254.1.1", Scope::LinkLocal},   {"fe80::1", Scope::LinkLocal},
        {"10.1.2.3", Scope::Private},           {"172.16.0.1", Scope::Private},      {"172.31.255.255", Scope::Private},
        {"192.168.1.1", Scope::Private},        {"fd00::1", Scope::Private},         {"172.32.0.1", Scope::Public},
        {"100.64.0.1", Scope::Shared},          {"100.127.255.254", Scope::Shared},  {"100.128.0.1", Scope::Public},
        {"224.0.0.251", Scope::Multicast},      {"239.255.255.250", Scope::Multicast}, {"ff02::fb", Scope::Multicast},
        {"255.255.255.255", Scope::Broadcast},  {"240.0.0.1", Scope::Reserved},      {"203.0.113.9", Scope::Reserved},
        {"198.18.0.1", Scope::Reserved},        {"2001:db8::1", Scope::Reserved},    {"", Scope::Unreadable},
        {"not an address", Scope::Unreadable},  {"300.1.2.3", Scope::Unreadable},    {"1.2.3.4\x1b[2J", Scope::Unreadable},
    };
    for (const auto &[address, scope] : cases)
        EXPECT_EQ(addressscope::scopeOf(QString::fromLatin1(address)), scope) << address;
    EXPECT_TRUE(addressscope::isUnicast(Scope::Loopback));
    EXPECT_FALSE(addressscope::isUnicast(Scope::Multicast));
    EXPECT_FALSE(addressscope::isUnicast(Scope::Broadcast));
    EXPECT_FALSE(addressscope::isUnicast(Scope::Unspecified));
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
