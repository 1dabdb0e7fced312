// tally_saver PATH: saves two different tallies at PATH in turn, for ever, saying "ready" before
// the first and "saved" after each. The crash test kills it at random moments and reads what it
// left.
//
// tally_saver PATH RUN: a copy of the game's tally: reads the tally at PATH as a starting copy
// does, plays run number RUN's games on it, says "ready", waits for a line on its input (the
// copy exiting) and saves as an exiting copy does, then says "saved".

#include "records/tally_file.h"
#include "records/tally_store.h"
#include "tests/records/tally_samples.h"

#include <cstdio>
#include <cstdlib>

namespace {

int saveForEver(const QString &path)
{
    const TallyTable tallies[2] = {tally_samples::sample(3000, 40), tally_samples::sample(3001, 41)};
    std::fputs("ready\n", stdout);
    std::fflush(stdout);
    for (unsigned n = 0;; ++n) {
        if (!tallyfile::save(path, tallies[n % 2]))
            return 1;
        std::fputs("saved\n", stdout);
        std::fflush(stdout);
    }
}

int playAndExit(const QString &path, int run)
{
    TallyStore store(path);
    if (!store.load().isEmpty())
        return 3;
    tally_samples::playRun(store.table(), run);
    std::fputs("ready\n", stdout);
    std::fflush(stdout);
    char line[16];
    if (!std::fgets(line, sizeof line, stdin))
        return 4;
    if (!store.save())
        return 1;
    std::fputs("saved\n", stdout);
    std::fflush(stdout);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 2)
        return saveForEver(QString::fromLocal8Bit(argv[1]));
    if (argc == 3)
        return playAndExit(QString::fromLocal8Bit(argv[1]), std::atoi(argv[2]));
    return 2;
}
