#include "app/reach/find_games.h"

#include "discovery/game_browser.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <cstdio>

namespace {

constexpr int kUsualWaitMs = 2000;
// A crowded network (hundreds of services) takes longer to hear: the games are waited for while
// it is still being heard, up to this.
constexpr int kCrowdedWaitMs = 10000;

} // namespace

int printFoundGames(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    GameBrowser browser;
    QElapsedTimer clock;
    clock.start();
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &app, [&] {
        if (browser.available() && browser.busy() && clock.elapsed() < kCrowdedWaitMs)
            deadline.start(100);
        else
            app.quit();
    });
    QObject::connect(&browser, &GameBrowser::settledNow, &app, &QCoreApplication::quit);
    deadline.start(kUsualWaitMs);
    if (!browser.settled())
        app.exec();
    if (!browser.available()) {
        std::fprintf(stderr, "vrel: %s\n", qPrintable(browser.unavailableText()));
        return 1;
    }
    if (browser.busy())
        std::fprintf(stderr, "vrel: the network is crowded: games not yet heard of after %d seconds are left out\n", kCrowdedWaitMs / 1000);
    for (const GameFacts &game : browser.games())
        std::printf("%s\n", game.scriptLine().toUtf8().constData());
    std::fflush(stdout);
    return 0;
}
