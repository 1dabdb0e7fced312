#include "app/startup/command_line.h"
#include "app/startup/instance_marker.h"
#include "client/program_folder.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

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
    EXPECT_FALSE(parseCommandLine({"--port"}).error.isEmpty());
    EXPECT_FALSE(parseCommandLine({"--port", "seventy"}).error.isEmpty());
    EXPECT_FALSE(parseCommandLine({"--port=70000"}).error.isEmpty());
    EXPECT_FALSE(parseCommandLine({"--port=-1"}).error.isEmpty());
}

TEST(RunningCopyMarker, AnyNumberOfCopiesHoldItAndOthersCanSeeIt)
{
    QTemporaryDir runtime;
    qputenv("XDG_RUNTIME_DIR", runtime.path().toUtf8());
    InstanceMarker first;
    InstanceMarker second;
    EXPECT_TRUE(first.held());
    EXPECT_TRUE(second.held());
    EXPECT_EQ(QFileInfo(InstanceMarker::path()).fileName(), "vrel");

    // Another program asking for the file alone learns that a copy runs.
    const int probe = ::open(QFile::encodeName(InstanceMarker::path()).constData(), O_RDONLY);
    ASSERT_GE(probe, 0);
    EXPECT_NE(::flock(probe, LOCK_EX | LOCK_NB), 0);
    ::close(probe);
}

TEST(ProgramFolder, VrelHomeStandsForTheProgramsFolder)
{
    qunsetenv("VREL_HOME");
    EXPECT_EQ(programFolder(), QCoreApplication::applicationDirPath());
    QTemporaryDir home;
    qputenv("VREL_HOME", home.path().toUtf8());
    EXPECT_EQ(programFolder(), QDir(home.path()).absolutePath());
    qunsetenv("VREL_HOME");
}
