#include "dictionary/embeddedwords.h"

#include <QFile>
#include <QResource>

namespace {

const char RecordsResource[] = ":/dictionary/English.records";
const char PoolResource[] = ":/dictionary/wordpool.txt";

} // namespace

QByteArray embeddedWordListRecords()
{
    const QResource records(QString::fromLatin1(RecordsResource));
    if (!records.isValid())
        return {};
    // Stored uncompressed, so this refers to the program image instead of copying it.
    return records.uncompressedData();
}

QStringList loadWordPool()
{
    QFile pool(QString::fromLatin1(PoolResource));
    if (!pool.open(QIODevice::ReadOnly))
        return {};
    QStringList words;
    for (const QByteArray &line : pool.readAll().split('\n')) {
        const QByteArray word = line.trimmed();
        if (!word.isEmpty())
            words.append(QString::fromLatin1(word));
    }
    return words;
}
