// A tally the game cannot read or may not write is never destroyed: a damaged or oversize file
// is moved aside (and the player told where), a spoiled counter costs only its cell, and a file
// marked read-only is left as it is with "Unable to write to".

#include "records/tally_file.h"
#include "records/tally_store.h"
#include "tests/records/tally_samples.h"

#include "compress/in_memory.h"

#include "tests/records/file_bytes.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

QByteArray pack(const QByteArray &text)
{
    return QByteArray::fromStdString(lzrw1::packBytes(text.toStdString(), TCompressMode::Fast));
}

class TallyStoreTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(folder.isValid()); }
    QString path() const { return folder.filePath(QString::fromLatin1(tallyfile::kFileName)); }
    QString readError() const { return QStringLiteral("Lzrw1 : Error reading from input file : ") + path(); }
    QStringList files() const { return QDir(folder.path()).entryList(QDir::Files, QDir::Name); }

    QTemporaryDir folder;
};

} // namespace

TEST_F(TallyStoreTest, UnreadableTalliesAreMovedAsideAndTheGamesOfTheRunStillCount)
{
    // A tally of more text than the game reads: a valid start, then 5 MiB of lines.
    const QByteArray oversize = pack(TallyTable().toText() + QByteArray(5 << 20, '\n'));
    const QByteArray garbage = "garbage that is no container";
    const struct {
        QByteArray bytes;
        QString error;
        QString aside;
    } cases[] = {
        {garbage, path() + QStringLiteral(" : Lzrw1 decompression : this file has no valid header !"),
         path() + QStringLiteral(".damaged")},
        {oversize, readError(), path() + QStringLiteral(".damaged.1")},
    };
    for (const auto &c : cases) {
        file_bytes::write(path(), c.bytes);
        TallyStore store(path());
        EXPECT_EQ(store.load(), c.error + QStringLiteral("\nThe tally was kept as ") + c.aside);
        EXPECT_EQ(store.table(), TallyTable());
        // The damaged file went aside whole, the earlier damaged one stays where it was.
        EXPECT_EQ(file_bytes::read(c.aside), c.bytes);
        EXPECT_FALSE(QFile::exists(path()));

        store.table().addPlayer(QStringLiteral("Bob"));
        store.table().addgame(QStringLiteral("Bob"), false, {QStringLiteral("Bob")});
        ASSERT_TRUE(store.save());
        const tallyfile::Loaded written = tallyfile::load(path());
        EXPECT_TRUE(written.error.isEmpty());
        EXPECT_EQ(written.table.gamesPlayed(), 1);
        EXPECT_EQ(written.table.count(1, TallyTable::kTotalColumn + TallyTable::TheirWins), 1);
    }
    EXPECT_EQ(file_bytes::read(path() + QStringLiteral(".damaged")), garbage);
    EXPECT_EQ(files(), QStringList({"Vreltally.tld", "Vreltally.tld.damaged", "Vreltally.tld.damaged.1", "Vreltally.tld.lock"}));
}

TEST_F(TallyStoreTest, ASpoiledCounterCostsOnlyItsCell)
{
    TallyTable stored = tally_samples::sample(5, 20);
    QByteArray text = stored.toText();
    // Bob's games (column 1 of row 1) grow to 19 digits; row 2's wins are no number.
    const QString bobsGames = stored.cell(1, 1);
    const qsizetype column1 = 2 + 1 * stored.rowCount();
    QList<QByteArray> lines = text.split('\n');
    lines[column1 + 1] = "1234567890123456789\r";
    lines[2 + 2 * stored.rowCount() + 2] = "many\r";
    text = lines.join('\n');
    const QByteArray damaged = pack(text);
    file_bytes::write(path(), damaged);

    TallyStore store(path());
    EXPECT_EQ(store.load(), readError() + QStringLiteral("\nThe tally was kept as ") + path() + QStringLiteral(".damaged"));
    EXPECT_EQ(file_bytes::read(path() + QStringLiteral(".damaged")), damaged);
    TallyTable expected = stored;
    expected.startSession();
    EXPECT_EQ(store.table().players(), expected.players());
    EXPECT_EQ(store.table().cell(1, 1), "0");
    EXPECT_EQ(store.table().cell(2, 2), "0");
    for (int row = 0; row < expected.rowCount(); ++row) {
        for (int column = 0; column < TallyTable::kColumns; ++column) {
            if ((row == 1 && column == 1) || (row == 2 && column == 2))
                continue;
            EXPECT_EQ(store.table().cell(row, column), expected.cell(row, column)) << row << "," << column;
        }
    }
    // What could be read is the stored tally at once, for other copies too.
    EXPECT_EQ(tallyfile::load(path()).table, store.table());
    EXPECT_TRUE(tallyfile::load(path()).error.isEmpty());
    EXPECT_NE(bobsGames, "0");
}

TEST_F(TallyStoreTest, AReadOnlyTallyIsNeverWritten)
{
    ASSERT_TRUE(tallyfile::save(path(), tally_samples::sample(3, 4)));
    const QByteArray before = file_bytes::read(path());
    ASSERT_TRUE(QFile::setPermissions(path(), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));

    TallyStore store(path());
    EXPECT_EQ(store.load(), QStringLiteral("Unable to write to ") + path());
    EXPECT_EQ(store.table().gamesPlayed(), 4);
    store.table().addgame(QStringLiteral("Me"), true, store.table().players());
    EXPECT_FALSE(store.save());
    EXPECT_EQ(file_bytes::read(path()), before);

    // Damaged and read-only: neither moved nor written.
    QFile::setPermissions(path(), QFile::ReadOwner | QFile::WriteOwner);
    file_bytes::write(path(), "not a tally");
    QFile::setPermissions(path(), QFile::ReadOwner);
    TallyStore damaged(path());
    EXPECT_EQ(damaged.load(), path() + QStringLiteral(" : Lzrw1 decompression : this file has no valid header !\n")
                                  + QStringLiteral("Unable to write to ") + path());
    EXPECT_FALSE(damaged.save());
    EXPECT_EQ(file_bytes::read(path()), "not a tally");
    EXPECT_FALSE(QFile::exists(path() + QStringLiteral(".damaged")));
}
