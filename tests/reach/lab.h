#pragma once

#include "client/message_box.h"
#include "discovery/game_browser.h"
#include "tests/support/host_process.h"
#include "tests/support/raw_client.h"
#include "tests/support/wait.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

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

// The game on `port` is listed with an address others can reach: a sighting on this machine's
// loopback interface may be resolved first, and the browser replaces it when the network's comes.
inline bool listedForOthers(const GameBrowser &browser, int port)
{
    const int row = rowWithPort(browser, port);
    return row >= 0 && !browser.game(row).address.startsWith(QLatin1String("127."));
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

// A window's own folder (VREL_HOME) while a test runs; any message box it shows is a failure.
class WindowHome
{
public:
    WindowHome()
    {
        qputenv("VREL_HOME", folder_.path().toUtf8());
        messagebox::setPresenter([](QWidget *, const QString &text) { ADD_FAILURE() << "message box: " << qPrintable(text); });
    }
    ~WindowHome()
    {
        messagebox::setPresenter([](QWidget *, const QString &) {});
        qunsetenv("VREL_HOME");
    }
    QString filePath(const QString &name) const { return folder_.filePath(name); }

private:
    QTemporaryDir folder_;
};

// A built program (vrel or vrel-host) started as a process of its own, with `home` as its folder
// (VREL_HOME) and no display.
inline void startProgram(QProcess &process, const QTemporaryDir &home, const QString &program, const QStringList &arguments)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("VREL_HOME"), home.path());
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(environment);
    process.start(testing_support::builtProgram(program), arguments);
}

// A player who logs in at the host on `port` as NAME (in the seat it tells); null when the host
// never asks.
inline std::unique_ptr<testing_support::RawClient> seatPlayer(int port, const QByteArray &name, QByteArray *seatTaken = nullptr)
{
    auto client = std::make_unique<testing_support::RawClient>(port);
    const std::optional<QByteArray> invitation = client->waitFor("CMD_sendlogininfo+");
    if (!invitation)
        return nullptr;
    const QByteArray seat = invitation->mid(int(qstrlen("CMD_sendlogininfo+"))).split('+').value(0);
    client->send("CMD_logininfo+" + seat + "+1.0.4+" + name + '\xFF');
    client->waitFor("CMD_newplayerinfo+" + seat);
    if (seatTaken)
        *seatTaken = seat;
    return client;
}

// A measured figure, printed for the record (never asserted).
inline void figure(const char *what, qint64 value, const char *unit = "ms")
{
    std::printf("FIGURE %s: %lld %s\n", what, static_cast<long long>(value), unit);
    std::fflush(stdout);
}

// A program of the test's own running in the lab's router namespace, as a machine of its own
// would (the lab started without its miniupnpd); it says what it does on stdout, one line each.
class RouterNamespaceProgram
{
public:
    RouterNamespaceProgram(const QString &program, const QStringList &arguments)
    {
        process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process_.start(QStringLiteral("nsenter"), QStringList {QStringLiteral("-t"), qEnvironmentVariable("VREL_LAB_ROUTER_NS"),
                                                               QStringLiteral("-n"), testing_support::builtProgram(program)}
                                                      + arguments);
        ready_ = waitFor("ready", 5000);
    }
    // Asked to stop (the neighbour then says goodbye), killed if it does not.
    ~RouterNamespaceProgram()
    {
        process_.terminate();
        if (!process_.waitForFinished(3000))
            process_.kill();
        process_.waitForFinished(2000);
    }
    bool ready() const { return ready_; }
    QByteArray log()
    {
        log_ += process_.readAllStandardOutput();
        return log_;
    }
    bool waitFor(const QByteArray &text, int ms)
    {
        return testing_support::waitUntil([&] { return log().contains(text); }, ms);
    }
    qint64 pid() const { return process_.processId(); }

private:
    QProcess process_;
    QByteArray log_;
    bool ready_ = false;
};

// A process's peak resident memory (VmHWM), in KiB; 0 when it cannot be read.
inline qint64 peakMemoryKiB(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return 0;
}

} // namespace lab
