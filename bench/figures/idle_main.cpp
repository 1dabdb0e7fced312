// Idle processor time: vrel-host with nobody connected, and the game hosting with its player
// logged in and no game started (offscreen), each measured over the same span by the processor
// time the system counts for it. Also the hosting game's peak memory.
//
//   vrel-bench-idle [--seconds N] [--host PATH]     (default 30 seconds each, vrel-host beside it)

#include "figures.h"
#include "game_process.h"
#include "host_process.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>

namespace {

// Percent of one core the program used over `seconds`, after a settling pause.
double idleLoad(HostProcess &program, int seconds)
{
    std::this_thread::sleep_for(std::chrono::seconds(2));
    program.readLog();
    const double before = program.cpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < seconds; ++i) {
        std::this_thread::sleep_for(std::chrono::seconds(1));
        program.readLog();
    }
    const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return 100 * (program.cpuSeconds() - before) / elapsed;
}

std::string loadText(double percent, int seconds)
{
    char text[96];
    std::snprintf(text, sizeof text, "%.3f%% of a core over %d s", percent, seconds);
    return text;
}

} // namespace

int main(int argc, char **argv)
{
    const int seconds = std::stoi(option(argc, argv, "--seconds", "30"));
    const char *reference = "under 0.1% of a core";

    HostProcess host;
    if (!startHost(host, argc, argv))
        return 1;
    const double hostLoad = idleLoad(host, seconds);
    host.stop();
    report("idle CPU vrel-host", loadText(hostLoad, seconds), reference, hostLoad < 0.1);

    GameProcess game;
    if (!game.start() || !game.waitForLogin(20000)) {
        std::fprintf(stderr, "the hosting game did not log in\n");
        return 1;
    }
    const double gameLoad = idleLoad(game.process(), seconds);
    const long peakKiB = game.process().peakResidentKiB();
    report("idle CPU hosting vrel", loadText(gameLoad, seconds), reference, gameLoad < 0.1);
    char peak[64];
    std::snprintf(peak, sizeof peak, "%.1f MiB", double(peakKiB) / 1024);
    report("hosting vrel peak memory", peak, "under 128 MiB", peakKiB < 128 * 1024);
    return hostLoad < 0.1 && gameLoad < 0.1 ? 0 : 1;
}
