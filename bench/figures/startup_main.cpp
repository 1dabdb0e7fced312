// Start-up time of the game: a hosting start ("vrel --port 0 Ann 127.0.0.1 true"), from the
// moment the process is started to its window shown and to its login complete, as the game tells
// them on stderr when VREL_STARTUP_TRACE is set. On an X server of its own (Xvfb) when there is
// one, else on the offscreen platform. Median and worst of several starts.
//
//   vrel-bench-startup [--runs N]     (default 7)

#include "figures.h"
#include "game_process.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>

namespace {

std::string twoFigures(const std::vector<double> &ms)
{
    char text[96];
    std::snprintf(text, sizeof text, "median %.0f ms, worst %.0f ms", percentile(ms, 0.5),
                  *std::max_element(ms.begin(), ms.end()));
    return text;
}

} // namespace

int main(int argc, char **argv)
{
    const int runs = std::max(1, std::stoi(option(argc, argv, "--runs", "7")));
    const VirtualDisplay display;
    std::printf("start-up of a hosting vrel, %d starts, %s\n", runs,
                display.display().empty() ? "offscreen platform" : ("Xvfb display " + display.display()).c_str());

    std::vector<double> toWindow, toLogin;
    for (int run = 0; run < runs; ++run) {
        GameProcess game(display.display());
        const auto start = std::chrono::steady_clock::now();
        const auto since = [&] {
            return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        };
        if (!game.start() || !game.waitForWindow(20000)) {
            std::fprintf(stderr, "the game's window was not shown\n");
            return 1;
        }
        toWindow.push_back(since());
        if (!game.waitForLogin(20000)) {
            std::fprintf(stderr, "the game did not log in\n");
            return 1;
        }
        toLogin.push_back(since());
    }
    report("start to window shown", twoFigures(toWindow), "within 1 s", percentile(toWindow, 0.5) < 1000);
    report("start to login complete", twoFigures(toLogin), "within 1.25 s", percentile(toLogin, 0.5) < 1250);
    return 0;
}
