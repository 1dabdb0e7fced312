// What a player's resizing costs: the main window grown from the starting size to three times
// in eighths, then back, each step painted; per step the time from the resize to the painted
// board (the art drawn anew at the new size the first time, from the cache on the way back) and
// the process's resident memory.
//
//   vrel-bench-scale
#include "client/tchat.h"
#include "figures.h"
#include "session/client_session.h"

#include <QApplication>
#include <QElapsedTimer>

#include <cstdio>

namespace {

double step(Tchat &window, qreal scale)
{
    const QSize room(qRound(768 * scale), qRound(533 * scale) + 1);
    QElapsedTimer clock;
    clock.start();
    window.resize(window.size() + room - window.centralWidget()->size());
    QCoreApplication::processEvents();
    window.repaint();
    QCoreApplication::processEvents();
    return double(clock.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    ClientSession session;
    Tchat window(session);
    window.show();
    QCoreApplication::processEvents();
    std::printf("scale  way   ms to painted  resident MiB\n");
    for (const bool back : {false, true}) {
        for (int eighths = 8; eighths <= 24; ++eighths) {
            const qreal scale = (back ? 32 - eighths : eighths) / 8.0;
            const double ms = step(window, scale);
            std::printf("%5.3f  %-4s  %13.1f  %12.1f\n", window.boardScale(), back ? "down" : "up", ms,
                        ownResidentKiB() / 1024.0);
        }
    }
    return 0;
}
