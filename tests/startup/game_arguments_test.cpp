// The game's own program started with parameters that Qt would take for its options.

#include "tests/support/built_program.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

namespace {

struct GameRun
{
    bool stillRunning = false;
    int exitCode = -1;
    QProcess::ExitStatus exitStatus = QProcess::CrashExit;
    QByteArray out;
};

// Starts vrel on the offscreen platform with its files in a folder of its own, lets it run for a
// moment and then ends it as the desktop does (SIGTERM). Port 1 on loopback: a joining copy's
// connection is refused there and the window waits, as it does for a host that does not answer.
GameRun runGame(const QStringList &parameters)
{
    QTemporaryDir home;
    QProcess game;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("VREL_HOME"), home.path());
    game.setProcessEnvironment(environment);
    game.start(QString::fromStdString(testing_support::builtProgramPath("vrel")),
               QStringList {QStringLiteral("--port"), QStringLiteral("1")} + parameters);
    GameRun run;
    if (!game.waitForStarted(10000))
        return run;
    run.stillRunning = !game.waitForFinished(2500);
    if (run.stillRunning) {
        game.terminate();
        game.waitForFinished(10000);
    }
    run.exitCode = game.exitCode();
    run.exitStatus = game.exitStatus();
    run.out = game.readAllStandardOutput();
    return run;
}

} // namespace

// "-platform" is a player's name, "-h" after a name a third parameter: the copy joins with them
// and runs until it is ended, instead of Qt aborting on an unknown platform or the help being
// printed.
TEST(GameArguments, QtAndTheHelpNeverTakeThePlayersParameters)
{
    for (const QStringList &parameters : {QStringList {"-platform", "127.0.0.1", "false"},
                                          QStringList {"Ann", "127.0.0.1", "-h"},
                                          QStringList {"--", "--Ann", "127.0.0.1", "x"}}) {
        SCOPED_TRACE(parameters.join(' ').toStdString());
        const GameRun run = runGame(parameters);
        EXPECT_TRUE(run.stillRunning);
        EXPECT_EQ(run.exitStatus, QProcess::NormalExit);
        EXPECT_EQ(run.exitCode, 0);
        EXPECT_FALSE(run.out.contains("Usage:"));
    }
    // Before the first parameter -h is still the help.
    const GameRun help = runGame({"-h", "Ann"});
    EXPECT_FALSE(help.stillRunning);
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.contains("Usage:"));
}
