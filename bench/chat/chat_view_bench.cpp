// What the chat view costs a player's window: the time to add one chat line carrying 1, 100 and
// 4,000 link words, and to add many lines (10,000 by default) whose colours alternate, so that
// every line recolours its seat's earlier lines. Then an evening's chat: 30,000 lines, with the
// time a line takes and the process's memory at every 2,500 lines, so that both can be seen to
// stay flat at 20,000 lines and past the point where the oldest lines go. Last the floods an
// evening may bring: 25,000 lines of the longest a host relays, each stuffed with 100 links, with
// 100 smilies, or plain text, with the memory at every 5,000 lines. The view is shown and painted
// after every line, as in the game.
//
//   vrel-bench-chat [LINES]
#include "chat/chatview.h"
#include "figures.h"

#include <QApplication>
#include <QElapsedTimer>

#include <cstdio>
#include <cstdlib>
#include <functional>

namespace {

constexpr int kRuns = 3; // the best of three for the single lines

void paint(chat::ChatView &view)
{
    view.viewport()->repaint();
    QCoreApplication::processEvents();
}

double millisecondsForLine(int links)
{
    double best = -1;
    for (int run = 0; run < kRuns; ++run) {
        chat::ChatView view;
        view.resize(470, 190);
        view.show();
        paint(view);
        QString line = QStringLiteral("3+Ann chats: ");
        for (int i = 0; i < links; ++i)
            line += QStringLiteral("www.a%1.b ").arg(i);
        QElapsedTimer clock;
        clock.start();
        view.addlinetochat(line, 0x000000FF);
        paint(view);
        const double ms = double(clock.nsecsElapsed()) / 1e6;
        if (best < 0 || ms < best)
            best = ms;
    }
    return best;
}

double secondsForAlternatingLines(int lines)
{
    chat::ChatView view;
    view.resize(470, 190);
    view.show();
    paint(view);
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < lines; ++i) {
        view.addlinetochat(QStringLiteral("3+Ann chats: line %1 of the flood").arg(i),
                           i % 2 ? 0x00FF0000 : 0x000000FF);
        paint(view);
    }
    return double(clock.nsecsElapsed()) / 1e9;
}

// Adds the lines line(1) to line(lines) to a view shown as in the game, painted after each, and
// prints every `step` lines how many the view keeps, the time a line took and the memory.
void fill(const char *what, int lines, int step, const std::function<QString(int)> &line)
{
    chat::ChatView view;
    view.resize(470, 190);
    view.show();
    paint(view);
    QElapsedTimer clock;
    clock.start();
    for (int i = 1; i <= lines; ++i) {
        view.addlinetochat(line(i), i % 2 ? 0x00FF0000 : 0x000000FF);
        paint(view);
        if (i % step == 0) {
            std::printf("%-14s %6d lines (%5d kept)   %7.3f ms a line   %8.1f MiB\n", what, i, view.document()->blockCount(),
                        double(clock.nsecsElapsed()) / 1e6 / step, ownResidentKiB() / 1024.0);
            std::fflush(stdout);
            clock.restart();
        }
    }
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int lines = argc > 1 ? std::atoi(argv[1]) : 10000;

    for (int links : {1, 100, 4000})
        std::printf("one line with %4d links: %10.2f ms\n", links, millisecondsForLine(links));
    std::fflush(stdout);
    const double seconds = secondsForAlternatingLines(lines);
    std::printf("%d alternating-colour lines: %.2f s (%.3f ms a line)\n", lines, seconds, seconds * 1000 / lines);
    // An evening's chat, through 20,000 lines and on past the view's limit; then floods of the
    // longest lines a host relays, all alike.
    fill("an evening", 30000, 2500, [](int i) {
        return QStringLiteral("%1+Ann chats: line %2 of an evening, www.site%2.org :)#12 ok").arg(i % 6 + 1).arg(i);
    });
    for (const auto &[what, body] : {std::pair("100 links", QStringLiteral("www. ").repeated(100)),
                                     std::pair("100 smilies", QStringLiteral(":)#12").repeated(100)),
                                     std::pair("plain text", QString(500, u'x'))})
        fill(what, 25000, 5000, [&body](int i) { return QStringLiteral("%1+Bob chats: %2").arg(i % 4 + 3).arg(body); });
    return 0;
}
