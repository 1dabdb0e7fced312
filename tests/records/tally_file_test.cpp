// The tally file: the fast container around the table's text, read at start and written at exit,
// with damaged files reported in the component's words.

#include "records/tally_file.h"
#include "tests/records/tally_samples.h"

#include "compress/in_memory.h"

#include "tests/records/file_bytes.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <csignal>
#include <sys/resource.h>

namespace {

QByteArray pack(const QByteArray &text, TCompressMode mode)
{
    return QByteArray::fromStdString(lzrw1::packBytes(text.toStdString(), mode));
}

long peakMemoryKb()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

class TallyFile : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(folder.isValid()); }
    QString path() const { return folder.filePath(QString::fromLatin1(tallyfile::kFileName)); }

    QTemporaryDir folder;
};

} // namespace

TEST_F(TallyFile, WrittenAndReadBackWithThisRunsCountersAtZero)
{
    // No tally yet: an empty one, without a word.
    tallyfile::Loaded first = tallyfile::load(path());
    EXPECT_TRUE(first.error.isEmpty());
    EXPECT_EQ(first.table, TallyTable());

    // Work files never land in the current folder, nor anywhere beside the tally.
    QTemporaryDir workingFolder;
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(workingFolder.path()));
    const TallyTable played = tally_samples::sample(3, 5);
    ASSERT_TRUE(tallyfile::save(path(), played));
    const tallyfile::Loaded again = tallyfile::load(path());
    QDir::setCurrent(previous);
    EXPECT_TRUE(QDir(workingFolder.path()).isEmpty());
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList {QString::fromLatin1(tallyfile::kFileName)});

    // The file is the fast container around the table's text.
    const QByteArray stored = file_bytes::read(path());
    EXPECT_TRUE(stored.startsWith("WRZL"));
    EXPECT_EQ(stored, pack(played.toText(), TCompressMode::Fast));

    EXPECT_TRUE(again.error.isEmpty());
    TallyTable expected = played;
    expected.startSession();
    EXPECT_EQ(again.table, expected);
    EXPECT_EQ(again.table.gamesPlayed(), 5);
    EXPECT_EQ(again.table.count(1, TallyTable::kTotalColumn + TallyTable::Games), played.count(1, 1));
    EXPECT_EQ(again.table.count(1, TallyTable::kSessionColumn + TallyTable::Games), 0);

    // A tally that another copy packed, in either of the container's methods, reads the same.
    for (const TCompressMode mode : {TCompressMode::Fast, TCompressMode::Good}) {
        file_bytes::write(path(), pack(played.toText(), mode));
        EXPECT_EQ(tallyfile::load(path()).table, expected);
    }
}

TEST_F(TallyFile, DamagedFilesAreReportedInTheComponentsWordsAndGiveAnEmptyTally)
{
    const std::string name = QFile::encodeName(path()).toStdString();
    const QString readError = QString::fromStdString("Lzrw1 : Error reading from input file : " + name);
    const QByteArray good = pack(tally_samples::sample(40, 30).toText(), TCompressMode::Fast);
    const struct {
        QByteArray bytes;
        QString error;
    } cases[] = {
        {"garbage that is no container",
         QString::fromStdString(name + " : Lzrw1 decompression : this file has no valid header !")},
        {good.left(good.size() / 2), readError},
        {good.left(6), readError},
        {pack("9\r\n1\r\nnot a table\r\n", TCompressMode::Fast), readError},
        {pack(tally_samples::sample(2, 2).toText().replace("9\r\n3", "9\r\n9"), TCompressMode::Fast), readError},
    };
    for (const auto &c : cases) {
        file_bytes::write(path(), c.bytes);
        const tallyfile::Loaded loaded = tallyfile::load(path());
        EXPECT_EQ(loaded.error, c.error);
        EXPECT_EQ(loaded.table, TallyTable());
    }
}

TEST_F(TallyFile, AFileAnnouncingFourGigabytesIsRefusedWithoutTakingTheMemory)
{
    // The header announces 4 GB; behind it lie 2048 full blocks of runs, 64 MB when decoded.
    QByteArray runsChunk("\x40\xFF\x00", 3);
    for (int i = 0; i < 8; ++i)
        runsChunk += QByteArray("\x00\x0F\xF0z", 4);
    QByteArray container("WRZL\xFF\xFF\xFF\xFF", 8);
    for (int block = 0; block < 2048; ++block)
        container += char(runsChunk.size()) + QByteArray(1, '\0') + runsChunk;
    file_bytes::write(path(), container);

    const long before = peakMemoryKb();
    const tallyfile::Loaded loaded = tallyfile::load(path());
    EXPECT_EQ(loaded.error, QStringLiteral("Lzrw1 : Error reading from input file : ") + path());
    EXPECT_EQ(loaded.table, TallyTable());
    EXPECT_LT(peakMemoryKb() - before, 16 * 1024);
}

TEST_F(TallyFile, ASaveThatFailsLeavesTheStoredTally)
{
    const TallyTable stored = tally_samples::sample(2, 3);
    ASSERT_TRUE(tallyfile::save(path(), stored));

    // The disk fills up half-way through the new file.
    rlimit previous {};
    getrlimit(RLIMIT_FSIZE, &previous);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = previous;
    small.rlim_cur = 2000;
    setrlimit(RLIMIT_FSIZE, &small);
    const bool saved = tallyfile::save(path(), tally_samples::sample(3000, 10));
    setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(saved);
    TallyTable expected = stored;
    expected.startSession();
    EXPECT_EQ(tallyfile::load(path()).table, expected);
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList {QString::fromLatin1(tallyfile::kFileName)});

    // A folder that is gone cannot take a tally either.
    EXPECT_FALSE(tallyfile::save(folder.filePath(QStringLiteral("gone/") + QString::fromLatin1(tallyfile::kFileName)), stored));
}
