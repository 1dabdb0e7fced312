// A copy killed while it saves its tally leaves the old tally or the new one, never a damaged
// file.

#include "records/tally_file.h"
#include "tests/records/tally_samples.h"
#include "tests/support/built_program.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <csignal>
#include <random>

TEST(TallyCrash, KilledWhileSavingLeavesTheOldOrTheNewTally)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString path = folder.filePath(QString::fromLatin1(tallyfile::kFileName));
    TallyTable expected[2] = {tally_samples::sample(3000, 40), tally_samples::sample(3001, 41)};
    ASSERT_TRUE(tallyfile::save(path, expected[0]));
    for (TallyTable &table : expected)
        table.startSession();

    std::mt19937 rng(12);
    int seen[2] = {0, 0};
    constexpr int kKills = 60;
    for (int kill = 0; kill < kKills; ++kill) {
        QProcess saver;
        saver.start(QString::fromStdString(testing_support::builtProgramPath("tally_saver")), {path});
        // Up to two saves complete, then the kill comes at any moment of the next one (or just
        // after it): however fast the machine, some kills leave each tally.
        const int completed = int(rng() % 3);
        QByteArray said;
        while (said.count("saved") < completed || !said.contains("ready")) {
            ASSERT_TRUE(saver.waitForReadyRead(10000)) << "the saver does not save";
            said += saver.readAll();
        }
        QThread::usleep(rng() % 5000);
        ::kill(pid_t(saver.processId()), SIGKILL);
        ASSERT_TRUE(saver.waitForFinished(5000));
        ASSERT_EQ(saver.exitStatus(), QProcess::CrashExit) << "the saver ended before it was killed";

        const tallyfile::Loaded loaded = tallyfile::load(path);
        ASSERT_TRUE(loaded.error.isEmpty()) << "kill " << kill << ": " << loaded.error.toStdString();
        const int which = loaded.table == expected[0] ? 0 : loaded.table == expected[1] ? 1 : -1;
        ASSERT_NE(which, -1) << "kill " << kill << " left a tally that was never saved";
        ++seen[which];
    }
    // The kills came at different moments: both tallies were found.
    EXPECT_GT(seen[0], 0);
    EXPECT_GT(seen[1], 0);
}
