#include "app/reach/find_games.h"

#include "discovery/game_browser.h"

#include <QCoreApplication>
#include <QTimer>

#include <cstdio>

namespace {

constexpr int kLongestWaitMs = 2000;

} // namespace

int printFoundGames(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    GameBrowser browser;
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &app, &QCoreApplication::quit);
    QObject::connect(&browser, &GameBrowser::settledNow, &app, &QCoreApplication::quit);
    deadline.start(kLongestWaitMs);
    if (!browser.settled())
        app.exec();
    if (!browser.available()) {
        std::fprintf(stderr, "vrel: %s\n", qPrintable(browser.unavailableText()));
        return 1;
    }
    for (const GameFacts &game : browser.games())
        std::printf("%s\n", game.scriptLine().toUtf8().constData());
    std::fflush(stdout);
    return 0;
}
