// TDictn: what the host's word check relies on, and how the word list file is handled.
#include "dictionary/embeddedwords.h"
#include "dictionary/tdictn.h"
#include "dictionary/wordlistfile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class TDictnTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(folder.isValid()); }

    QString wordListPath() const { return folder.filePath(QString::fromLatin1(TDictn::FileName)); }

    void writeWordList(const QByteArray &bytes) const
    {
        QFile file(wordListPath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(bytes), bytes.size());
    }

    QByteArray readWordList() const
    {
        QFile file(wordListPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    TDictn::Reporter reporter()
    {
        return [this](const QString &message) { messages.append(message); };
    }

    QTemporaryDir folder;
    QStringList messages;
};

QString lastWordOf(const QByteArray &records)
{
    return QString::fromLatin1(records.right(TDictn::RecordSize - 1).trimmed());
}

} // namespace

TEST_F(TDictnTest, IgnoresCaseSpacesAndNulsAroundTheWord)
{
    TDictn dictionary(folder.path(), reporter());
    for (const QString &word : {QStringLiteral("abide"), QStringLiteral("ABIDE"), QStringLiteral("AbIdE"),
                                QStringLiteral("  abide   "), QStringLiteral("abide") + QChar(0)})
        EXPECT_TRUE(dictionary.HasWord(word)) << qPrintable(word);
    for (const QString &word : {QStringLiteral("abidx"), QStringLiteral("ab ide"), QStringLiteral("\tabide"),
                                QStringLiteral("abidé")})
        EXPECT_FALSE(dictionary.HasWord(word)) << qPrintable(word);
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(TDictnTest, FindsWordsOfEveryLengthAndPlaceButNothingEmptyOrTooLong)
{
    TDictn dictionary(folder.path(), reporter());
    const QByteArray records = embeddedWordListRecords();
    EXPECT_TRUE(dictionary.HasWord(QString::fromLatin1(records.mid(1, TDictn::RecordSize - 1).trimmed())));
    EXPECT_TRUE(dictionary.HasWord(lastWordOf(records)));
    EXPECT_TRUE(dictionary.HasWord(QStringLiteral("ox")));
    EXPECT_TRUE(dictionary.HasWord(QStringLiteral("characteristic")));
    EXPECT_FALSE(dictionary.HasWord(QStringLiteral("characteristics"))); // 15 letters
    EXPECT_FALSE(dictionary.HasWord(QString()));
    EXPECT_FALSE(dictionary.HasWord(QStringLiteral("     ")));
    EXPECT_FALSE(dictionary.HasWord(QString(300, u'a')));
    EXPECT_FALSE(dictionary.HasWord(QString(300, u' ') + QStringLiteral("abide")));
}

TEST_F(TDictnTest, MissingFileIsWrittenWholeAndDeletedAtTheEnd)
{
    {
        TDictn dictionary(folder.path(), reporter());
        EXPECT_TRUE(dictionary.isOpen());
        EXPECT_EQ(dictionary.filePath(), wordListPath());
        EXPECT_EQ(readWordList(), embeddedWordListRecords());
        EXPECT_TRUE(QFile::permissions(wordListPath()) & QFile::ReadOther);
        EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList{TDictn::FileName});
        EXPECT_TRUE(dictionary.HasWord(QStringLiteral("abide")));
    }
    EXPECT_TRUE(QDir(folder.path()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(TDictnTest, ExistingFileIsUsedUnchanged)
{
    const QByteArray mine = QByteArray("\x1e" "CAT           ") + "\x1e" "ZEBRA         ";
    writeWordList(mine);
    TDictn dictionary(folder.path(), reporter());
    EXPECT_TRUE(dictionary.HasWord(QStringLiteral("zebra")));
    EXPECT_TRUE(dictionary.HasWord(QStringLiteral("Cat")));
    EXPECT_FALSE(dictionary.HasWord(QStringLiteral("abide")));
    EXPECT_EQ(readWordList(), mine);
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(TDictnTest, EmptyOrDamagedFilesRefuseWordsWithoutAMessage)
{
    writeWordList({});
    {
        TDictn dictionary(folder.path(), reporter());
        EXPECT_TRUE(dictionary.isOpen());
        EXPECT_FALSE(dictionary.HasWord(QStringLiteral("abide")));
    }

    // A file cut inside its last record: the whole records still answer, the cut one does not.
    const QByteArray records = embeddedWordListRecords();
    writeWordList(records.left(records.size() - 7));
    {
        TDictn dictionary(folder.path(), reporter());
        EXPECT_TRUE(dictionary.HasWord(QStringLiteral("abide")));
        EXPECT_FALSE(dictionary.HasWord(lastWordOf(records)));
    }

    QByteArray noise;
    for (int i = 0; i < 30000; ++i)
        noise.append(char((i * 7919 + 13) % 256));
    writeWordList(noise);
    {
        TDictn dictionary(folder.path(), reporter());
        EXPECT_FALSE(dictionary.HasWord(QStringLiteral("abide")));
    }
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(TDictnTest, FileThatCannotBeOpenedIsReportedOnceAndRefusesEveryWord)
{
    // A folder below a regular file cannot be written, not even by root.
    writeWordList("not a folder");
    TDictn unwritable(wordListPath() + QStringLiteral("/sub"), reporter());
    EXPECT_FALSE(unwritable.isOpen());
    EXPECT_FALSE(unwritable.HasWord(QStringLiteral("abide")));
    EXPECT_EQ(messages, QStringList{QStringLiteral("English.dic dictionary not found!")});

    messages.clear();
    QTemporaryDir other;
    ASSERT_TRUE(QDir(other.path()).mkdir(QString::fromLatin1(TDictn::FileName)));
    TDictn folderInTheWay(other.path(), reporter());
    EXPECT_FALSE(folderInTheWay.HasWord(QStringLiteral("abide")));
    EXPECT_EQ(messages, QStringList{QStringLiteral("English.dic dictionary not found!")});
}

TEST_F(TDictnTest, UsesTheWorkingDirectoryOrElseTheUserCache)
{
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(folder.path()));
    {
        TDictn dictionary({}, reporter());
        EXPECT_EQ(QFileInfo(dictionary.filePath()).absolutePath(), QFileInfo(folder.path()).canonicalFilePath());
        EXPECT_TRUE(dictionary.HasWord(QStringLiteral("abide")));
    }
    QDir::setCurrent(previous);

    const QByteArray previousCache = qgetenv("XDG_CACHE_HOME");
    QTemporaryDir cache;
    qputenv("XDG_CACHE_HOME", QFile::encodeName(cache.path()));
    EXPECT_EQ(wordListFolderFor(folder.filePath(QStringLiteral("missing"))), cache.filePath(QStringLiteral("vrel")));
    EXPECT_TRUE(QFileInfo(cache.filePath(QStringLiteral("vrel"))).isDir());
    qputenv("XDG_CACHE_HOME", previousCache);
}
