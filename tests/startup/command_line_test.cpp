#include "app/command_line/command_line.h"
#include "tests/support/qt_printers.h"

#include <gtest/gtest.h>

using Mode = CommandLine::Mode;

TEST(CommandLineParsing, TheNumberOfParametersDecidesSoloHostOrJoin)
{
    EXPECT_EQ(parseCommandLine({}).mode(), Mode::Solo);
    EXPECT_EQ(parseCommandLine({"Ann"}).mode(), Mode::Waiting);
    EXPECT_EQ(parseCommandLine({"Ann", "10.0.0.2"}).mode(), Mode::Waiting);
    EXPECT_EQ(parseCommandLine({"Ann", "10.0.0.2", "true"}).mode(), Mode::Host);
    // Only the exact text "true" hosts.
    EXPECT_EQ(parseCommandLine({"Ann", "10.0.0.2", "True"}).mode(), Mode::Join);
    EXPECT_EQ(parseCommandLine({"Ann", "10.0.0.2", "false"}).mode(), Mode::Join);
    EXPECT_EQ(parseCommandLine({"Ann", "10.0.0.2", "true", "extra", "more"}).mode(), Mode::Host);
}

TEST(CommandLineParsing, ThePortOptionIsNotAParameter)
{
    const CommandLine solo = parseCommandLine({"--port", "7800"});
    EXPECT_EQ(solo.mode(), Mode::Solo);
    EXPECT_EQ(solo.port, 7800);
    const CommandLine host = parseCommandLine({"--port=0", "Ann", "x", "true"});
    EXPECT_EQ(host.parameters, QStringList({"Ann", "x", "true"}));
    EXPECT_EQ(host.port, 0);
    // After the first parameter an option is a parameter like any other.
    const CommandLine late = parseCommandLine({"Ann", "--port=0", "x", "true"});
    EXPECT_EQ(late.parameters, QStringList({"Ann", "--port=0", "x", "true"}));
    EXPECT_EQ(late.port, 7772);
    EXPECT_EQ(late.mode(), Mode::Join);
    EXPECT_EQ(parseCommandLine({"Ann"}).port, 7772);
    EXPECT_TRUE(parseCommandLine({}).error.isEmpty());
}

TEST(CommandLineParsing, ABadPortIsAnError)
{
    EXPECT_EQ(parseCommandLine({"--port"}).error, "--port needs a port number");
    EXPECT_EQ(parseCommandLine({"--port", "seventy"}).error, "Not a port number: seventy");
    EXPECT_FALSE(parseCommandLine({"--port=70000"}).error.isEmpty());
    EXPECT_FALSE(parseCommandLine({"--port=-1"}).error.isEmpty());
}

// Options stand before the first parameter: there --help and --version win, and any other long
// option is refused. From the first parameter on every argument is a parameter (names like "-x",
// "-" and "-platform" included, and "-h" after a name), and after "--" even option-like words are.
TEST(CommandLineParsing, HelpVersionUnknownOptionsAndNamesThatLookLikeOptions)
{
    EXPECT_EQ(parseCommandLine({"--help"}).request, Request::Help);
    EXPECT_EQ(parseCommandLine({"-h", "Ann", "10.0.0.2"}).request, Request::Help);
    const CommandLine joinAsH = parseCommandLine({"Ann", "10.0.0.2", "-h"});
    EXPECT_EQ(joinAsH.request, Request::Run);
    EXPECT_EQ(joinAsH.parameters, QStringList({"Ann", "10.0.0.2", "-h"}));
    EXPECT_EQ(joinAsH.mode(), Mode::Join);
    EXPECT_EQ(parseCommandLine({"Ann", "10.0.0.2", "true", "--version"}).request, Request::Run);
    const CommandLine qtLike = parseCommandLine({"-platform", "127.0.0.1", "false"});
    EXPECT_TRUE(qtLike.error.isEmpty());
    EXPECT_EQ(qtLike.parameters, QStringList({"-platform", "127.0.0.1", "false"}));
    EXPECT_EQ(qtLike.mode(), Mode::Join);
    const CommandLine version = parseCommandLine({"--port", "x", "--version", "--help"});
    EXPECT_EQ(version.request, Request::Version);
    EXPECT_TRUE(version.error.isEmpty());
    EXPECT_EQ(parseCommandLine({"Ann"}).request, Request::Run);

    EXPECT_EQ(parseCommandLine({"--colour", "Ann", "x"}).error, "Unknown option: --colour");
    EXPECT_EQ(parseCommandLine({"Ann", "--colour", "x"}).parameters, QStringList({"Ann", "--colour", "x"}));
    EXPECT_EQ(parseCommandLine({"--help=me"}).error, "Unknown option: --help=me");

    const CommandLine dashes = parseCommandLine({"-Ann-", "-", "x"});
    EXPECT_TRUE(dashes.error.isEmpty());
    EXPECT_EQ(dashes.parameters, QStringList({"-Ann-", "-", "x"}));
    EXPECT_EQ(dashes.mode(), Mode::Join);

    const CommandLine escaped = parseCommandLine({"--port", "7800", "--", "--help", "-h", "true"});
    EXPECT_EQ(escaped.request, Request::Run);
    EXPECT_EQ(escaped.port, 7800);
    EXPECT_EQ(escaped.parameters, QStringList({"--help", "-h", "true"}));
    EXPECT_EQ(escaped.mode(), Mode::Host);
    EXPECT_EQ(parseCommandLine({"--"}).mode(), Mode::Solo);
    EXPECT_EQ(parseCommandLine({"Ann", "--", "--port", "7800"}).port, 7772);
    EXPECT_EQ(parseCommandLine({"--", "--Ann", "h", "true"}).parameters, QStringList({"--Ann", "h", "true"}));
    EXPECT_EQ(parseCommandLine({"--", "--Ann", "h", "true"}).mode(), Mode::Host);
}

// vrel-host takes the same port option, --help, and nothing else.
TEST(HostCommandLineParsing, PortHelpAndAnythingElse)
{
    EXPECT_EQ(parseHostCommandLine({}).port, 7772);
    EXPECT_EQ(parseHostCommandLine({"--port", "0"}).port, 0);
    const HostCommandLine twice = parseHostCommandLine({"--port=7800", "--port", "65535"});
    EXPECT_EQ(twice.port, 65535);
    EXPECT_TRUE(twice.error.isEmpty());
    EXPECT_EQ(twice.request, Request::Run);

    EXPECT_EQ(parseHostCommandLine({"-h"}).request, Request::Help);
    EXPECT_EQ(parseHostCommandLine({"--colour", "--help"}).request, Request::Help);
    EXPECT_EQ(parseHostCommandLine({"--port", "seventy", "--version"}).request, Request::Version);

    EXPECT_EQ(parseHostCommandLine({"--port", "7800", "Ann"}).error, "Unknown option: Ann");
    EXPECT_EQ(parseHostCommandLine({"--port", "seventy"}).error, "Not a port number: seventy");
    EXPECT_EQ(parseHostCommandLine({"--port=65536"}).error, "Not a port number: 65536");
    EXPECT_EQ(parseHostCommandLine({"--port"}).error, "--port needs a port number");
}
