// vrel-host under a service manager, end to end: a real notify socket of the test's own as
// NOTIFY_SOCKET, and Debian's systemd-socket-activate handing over the listening socket.

#include "tests/support/free_port.h"
#include "tests/support/host_process.h"
#include "tests/support/notify_socket.h"
#include "tests/support/raw_client.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <csignal>
#include <memory>

using testing_support::HostProcess;
using testing_support::RawClient;

namespace {

const QByteArray T("\xFF", 1);

std::unique_ptr<RawClient> join(int port, const QByteArray &name)
{
    auto client = std::make_unique<RawClient>(port);
    const std::optional<QByteArray> seat = client->next();
    if (seat && seat->startsWith("CMD_sendlogininfo+"))
        client->send("CMD_logininfo+" + seat->mid(18) + "+1.0.4+" + name + T + T);
    client->waitFor("CMD_newplayerinfo+" + seat.value_or("").mid(18) + "+" + name);
    return client;
}

QList<qint64> gaps(const QList<qint64> &times)
{
    QList<qint64> between;
    for (qsizetype i = 1; i < times.size(); ++i)
        between << times.at(i) - times.at(i - 1);
    return between;
}

} // namespace

TEST(HostService, TellsTheServiceManagerReadyItsTableAWatchdogThatStopsWithTheHostAndStopping)
{
    NotifySocket notify; // an abstract name, "@..."
    ASSERT_TRUE(notify.bound());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("NOTIFY_SOCKET"), QString::fromLatin1(notify.name()));
    environment.insert(QStringLiteral("WATCHDOG_USEC"), QStringLiteral("600000")); // a ping every 300 ms
    HostProcess host({QStringLiteral("--port"), QStringLiteral("0")}, environment);
    ASSERT_GT(host.port(), 0) << host.log().constData();

    // Ready, once: by then the host takes players.
    const std::optional<NotifySocket::Datagram> ready = notify.waitFor("READY=1");
    ASSERT_TRUE(ready.has_value());
    EXPECT_EQ(ready->text, "READY=1\nSTATUS=0 players, waiting for players");
    auto ann = join(host.port(), "Ann");

    // The status line follows the table: seats, the start, the rounds, a player leaving.
    EXPECT_TRUE(notify.waitFor("STATUS=1 player, waiting for the start"));
    auto bob = join(host.port(), "Bob");
    auto cid = join(host.port(), "Cid");
    EXPECT_TRUE(notify.waitFor("STATUS=3 players, waiting for the start"));
    ann->send("CMD_startgame+Ann+2+30+" + T);
    EXPECT_TRUE(notify.waitFor("STATUS=3 players, round 1 of 2"));
    bob.reset();
    EXPECT_TRUE(notify.waitFor("STATUS=2 players, round 1 of 2"));
    EXPECT_EQ(notify.statuses(), QList<QByteArray>({"0 players, waiting for players", "1 player, waiting for the start",
                                                    "2 players, waiting for the start", "3 players, waiting for the start",
                                                    "3 players, round 1 of 2", "2 players, round 1 of 2"}));

    // The watchdog is fed at half its time, and not while the host's event loop stands still.
    const qint64 from = notify.now();
    notify.listen(1500);
    const QList<qint64> running = notify.times("WATCHDOG=1", from);
    EXPECT_GE(running.size(), 3);
    for (const qint64 gap : gaps(running)) {
        EXPECT_GE(gap, 150) << "pings too close";
        EXPECT_LE(gap, 600) << "a ping came later than the watchdog's time";
    }
    ASSERT_EQ(::kill(pid_t(host.pid()), SIGSTOP), 0);
    const qint64 stopped = notify.now();
    notify.listen(1500);
    ::kill(pid_t(host.pid()), SIGCONT);
    const qint64 resumed = notify.now();
    notify.listen(1000);
    const QList<qint64> after = notify.times("WATCHDOG=1", stopped + 50);
    EXPECT_TRUE(after.isEmpty() || after.first() >= resumed) << "a ping while the host was stopped";
    EXPECT_GE(after.size(), 2) << "no pings once the host went on";

    // SIGTERM: stopping, the players told that the game ends (and nothing more) and their
    // connections closed, the host gone within 10 s.
    ann->drain(100);
    cid->drain(100);
    QElapsedTimer ending;
    ending.start();
    host.process().terminate();
    EXPECT_TRUE(notify.waitFor("STOPPING=1"));
    for (RawClient *player : {ann.get(), cid.get()}) {
        EXPECT_EQ(player->drain(1000), QList<QByteArray>({"CMD_hostending+"}));
        EXPECT_TRUE(player->closedByPeer());
    }
    EXPECT_TRUE(host.process().state() == QProcess::NotRunning || host.process().waitForFinished(10000));
    EXPECT_LT(ending.elapsed(), 10000);
    EXPECT_EQ(host.process().exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(host.process().exitCode(), 0);
    EXPECT_TRUE(host.log().contains("vrel-host: stopped"));
}

TEST(HostService, SocketActivationStartsAGameOnItsFirstConnection)
{
    QTemporaryDir folder;
    NotifySocket notify(folder.filePath(QStringLiteral("notify")).toLocal8Bit()); // a path this time
    ASSERT_TRUE(notify.bound());
    // systemd-socket-activate listens and starts the host only on the first connection, handing it
    // the listening socket. A port someone took between our look and its bind is tried again.
    QProcess activator;
    activator.setProcessChannelMode(QProcess::MergedChannels);
    int port = 0;
    for (int attempt = 0; attempt < 3 && port == 0; ++attempt) {
        const int candidate = testing_support::unusedLoopbackPort();
        activator.start(QStringLiteral("systemd-socket-activate"),
                        {QStringLiteral("-l"), QStringLiteral("127.0.0.1:%1").arg(candidate),
                         QStringLiteral("-E"), QStringLiteral("NOTIFY_SOCKET=") + QString::fromLocal8Bit(notify.name()),
                         QStringLiteral("-E"), QStringLiteral("VREL_LOCAL_ONLY=1"),
                         testing_support::builtProgram(QStringLiteral("vrel-host")), QStringLiteral("--port"),
                         QString::number(candidate)});
        ASSERT_TRUE(activator.waitForStarted(5000)) << "systemd-socket-activate (Debian's systemd) is needed";
        QByteArray said;
        while (!said.contains("Listening on") && activator.waitForReadyRead(5000))
            said += activator.readAll();
        if (said.contains("Listening on"))
            port = candidate;
        else
            activator.waitForFinished(2000);
    }
    ASSERT_GT(port, 0);
    notify.listen(300);
    EXPECT_TRUE(notify.statuses().isEmpty()) << "the host ran before anyone came";

    RawClient first(port);
    EXPECT_EQ(first.next(5000), QByteArray("CMD_sendlogininfo+1"));
    const std::optional<NotifySocket::Datagram> ready = notify.waitFor("READY=1");
    ASSERT_TRUE(ready.has_value());
    RawClient second(port);
    EXPECT_EQ(second.next(), QByteArray("CMD_sendlogininfo+2"));
    activator.waitForReadyRead(500);
    EXPECT_TRUE(activator.readAll().contains("listening on port " + QByteArray::number(port) + " (a socket handed over"));

    activator.terminate(); // the activator became the host
    EXPECT_TRUE(notify.waitFor("STOPPING=1"));
    ASSERT_TRUE(activator.state() == QProcess::NotRunning || activator.waitForFinished(10000));
    EXPECT_EQ(activator.exitCode(), 0);

    // What is handed over must be a listening TCP socket (a unit that listens for datagrams, a
    // file): the host says so and ends instead of serving nobody.
    QProcess misled;
    misled.setProcessChannelMode(QProcess::MergedChannels);
    misled.start(QStringLiteral("sh"), {QStringLiteral("-c"), QStringLiteral("LISTEN_PID=$$ LISTEN_FDS=1 exec \"$0\" 3</dev/null"),
                                        testing_support::builtProgram(QStringLiteral("vrel-host"))});
    ASSERT_TRUE(misled.waitForFinished(10000));
    EXPECT_EQ(misled.exitCode(), 1);
    EXPECT_TRUE(misled.readAll().contains("cannot listen on port 7772: Listen - Error Starting Listen"));
}
