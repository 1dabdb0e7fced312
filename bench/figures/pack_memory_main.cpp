// Peak memory of vrel-pack packing a sizeable file (text made of words, as the game's downloads
// and word lists are), in each of its modes, as the system accounts it once the program ended.
//
//   vrel-bench-pack-memory [--mib N]     (default 64 MiB)

#include "figures.h"
#include "host_process.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <unistd.h>

namespace {

void writeWords(const std::string &path, long bytes)
{
    static const char *const words[] = {"vrel", "round", "letters", "board", "score", "player", "word",
                                        "watch", "chat", "tally", "again", "close", "ahead", "turn"};
    std::mt19937 random(1);
    std::ofstream out(path, std::ios::binary);
    std::string line;
    for (long written = 0; written < bytes; written += long(line.size())) {
        line.clear();
        for (int i = 0; i < 12; ++i)
            line += std::string(words[random() % 14]) + (i == 11 ? "\n" : " ");
        out << line;
    }
}

} // namespace

int main(int argc, char **argv)
{
    const long mib = std::stol(option(argc, argv, "--mib", "64"));
    char folder[] = "/tmp/vrel-bench-pack-XXXXXX";
    if (!::mkdtemp(folder))
        return 1;
    const std::string input = std::string(folder) + "/words.txt";
    writeWords(input, mib * 1024 * 1024);

    bool fine = true;
    for (const char *mode : {"--fast", "--good"}) {
        HostProcess pack;
        const std::string output = std::string(folder) + "/words" + mode + ".vrel";
        if (!pack.spawn({besideThisProgram("vrel-pack"), "c", mode, input, output}) || pack.wait() != 0) {
            std::fprintf(stderr, "vrel-pack c %s failed\n", mode);
            fine = false;
            continue;
        }
        const double peakMiB = double(pack.endedPeakKiB()) / 1024;
        char figure[96];
        std::snprintf(figure, sizeof figure, "%.1f MiB packing %ld MiB", peakMiB, mib);
        // It packs block by block: its memory does not grow with the file.
        report(std::string("vrel-pack ") + mode + " peak memory", figure, "under 16 MiB whatever the file size",
               peakMiB < 16);
    }
    std::filesystem::remove_all(folder);
    return fine ? 0 : 1;
}
