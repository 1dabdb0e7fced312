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

#include <QApplication>
#include <QElapsedTimer>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

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

// The process's resident memory now, in KiB.
long residentKb()
{
    std::ifstream status("/proc/self/status");
    std::string word;
    while (status >> word) {
        if (word == "VmRSS:") {
            long kb = 0;
            status >> kb;
            return kb;
        }
    }
    return -1;
}

// An evening's chat in the view the game keeps: every 2,500 lines, the time a line took over the
// last 2,500 and the memory, through 20,000 lines and on past the view's limit.
void eveningOfChat()
{
    constexpr int kLines = 30000;
    constexpr int kStep = 2500;
    chat::ChatView view;
    view.resize(470, 190);
    view.show();
    paint(view);
    std::printf("lines in view   ms a line   resident memory\n");
    QElapsedTimer clock;
    clock.start();
    for (int i = 1; i <= kLines; ++i) {
        view.addlinetochat(QStringLiteral("%1+Ann chats: line %2 of an evening, www.site%2.org :)#12 ok").arg(i % 6 + 1).arg(i),
                           i % 2 ? 0x00FF0000 : 0x000000FF);
        paint(view);
        if (i % kStep == 0) {
            const double msALine = double(clock.nsecsElapsed()) / 1e6 / kStep;
            std::printf("%13d   %9.3f   %9.1f MiB\n", view.document()->blockCount(), msALine, residentKb() / 1024.0);
            std::fflush(stdout);
            clock.restart();
        }
    }
}

// 25,000 of the longest lines a host relays, all alike: the memory the view holds them in.
void flood(const char *what, const QString &body)
{
    constexpr int kLines = 25000;
    constexpr int kStep = 5000;
    chat::ChatView view;
    view.resize(470, 190);
    view.show();
    paint(view);
    const long before = residentKb();
    QElapsedTimer clock;
    clock.start();
    for (int i = 1; i <= kLines; ++i) {
        view.addlinetochat(QStringLiteral("%1+Bob chats: %2").arg(i % 4 + 3).arg(body), 0x000000FF);
        paint(view);
        if (i % kStep == 0) {
            std::printf("%-14s %6d lines (%5d kept)   %7.3f ms a line   %8.1f MiB more\n", what, i,
                        view.document()->blockCount(), double(clock.nsecsElapsed()) / 1e6 / kStep,
                        (residentKb() - before) / 1024.0);
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
    eveningOfChat();
    QString links, smilies;
    for (int i = 0; i < 100; ++i) {
        links += QStringLiteral("www. ");
        smilies += QStringLiteral(":)#12");
    }
    flood("100 links", links.trimmed());
    flood("100 smilies", smilies);
    flood("plain text", QString(500, u'x'));
    return 0;
}
