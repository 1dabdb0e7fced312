// Lookups against the word list file on disk (TDictn), side by side with an in-memory hash set
// of the same words, and the process's peak memory (ru_maxrss) after each step.
//
//   vrel-bench-dictionary [LOOKUPS]     (default 400000: alternately a hit and a miss)
//
// Nothing is allocated and freed again before the disk lookups, so a rise of the peak during
// them would be memory they kept; the hash set's rise shows what holding the words costs.
#include "dictionary/tdictn.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QStringList>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <sys/resource.h>

namespace {

long peakKilobytes()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

QString recordWord(const QByteArray &record)
{
    return QString::fromLatin1(record.mid(1).trimmed()).toLower();
}

// A hit is the word of a random record; a miss is such a word with one letter changed so that
// the dictionary does not have it.
QStringList mixedQueries(const TDictn &dictionary, int count)
{
    QFile file(dictionary.filePath());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const qint64 records = file.size() / TDictn::RecordSize;
    std::mt19937 random(7772);
    QStringList queries;
    queries.reserve(count);
    while (queries.size() < count) {
        file.seek(qint64(random() % records) * TDictn::RecordSize);
        QString word = recordWord(file.read(TDictn::RecordSize));
        if (queries.size() % 2 == 1) {
            word[random() % word.size()] = QChar(u'a' + int(random() % 26));
            if (dictionary.HasWord(word))
                continue;
        }
        queries.append(word);
    }
    return queries;
}

QSet<QString> hashSetOf(const QString &path)
{
    QFile file(path);
    QSet<QString> words;
    if (!file.open(QIODevice::ReadOnly))
        return words;
    const QByteArray all = file.readAll();
    for (qsizetype at = 0; at + TDictn::RecordSize <= all.size(); at += TDictn::RecordSize)
        words.insert(recordWord(all.mid(at, TDictn::RecordSize)));
    return words;
}

template<typename Lookup>
double measure(const char *name, const QStringList &queries, Lookup lookup)
{
    qlonglong found = 0;
    const auto start = std::chrono::steady_clock::now();
    for (const QString &query : queries)
        found += lookup(query) ? 1 : 0;
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    const double perSecond = queries.size() / elapsed.count();
    std::printf("%-24s %lld lookups in %.3f s: %.0f lookups/s, %.3f us/lookup, %lld found; peak %ld KB\n",
                name, qlonglong(queries.size()), elapsed.count(), perSecond,
                1e6 * elapsed.count() / queries.size(), found, peakKilobytes());
    return perSecond;
}

} // namespace

int main(int argc, char **argv)
{
    const int count = argc > 1 ? std::atoi(argv[1]) : 400000;
    if (count < 2)
        return 2;
    std::printf("peak at start: %ld KB\n", peakKilobytes());

    QTemporaryDir folder;
    TDictn dictionary(folder.path(), [](const QString &message) {
        std::fprintf(stderr, "%s\n", qPrintable(message));
    });
    if (!dictionary.isOpen())
        return 1;
    std::printf("peak with the word list file written and open: %ld KB (the file has %lld KB)\n",
                peakKilobytes(), QFileInfo(dictionary.filePath()).size() / 1024);

    const QStringList queries = mixedQueries(dictionary, count);
    std::printf("peak with %lld queries prepared: %ld KB\n", qlonglong(queries.size()), peakKilobytes());

    const double onDisk = measure("file on disk (TDictn):", queries,
                                  [&](const QString &word) { return dictionary.HasWord(word); });

    const QSet<QString> inMemory = hashSetOf(dictionary.filePath());
    std::printf("peak with the hash set of %lld words built: %ld KB\n", qlonglong(inMemory.size()),
                peakKilobytes());
    const double hashed = measure("in-memory hash set:", queries,
                                  [&](const QString &word) { return inMemory.contains(word); });

    std::printf("the hash set answers %.1f times as fast as the file on disk\n", hashed / onDisk);
    return 0;
}
