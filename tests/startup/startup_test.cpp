#include "app/startup/instance_marker.h"
#include "client/program_folder.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

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
