// tally_saver PATH: saves two different tallies at PATH in turn, for ever, saying "ready" before
// the first and "saved" after each. The crash test kills it at random moments and reads what it
// left.

#include "records/tally_file.h"
#include "tests/records/tally_samples.h"

#include <cstdio>

int main(int argc, char **argv)
{
    if (argc != 2)
        return 2;
    const QString path = QString::fromLocal8Bit(argv[1]);
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
