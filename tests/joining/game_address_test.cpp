// A game's address as players type it and invite links carry it.

#include "joining/game_address.h"

#include <gtest/gtest.h>

#include "tests/support/qt_printers.h"

namespace {

GameAddress read(const QString &typed)
{
    const AddressReading reading = readGameAddress(typed);
    EXPECT_TRUE(reading.address) << typed.toStdString() << ": " << reading.problem.toStdString();
    EXPECT_TRUE(reading.problem.isEmpty());
    return reading.address.value_or(GameAddress {});
}

QString problem(const QString &typed)
{
    const AddressReading reading = readGameAddress(typed);
    EXPECT_FALSE(reading.address) << typed.toStdString() << " was taken as " << reading.address->text().toStdString();
    return reading.problem;
}

} // namespace

TEST(GameAddress, TheThreeFormsReadAndAreWrittenBackWithTheirPort)
{
    EXPECT_EQ(read("example.org"), (GameAddress {"example.org", 7772}));
    EXPECT_EQ(read("  game-host.example.org.  "), (GameAddress {"game-host.example.org.", 7772}));
    EXPECT_EQ(read("192.0.2.5:7800"), (GameAddress {"192.0.2.5", 7800}));
    EXPECT_EQ(read("localhost:1"), (GameAddress {"localhost", 1}));
    EXPECT_EQ(read("h:65535").port, 65535);
    EXPECT_EQ(read("[2001:db8::1]:7773"), (GameAddress {"2001:db8::1", 7773}));
    EXPECT_EQ(read("[::1]"), (GameAddress {"::1", 7772}));
    EXPECT_EQ(read("[fe80::1%eth0]:7772").host, "fe80::1%eth0");

    EXPECT_EQ(read("192.0.2.5").text(), "192.0.2.5:7772");
    EXPECT_EQ(read("[2001:db8::1]:7773").text(), "[2001:db8::1]:7773");
    EXPECT_EQ(read("[::1]").inviteLink(), "vrel://[::1]:7772");
}

TEST(GameAddress, RejectedFormsSayWhatIsWrongInWords)
{
    EXPECT_TRUE(problem("").startsWith("Type the game's address"));
    EXPECT_TRUE(problem("   ").startsWith("Type the game's address"));
    EXPECT_EQ(problem("my host"), "An address has no blanks in it: \"my host\".");
    // An IPv6 address without brackets would lose its port to its own colons.
    EXPECT_EQ(problem("2001:db8::1"), "An IPv6 address goes in brackets, with the port after them: [2001:db8::1]:7772.");
    EXPECT_EQ(problem("a:b:c"), "An IPv6 address goes in brackets, with the port after them: [2001:db8::1]:7772.");
    EXPECT_EQ(problem("[::1"), "The IPv6 address in \"[::1\" has no closing \"]\".");
    EXPECT_EQ(problem("[::1]7772"), "After \"]\" comes \":\" and the port, as in [::1]:7772.");
    EXPECT_EQ(problem("[example.org]:7772"), "\"example.org\" is not an IPv6 address.");
    EXPECT_EQ(problem("[]:7772"), "\"\" is not an IPv6 address.");
    EXPECT_EQ(problem("[192.0.2.1]:7772"), "\"192.0.2.1\" is not an IPv6 address.");
    EXPECT_EQ(problem("host:"), "The port is missing after \":\".");
    EXPECT_EQ(problem("[::1]:"), "The port is missing after \":\".");
    EXPECT_EQ(problem(":7772"), "The computer's name or address is missing before \":\".");
    for (const char *port : {"0", "65536", "-1", "+80", "77x", "99999999999"})
        EXPECT_EQ(problem(QStringLiteral("host:") + port),
                  QStringLiteral("The port must be a number from 1 to 65535, not \"%1\".").arg(port));
    const QString badName = "\"under_score\" is not a computer's name or address: a name holds letters, digits, \"-\" and dots.";
    EXPECT_EQ(problem("under_score"), badName);
    for (const char *name : {"-lead.example", "trail-.example", "a..b", "ex/ample", "x\xC3\xA9.org"})
        EXPECT_TRUE(problem(QString::fromUtf8(name)).endsWith("is not a computer's name or address: a name holds letters, digits, \"-\" and dots."))
            << name;
    EXPECT_TRUE(problem(QString(254, u'a')).contains("is not a computer's name"));
    EXPECT_EQ(problem("192.0.2.256"), "\"192.0.2.256\" is not an IP address: each of its four numbers goes from 0 to 255.");
}

TEST(GameAddress, InviteLinksCarryAnAddressAfterTheScheme)
{
    EXPECT_TRUE(isInviteLink("vrel://x"));
    EXPECT_TRUE(isInviteLink("VREL://x"));
    EXPECT_FALSE(isInviteLink("http://x"));
    EXPECT_FALSE(isInviteLink("Ann"));

    const AddressReading plain = readInviteLink("vrel://192.0.2.5:7800");
    ASSERT_TRUE(plain.address);
    EXPECT_EQ(*plain.address, (GameAddress {"192.0.2.5", 7800}));
    // Browsers hand the link on with a "/" after the address.
    const AddressReading slashed = readInviteLink("Vrel://[2001:db8::2]:7772/");
    ASSERT_TRUE(slashed.address);
    EXPECT_EQ(*slashed.address, (GameAddress {"2001:db8::2", 7772}));
    EXPECT_EQ(readInviteLink("vrel://example.org").address, (GameAddress {"example.org", 7772}));

    const AddressReading broken = readInviteLink("vrel://host:port");
    EXPECT_FALSE(broken.address);
    EXPECT_EQ(broken.problem, "The invite link \"vrel://host:port\" does not name a game. The port must be a number from 1 to "
                              "65535, not \"port\".");
    EXPECT_EQ(readInviteLink("http://x").problem, "\"http://x\" is not a game's invite link: those begin with \"vrel://\".");
    EXPECT_FALSE(readInviteLink("vrel://").address);
}
