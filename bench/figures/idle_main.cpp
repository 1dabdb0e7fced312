// Idle processor time: vrel-host with nobody connected, and the game hosting with its player
// logged in and no game started (offscreen), each measured over the same span by the processor
// time the system counts for it; also the hosting game's peak memory. First both keep to this
// computer (VREL_LOCAL_ONLY=1); then, inside the network lab (tests/reach/network_lab.sh, with an
// Avahi daemon and a router of its own), both publish their game and ask the router for its
// port. Outside the lab that second pair is left out: it would announce a game on this machine's
// network and ask its router.
//
//   vrel-bench-idle [--seconds N] [--host PATH]     (default 30 seconds each, vrel-host beside it)

#include "figures.h"
#include "game_process.h"
#include "host_process.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace {

const char kReference[] = "under 0.1% of a core";

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

// Both programs idle, keeping to this computer or reaching others; false when one did not start.
bool measure(int argc, char **argv, int seconds, bool reachOthers, bool &within)
{
    const char *how = reachOthers ? ", published, router asked" : ", this computer only";
    HostProcess host;
    const std::vector<std::string> options = reachOthers ? std::vector<std::string> {"--open-port"} : std::vector<std::string> {};
    if (!startHost(host, argc, argv, {reachOthers ? "VREL_LOCAL_ONLY=0" : "VREL_LOCAL_ONLY=1"}, options))
        return false;
    if (reachOthers && !host.waitForLog("published on the local network", 10000)) {
        std::fprintf(stderr, "vrel-host did not publish its game\n");
        return false;
    }
    const double hostLoad = idleLoad(host, seconds);
    host.stop();
    report(std::string("idle CPU vrel-host") + how, loadText(hostLoad, seconds), kReference, hostLoad < 0.1);

    GameProcess game({}, reachOthers);
    if (!game.start() || !game.waitForLogin(20000)) {
        std::fprintf(stderr, "the hosting game did not log in\n");
        return false;
    }
    const double gameLoad = idleLoad(game.process(), seconds);
    const long peakKiB = game.process().peakResidentKiB();
    report(std::string("idle CPU hosting vrel") + how, loadText(gameLoad, seconds), kReference, gameLoad < 0.1);
    char peak[64];
    std::snprintf(peak, sizeof peak, "%.1f MiB", double(peakKiB) / 1024);
    report(std::string("hosting vrel peak memory") + how, peak, "under 128 MiB", peakKiB < 128 * 1024);
    within = within && hostLoad < 0.1 && gameLoad < 0.1;
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    const int seconds = std::stoi(option(argc, argv, "--seconds", "30"));
    bool within = true;
    if (!measure(argc, argv, seconds, false, within))
        return 1;
    const char *lab = std::getenv("VREL_NETWORK_LAB");
    if (lab && std::strcmp(lab, "1") == 0) {
        if (!measure(argc, argv, seconds, true, within))
            return 1;
    } else {
        std::printf("published and with the router asked: measured only inside the network lab, as root: "
                    "tests/reach/network_lab.sh build-bench/bin/vrel-bench-idle\n");
    }
    return within ? 0 : 1;
}
