// Games per machine: how many full games fit on this machine side by side, one vrel-host each
// with its nine clients (six players submitting a word 300 ms after each verdict, three watchers
// chatting), while the 99th percentile of the verdicts and chat round trips stays within a goal.
// The number is found for the host's former dispatch rule (a 10 ms tick,
// VREL_HOST_MESSAGES_PER_TICK=11) and for the present one (each message as it arrives): 1, 2, 4,
// ... games until the goal is missed, then halving the gap. Every count tried is printed with
// its figures. The clients run in this process, so their own work is part of the load.
//
//   vrel-bench-games [--seconds N] [--goal-ms MS] [--max N] [--host PATH]
//       (default 10 s of play for each count, a goal of 10 ms, at most 256 games)

#include "figures.h"
#include "full_table.h"

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Trial {
    double p99 = 0; // the worse of the verdicts' and the chat round trips'
    bool fits = false;
};

class Search
{
public:
    Search(int argc, char **argv, int seconds, double goalMs, std::vector<std::string> environment)
        : argc_(argc), argv_(argv), seconds_(seconds), goalMs_(goalMs), environment_(std::move(environment))
    {
    }

    Trial tryGames(int games)
    {
        const std::optional<TableFigures> f = measureTables(argc_, argv_, games, seconds_, environment_);
        Trial trial;
        if (f && !f->verdicts.empty() && f->allStayed) {
            const double verdict99 = percentile(f->verdicts, 0.99), chat99 = percentile(f->chats, 0.99);
            trial.p99 = std::max(verdict99, chat99);
            trial.fits = trial.p99 <= goalMs_;
            std::printf("    games %4d: verdict p50/p99 %.2f/%.2f ms, chat p50/p99 %.2f/%.2f ms, hosts %.1f%% of a core%s\n",
                        games, percentile(f->verdicts, 0.5), verdict99, percentile(f->chats, 0.5), chat99, f->load,
                        trial.fits ? "" : "  (beyond the goal)");
        } else {
            std::printf("    games %4d: could not be played (a host or client failed)\n", games);
        }
        std::fflush(stdout);
        return trial;
    }

    // The most games that keep the goal, up to `most`.
    int most(int most)
    {
        int good = 0, bad = most + 1;
        for (int games = 1; games <= most; games *= 2) {
            if (!tryGames(games).fits) {
                bad = games;
                break;
            }
            good = games;
        }
        while (bad - good > std::max(1, good / 8)) {
            const int games = (good + bad) / 2;
            (tryGames(games).fits ? good : bad) = games;
        }
        return good;
    }

private:
    int argc_;
    char **argv_;
    int seconds_;
    double goalMs_;
    std::vector<std::string> environment_;
};

} // namespace

int main(int argc, char **argv)
{
    const int seconds = std::max(1, std::stoi(option(argc, argv, "--seconds", "10")));
    const double goal = std::stod(option(argc, argv, "--goal-ms", "10"));
    const int most = std::max(1, std::stoi(option(argc, argv, "--max", "256")));
    // Ten descriptors a game here (nine clients and a host's log), more than the usual soft limit.
    rlimit files {};
    if (::getrlimit(RLIMIT_NOFILE, &files) == 0) {
        files.rlim_cur = files.rlim_max;
        ::setrlimit(RLIMIT_NOFILE, &files);
    }
    std::printf("full games side by side, one vrel-host each, %d s of play a count, goal p99 <= %.1f ms\n", seconds, goal);
    std::printf("  before, a 10 ms tick for all:\n");
    Search former(argc, argv, seconds, goal, {"VREL_HOST_MESSAGES_PER_TICK=11"});
    const int before = former.most(most);
    std::printf("  after, each message as it arrives:\n");
    const int after = Search(argc, argv, seconds, goal, {"VREL_HOST_MESSAGES_PER_TICK="}).most(most);
    // The former rule at the count the present one reached, for the figures side by side.
    if (after > before) {
        std::printf("  before, at the count reached after:\n");
        former.tryGames(after);
    }
    char figure[96];
    std::snprintf(figure, sizeof figure, "before %d, after %d", before, after);
    report("full games at p99 <= goal", figure, "at least as many after", after >= before);
    return after >= before ? 0 : 1;
}
