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
    const CommandLine host = parseCommandLine({"Ann", "--port=0", "x", "true"});
    EXPECT_EQ(host.parameters, QStringList({"Ann", "x", "true"}));
    EXPECT_EQ(host.port, 0);
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

// vrel-host takes the same port option, --help, and nothing else.
TEST(HostCommandLineParsing, PortHelpAndAnythingElse)
{
    EXPECT_EQ(parseHostCommandLine({}).port, 7772);
    EXPECT_EQ(parseHostCommandLine({"--port", "0"}).port, 0);
    const HostCommandLine twice = parseHostCommandLine({"--port=7800", "--port", "65535"});
    EXPECT_EQ(twice.port, 65535);
    EXPECT_TRUE(twice.error.isEmpty());
    EXPECT_FALSE(twice.help);

    EXPECT_TRUE(parseHostCommandLine({"-h"}).help);
    EXPECT_TRUE(parseHostCommandLine({"--colour", "--help"}).help);

    EXPECT_EQ(parseHostCommandLine({"--port", "7800", "Ann"}).error, "Unknown option: Ann");
    EXPECT_EQ(parseHostCommandLine({"--port", "seventy"}).error, "Not a port number: seventy");
    EXPECT_EQ(parseHostCommandLine({"--port=65536"}).error, "Not a port number: 65536");
    EXPECT_EQ(parseHostCommandLine({"--port"}).error, "--port needs a port number");
}
