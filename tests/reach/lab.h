#pragma once

#include "discovery/game_browser.h"
#include "tests/support/host_process.h"
#include "tests/support/wait.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>

#include <cstdio>

namespace lab {

// These tests talk to a network of their own only: tests/reach/network_lab.sh makes it and runs
// them inside. Run anywhere else they fail and say so rather than reach a real network.
inline bool inLab()
{
    return qEnvironmentVariable("VREL_NETWORK_LAB") == QLatin1String("1");
}
#define REQUIRE_NETWORK_LAB() \
    ASSERT_TRUE(lab::inLab()) << "run inside tests/reach/network_lab.sh (a network namespace of its own); ctest does"

// The lab router's mappings, one a line: "TCP:EXTERNAL:INTERNAL-ADDRESS:INTERNAL:TIME:DESCRIPTION".
inline QString routerLeases()
{
    QFile file(qEnvironmentVariable("VREL_LAB_LEASES"));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// The lease line of `port` forwarded to this machine (10.77.0.2, as the router sees it).
inline QString leaseOf(int port)
{
    return QStringLiteral("TCP:%1:10.77.0.2:%1:").arg(port);
}

inline int rowWithPort(const GameBrowser &browser, int port)
{
    for (int row = 0; row < browser.rowCount(); ++row) {
        if (browser.game(row).port == port)
            return row;
    }
    return -1;
}

// vrel --find-games: its output lines and exit status.
struct FoundGames {
    QStringList lines;
    QString errors;
    int status = -1;
    qint64 ms = 0;
};

inline FoundGames findGames()
{
    QProcess process;
    QElapsedTimer clock;
    clock.start();
    process.start(testing_support::builtProgram(QStringLiteral("vrel")), {QStringLiteral("--find-games")});
    process.waitForFinished(10000);
    FoundGames found;
    found.ms = clock.elapsed();
    found.lines = QString::fromUtf8(process.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    found.errors = QString::fromUtf8(process.readAllStandardError());
    found.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return found;
}

// A measured figure, printed for the record (never asserted).
inline void figure(const char *what, qint64 ms)
{
    std::printf("FIGURE %s: %lld ms\n", what, static_cast<long long>(ms));
    std::fflush(stdout);
}

} // namespace lab
