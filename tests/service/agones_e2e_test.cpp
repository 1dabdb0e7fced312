// vrel-host managed by Agones, against a stand-in of the Agones SDK server (the real one needs
// Kubernetes): the calls it makes over the REST API, in their order and at their pace.

#include "tests/service/agones_stand_in.h"
#include "tests/support/host_process.h"
#include "tests/support/raw_client.h"
#include "tests/support/word_play.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include <csignal>
#include <functional>

using testing_support::HostProcess;
using testing_support::RawClient;

namespace {

const QByteArray T("\xFF", 1);

// Waits until `done` holds, for at most `ms`.
bool within(int ms, const std::function<bool()> &done)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > ms)
            return false;
        // The host's log comes in through the event loop.
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(20);
    }
    return true;
}

// The values the label "players" was given, each once however often it was repeated.
QList<QByteArray> playerLabels(const AgonesStandIn &sidecar)
{
    QList<QByteArray> values;
    for (const AgonesStandIn::Call &call : sidecar.callsTo("/metadata/label")) {
        const QByteArray value = QJsonDocument::fromJson(call.body).object().value("value").toString().toUtf8();
        if (values.isEmpty() || values.last() != value)
            values << value;
    }
    return values;
}

} // namespace

TEST(Agones, ReadyHealthThePlayerCountAndShutdownOnceTheGameIsOverAndEveryoneHasLeft)
{
    AgonesStandIn sidecar; // its port is taken, but it does not answer yet
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("AGONES_SDK_HTTP_PORT"), QString::number(sidecar.port()));
    HostProcess host({QStringLiteral("--port"), QStringLiteral("0")}, environment);
    ASSERT_GT(host.port(), 0) << host.log().constData();

    // The SDK server starts after the game server: Ready is asked until it answers, then the
    // player count is labelled and the game server's state watched.
    QThread::msleep(2500);
    EXPECT_TRUE(sidecar.calls().isEmpty());
    sidecar.start();
    ASSERT_TRUE(within(3000, [&] { return playerLabels(sidecar) == QList<QByteArray>({"0"}); })) << host.log().constData();
    const QList<AgonesStandIn::Call> first = sidecar.calls();
    EXPECT_EQ(first.first().method + ' ' + first.first().path + ' ' + first.first().body, "POST /ready {}");
    EXPECT_TRUE(host.log().contains("Agones: Ready failed (Connection refused); asking again"));
    EXPECT_EQ(host.log().count("Ready failed"), 1) << "a refusal is told once";
    EXPECT_TRUE(within(2000, [&] { return host.log().contains("Agones: the game server is Ready"); }));

    // A player who comes and goes before any game was played: the game server stays.
    {
        RawClient bea(host.port());
        ASSERT_EQ(bea.next(), QByteArray("CMD_sendlogininfo+1"));
        bea.send("CMD_logininfo+1+1.0.4+Bea" + T + T);
        EXPECT_TRUE(within(3000, [&] { return playerLabels(sidecar) == QList<QByteArray>({"0", "1"}); }));
    }
    EXPECT_TRUE(within(3000, [&] { return playerLabels(sidecar) == QList<QByteArray>({"0", "1", "0"}); }));

    auto ann = std::make_unique<RawClient>(host.port());
    ASSERT_EQ(ann->next(), QByteArray("CMD_sendlogininfo+1"));
    ann->send("CMD_logininfo+1+1.0.4+Ann" + T + T);
    EXPECT_TRUE(within(3000, [&] { return playerLabels(sidecar) == QList<QByteArray>({"0", "1", "0", "1"}); }));
    sidecar.setState("Allocated");
    EXPECT_TRUE(within(3000, [&] { return host.log().contains("Agones: the game server is Allocated"); }));

    // Ann plays a one-round game and fills her list: it ends after the results, in about 18 s.
    ann->send("CMD_startgame+Ann+1+30+" + T);
    std::optional<QByteArray> turn = ann->waitFor("CMD_nextplayer+1+1+");
    ASSERT_TRUE(turn.has_value());
    QByteArray masked = testing_support::maskedOf(*turn);
    for (int w = 1; w <= 10; ++w) {
        ann->send(testing_support::mywordMessage(1, testing_support::answerFor(masked)));
        const std::optional<QByteArray> reply = ann->waitFor(w < 10 ? "CMD_newword+1+" : "CMD_allfilled+1+");
        ASSERT_TRUE(reply.has_value()) << "word " << w;
        masked = testing_support::maskedOf(*reply);
    }

    // A host that hangs sends no health pings; once it goes on, they come every 2 s again.
    ASSERT_EQ(::kill(pid_t(host.pid()), SIGSTOP), 0);
    const qint64 stopped = sidecar.now();
    QThread::msleep(5000);
    const qint64 resumed = sidecar.now();
    ::kill(pid_t(host.pid()), SIGCONT);
    EXPECT_TRUE(within(3500, [&] { return !sidecar.callsTo("/health", resumed).isEmpty(); }));
    for (const AgonesStandIn::Call &ping : sidecar.callsTo("/health", stopped + 300))
        EXPECT_GE(ping.ms, resumed) << "a health ping while the host was stopped";

    // The SDK server goes away for a while: the host plays on, says so once, and finds it again.
    sidecar.stop();
    QThread::msleep(3000);
    sidecar.start();
    const qint64 back = sidecar.now();
    EXPECT_TRUE(within(4000, [&] { return !sidecar.callsTo("/health", back).isEmpty(); }));
    EXPECT_TRUE(within(2000, [&] { return host.log().contains("Agones: the SDK server answers again"); }))
        << host.log().constData();

    // The game ends with Ann still there: no shutdown until she leaves too.
    EXPECT_TRUE(ann->waitFor("CMD_winner+Ann+", 30000).has_value());
    QThread::msleep(500);
    EXPECT_TRUE(sidecar.callsTo("/shutdown").isEmpty());
    ann.reset();
    EXPECT_TRUE(within(3000, [&] { return !sidecar.callsTo("/shutdown").isEmpty(); })) << host.log().constData();
    EXPECT_EQ(playerLabels(sidecar), QList<QByteArray>({"0", "1", "0", "1", "0"}));
    EXPECT_EQ(sidecar.callsTo("/shutdown").first().body, "{}");

    // Between the hang and the shutdown the pings kept their pace.
    QList<qint64> times;
    for (const AgonesStandIn::Call &ping : sidecar.callsTo("/health", back))
        times << ping.ms;
    ASSERT_GE(times.size(), 4);
    for (qsizetype i = 1; i < times.size(); ++i) {
        EXPECT_GE(times.at(i) - times.at(i - 1), 1500);
        EXPECT_LE(times.at(i) - times.at(i - 1), 3000);
    }
    for (const AgonesStandIn::Call &call : sidecar.calls()) {
        if (call.path == "/health" || call.path == "/ready") {
            EXPECT_EQ(call.method + ' ' + call.body, "POST {}");
        }
    }

    // Agones ends the pod with SIGTERM: the host is gone at once, the shutdown already told.
    host.process().terminate();
    EXPECT_TRUE(host.process().state() == QProcess::NotRunning || host.process().waitForFinished(3000));
    EXPECT_EQ(host.process().exitCode(), 0);
    EXPECT_EQ(sidecar.callsTo("/shutdown").size(), 1);
}

TEST(Agones, SigtermAsksForShutdownAndEndsSoonEvenWhenTheSdkServerHangs)
{
    AgonesStandIn sidecar;
    sidecar.start();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("AGONES_SDK_HTTP_PORT"), QString::number(sidecar.port()));
    HostProcess host({QStringLiteral("--port"), QStringLiteral("0")}, environment);
    ASSERT_GT(host.port(), 0) << host.log().constData();
    ASSERT_TRUE(within(3000, [&] { return !sidecar.callsTo("/metadata/label").isEmpty(); }));
    RawClient ann(host.port());
    ASSERT_EQ(ann.next(), QByteArray("CMD_sendlogininfo+1"));
    ann.send("CMD_logininfo+1+1.0.4+Ann" + T + T);
    ASSERT_TRUE(ann.waitFor("CMD_newplayerinfo+1+Ann").has_value());

    sidecar.setSilent(true);
    QElapsedTimer ending;
    ending.start();
    host.process().terminate();
    EXPECT_EQ(ann.waitFor("CMD_hostending"), QByteArray("CMD_hostending+"));
    EXPECT_TRUE(within(3000, [&] { return sidecar.callsTo("/shutdown").size() == 1; }));
    EXPECT_TRUE(host.process().state() == QProcess::NotRunning || host.process().waitForFinished(5000));
    // The answer is waited for two seconds at most.
    EXPECT_LT(ending.elapsed(), 2900);
    EXPECT_EQ(host.process().exitCode(), 0);
}
