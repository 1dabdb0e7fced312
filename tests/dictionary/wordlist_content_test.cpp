// The embedded word list and word pool, as a program that only links the dictionary sees them.
#include "dictionary/embeddedwords.h"
#include "dictionary/tdictn.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstring>

namespace {

constexpr int FieldLength = TDictn::RecordSize - 1;

QByteArray fieldOf(const QByteArray &records, qsizetype index)
{
    return records.mid(index * TDictn::RecordSize + 1, FieldLength);
}

} // namespace

TEST(WordListContent, RecordsAreWellFormedAndInSearchOrder)
{
    const QByteArray records = embeddedWordListRecords();
    ASSERT_FALSE(records.isEmpty()) << "the records resource is not linked into the program";
    ASSERT_EQ(records.size() % TDictn::RecordSize, 0);
    const qsizetype count = records.size() / TDictn::RecordSize;
    EXPECT_GE(count, 100000);

    for (qsizetype i = 0; i < count; ++i) {
        ASSERT_EQ(records[i * TDictn::RecordSize], '\x1e') << "record " << i;
        const QByteArray field = fieldOf(records, i);
        const qsizetype letters = field.indexOf(' ') < 0 ? FieldLength : field.indexOf(' ');
        ASSERT_GE(letters, 2) << field.constData();
        for (qsizetype j = 0; j < FieldLength; ++j) {
            const char c = field[j];
            ASSERT_TRUE(j < letters ? (c >= 'A' && c <= 'Z') : c == ' ') << field.constData();
        }
        if (i > 0) {
            const QByteArray previous = fieldOf(records, i - 1);
            ASSERT_LT(std::memcmp(previous.constData(), field.constData(), FieldLength), 0)
                << previous.constData() << " / " << field.constData();
        }
    }
}

TEST(WordListContent, WordPoolIsSortedFiveLetterWordsAllInTheDictionary)
{
    const QStringList pool = loadWordPool();
    EXPECT_GE(pool.size(), 2400);
    EXPECT_LE(pool.size(), 2500);

    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    TDictn dictionary(folder.path(), [](const QString &message) { ADD_FAILURE() << qPrintable(message); });
    for (qsizetype i = 0; i < pool.size(); ++i) {
        const QString &word = pool[i];
        ASSERT_EQ(word.size(), 5) << qPrintable(word);
        for (QChar c : word)
            ASSERT_TRUE(c >= u'a' && c <= u'z') << qPrintable(word);
        if (i > 0) {
            ASSERT_LT(pool[i - 1], word);
        }
        EXPECT_TRUE(dictionary.HasWord(word)) << qPrintable(word);
    }
}
