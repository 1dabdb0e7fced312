// dictionary_probe FOLDER ROUNDS: opens and closes the dictionary in FOLDER ROUNDS times, looking
// up a word that is in it and one that is not each time. Exits 0 when every answer was right
// and the dictionary never reported a failure.
#include "dictionary/tdictn.h"

#include <QString>

#include <cstdio>
#include <cstdlib>

int main(int argc, char **argv)
{
    if (argc != 3)
        return 2;
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const int rounds = std::atoi(argv[2]);
    int failures = 0;
    for (int round = 0; round < rounds; ++round) {
        TDictn dictionary(folder, [&](const QString &message) {
            std::fprintf(stderr, "round %d: %s\n", round, qPrintable(message));
            ++failures;
        });
        if (!dictionary.HasWord(QStringLiteral("abide")) || dictionary.HasWord(QStringLiteral("abidx"))) {
            std::fprintf(stderr, "round %d: wrong answer\n", round);
            ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}
