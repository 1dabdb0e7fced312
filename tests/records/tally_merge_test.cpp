// Copies of the game that share one tally file and exit in any order, some killed while they
// save: every finished copy's games are in the tally, exactly once.

#include "records/tally_file.h"
#include "records/tally_store.h"
#include "tests/records/tally_samples.h"
#include "tests/support/built_program.h"

#include <gtest/gtest.h>

#include <QMap>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <array>
#include <csignal>
#include <memory>
#include <random>

namespace {

constexpr int kRuns = 3;

// A copy of the game, started on the tally and waiting to exit.
class Copy
{
public:
    Copy(const QString &path, int run)
    {
        process_.start(QString::fromStdString(testing_support::builtProgramPath("tally_saver")),
                       {path, QString::number(run)});
    }
    ~Copy()
    {
        if (process_.state() != QProcess::NotRunning) {
            process_.kill();
            process_.waitForFinished(5000);
        }
    }
    bool waitFor(const QByteArray &word)
    {
        while (!said_.contains(word)) {
            if (!process_.waitForReadyRead(10000))
                return false;
            said_ += process_.readAll();
        }
        return true;
    }
    void exit() { process_.write("exit\n"); process_.waitForBytesWritten(1000); }
    bool finishedWell()
    {
        return process_.waitForFinished(10000) && process_.exitStatus() == QProcess::NormalExit && process_.exitCode() == 0;
    }
    void killNow()
    {
        ::kill(pid_t(process_.processId()), SIGKILL);
        process_.waitForFinished(5000);
    }

private:
    QProcess process_;
    QByteArray said_;
};

// What a run changes, as the copy records it on the tally it read.
TallyChanges runChanges(const TallyTable &stored, int run)
{
    // Read back from its text, as a starting copy reads it: no changes yet.
    TallyTable fresh = TallyTable::fromText(stored.toText()).value();
    fresh.startSession();
    tally_samples::playRun(fresh, run);
    return fresh.changes();
}

// The tally after copies exited in this order, each applying its run to what the previous left.
TallyTable afterExits(TallyTable stored, const QList<int> &runs)
{
    for (const int run : runs) {
        const TallyChanges changes = runChanges(stored, run);
        stored.startSession();
        stored.apply(changes);
        stored = TallyTable::fromText(stored.toText()).value();
    }
    stored.startSession();
    return stored;
}

// The all-runs counters by name, and the overall record: what must add up whatever the order.
QMap<QString, QStringList> totals(const TallyTable &table)
{
    QMap<QString, QStringList> byName;
    byName[QStringLiteral("(overall)")] = {table.cell(0, 1), table.cell(0, 2)};
    for (int row = 1; row < table.rowCount(); ++row) {
        for (int column = TallyTable::kTotalColumn; column < TallyTable::kSessionColumn; ++column)
            byName[table.cell(row, 0)] << table.cell(row, column);
    }
    return byName;
}

class TallyMerge : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(folder.isValid()); }
    QString path() const { return folder.filePath(QString::fromLatin1(tallyfile::kFileName)); }
    TallyTable stored() const
    {
        const tallyfile::Loaded loaded = tallyfile::load(path());
        EXPECT_TRUE(loaded.error.isEmpty()) << loaded.error.toStdString();
        return loaded.table;
    }

    QTemporaryDir folder;
};

} // namespace

TEST_F(TallyMerge, ThreeCopiesExitingInEveryOrderAddUpExactly)
{
    const TallyTable base = tally_samples::sample(40, 30);
    std::array<int, kRuns> order {0, 1, 2};
    do {
        ASSERT_TRUE(tallyfile::save(path(), base));
        std::array<std::unique_ptr<Copy>, kRuns> copies;
        for (int run = 0; run < kRuns; ++run)
            copies[size_t(run)] = std::make_unique<Copy>(path(), run);
        for (auto &copy : copies)
            ASSERT_TRUE(copy->waitFor("ready"));
        for (const int run : order) {
            copies[size_t(run)]->exit();
            ASSERT_TRUE(copies[size_t(run)]->waitFor("saved"));
            ASSERT_TRUE(copies[size_t(run)]->finishedWell());
        }
        const TallyTable expected = afterExits(base, {order[0], order[1], order[2]});
        const TallyTable found = stored();
        EXPECT_EQ(found.players(), expected.players()) << order[0] << order[1] << order[2];
        EXPECT_EQ(totals(found), totals(expected)) << order[0] << order[1] << order[2];
        // Everybody was tallied by all three and is one player with every run's games.
        EXPECT_EQ(found.count(found.rowOf(QStringLiteral("Everybody")), TallyTable::Games + 1), 5 + 8 + 11);
        EXPECT_EQ(found.rowOf(QStringLiteral("Player 2")), -1);
        EXPECT_EQ(found.gamesPlayed(), base.gamesPlayed() + 5 + 8 + 11);
    } while (std::next_permutation(order.begin(), order.end()));
}

TEST_F(TallyMerge, CopiesExitingTogetherWithOneKilledMidwayLoseNothingOfTheOthers)
{
    // A large tally, so that saves take long enough for kills to land inside them.
    const TallyTable base = tally_samples::sample(3000, 40);
    std::mt19937 rng(23);
    int victimCounted = 0;
    int victimLost = 0;
    for (int round = 0; round < 12; ++round) {
        ASSERT_TRUE(tallyfile::save(path(), base));
        const int victim = round % kRuns;
        std::array<std::unique_ptr<Copy>, kRuns> copies;
        for (int run = 0; run < kRuns; ++run)
            copies[size_t(run)] = std::make_unique<Copy>(path(), run);
        for (auto &copy : copies)
            ASSERT_TRUE(copy->waitFor("ready"));
        for (auto &copy : copies)
            copy->exit();
        QThread::usleep(rng() % 40000);
        copies[size_t(victim)]->killNow();
        QList<int> survivors;
        for (int run = 0; run < kRuns; ++run) {
            if (run == victim)
                continue;
            // A copy killed while it held the lock does not hold up the others.
            ASSERT_TRUE(copies[size_t(run)]->finishedWell()) << "round " << round << " run " << run;
            survivors << run;
        }
        const QMap<QString, QStringList> found = totals(stored());
        if (found == totals(afterExits(base, survivors + QList<int> {victim}))) {
            ++victimCounted;
        } else {
            ++victimLost;
            EXPECT_EQ(found, totals(afterExits(base, survivors))) << "round " << round;
        }
    }
    EXPECT_EQ(victimCounted + victimLost, 12);
}
