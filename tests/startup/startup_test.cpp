#include "app/startup/instance_marker.h"
#include "records/player_file.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>
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
    EXPECT_EQ(playerFolder(programFolder(), QStandardPaths::AppDataLocation), QDir(home.path()).absolutePath());

    // A program folder that cannot be written (here: not a folder at all) sends the files a
    // player keeps to the user's own data folder, made on the way.
    QTemporaryDir user;
    qputenv("XDG_DATA_HOME", user.path().toUtf8());
    const QString notAFolder = home.filePath(QStringLiteral("plain-file"));
    QFile(notAFolder).open(QIODevice::WriteOnly);
    qputenv("VREL_HOME", notAFolder.toUtf8());
    const QString kept = playerFolder(programFolder(), QStandardPaths::AppDataLocation);
    EXPECT_TRUE(kept.startsWith(user.path() + QLatin1Char('/')));
    EXPECT_EQ(kept, QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    EXPECT_TRUE(QFileInfo(kept).isDir());

    // An installed copy's binary folder is the system's even where it could be written (root
    // running /usr/bin/vrel): the desktop entry installed beside it marks it.
    QTemporaryDir prefix;
    QDir(prefix.path()).mkpath(QStringLiteral("bin"));
    const QString bin = prefix.filePath(QStringLiteral("bin"));
    EXPECT_EQ(playerFolder(bin, QStandardPaths::AppDataLocation), bin);
    QDir(prefix.path()).mkpath(QStringLiteral("share/applications"));
    QFile(prefix.filePath(QStringLiteral("share/applications/vrel.desktop"))).open(QIODevice::WriteOnly);
    EXPECT_TRUE(isInstalledProgramFolder(bin));
    EXPECT_EQ(playerFolder(bin, QStandardPaths::AppDataLocation), kept);
    qunsetenv("VREL_HOME");
    qunsetenv("XDG_DATA_HOME");
}
