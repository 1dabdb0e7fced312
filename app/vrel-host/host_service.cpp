#include "app/vrel-host/host_service.h"

#include "app/reach/host_reach.h"
#include "engine/tserver.h"
#include "service/socket_activation.h"

#include <utility>

HostService::HostService(TServer &server, QObject *parent)
    : QObject(parent)
    , server_(server)
{
    if (const quint16 port = AgonesSdk::portFromEnvironment()) {
        agones_ = std::make_unique<AgonesSdk>(port);
        connect(agones_.get(), &AgonesSdk::activity, this, &HostService::activity);
    }
    watchdog_.setInterval(notifier_.watchdogPeriodMs());
    connect(&watchdog_, &QTimer::timeout, this, [this] { notifier_.watchdog(); });
    health_.setInterval(kHealthMs);
    connect(&health_, &QTimer::timeout, this, [this] { agones_->health(); });
    // Every seat taken or freed, every round and every game started or ended is told as activity,
    // just before the engine's table shows it: the table is read once the engine is done.
    connect(&server_, &TServer::activity, this, [this] {
        if (!refreshPending_) {
            refreshPending_ = true;
            QMetaObject::invokeMethod(this, &HostService::refresh, Qt::QueuedConnection);
        }
    });
}

quint16 HostService::listen(int port)
{
    const QList<int> handed = takeActivatedSockets();
    handedOver_ = !handed.isEmpty();
    return handedOver_ ? server_.adoptListener(handed.first()) : server_.listen(port);
}

void HostService::start()
{
    started_ = true;
    status_ = statusLine(server_);
    notifier_.ready(status_);
    if (watchdog_.interval() > 0)
        watchdog_.start();
    if (agones_) {
        agones_->ready();
        agones_->setLabel(QStringLiteral("players"), QStringLiteral("0"));
        health_.start();
    }
}

QString HostService::statusLine(const TServer &server)
{
    const GameFacts facts = HostReach::factsOf(server);
    QString phase;
    if (!server.gameRunning()) {
        phase = facts.players > 0 ? QStringLiteral("waiting for the start") : QStringLiteral("waiting for players");
    } else if (server.roundNumber() > server.roundsPerGame()) {
        phase = QStringLiteral("round %1, a tie-break").arg(server.roundNumber());
    } else {
        phase = QStringLiteral("round %1 of %2").arg(server.roundNumber()).arg(server.roundsPerGame());
        if (server.phase() == proto::ResultsPhase)
            phase = QStringLiteral("results of ") + phase;
    }
    return facts.peopleText() + QStringLiteral(", ") + phase;
}

void HostService::refresh()
{
    refreshPending_ = false;
    if (!started_ || stopping_)
        return;
    const QString status = statusLine(server_);
    if (status != status_) {
        status_ = status;
        notifier_.status(status_);
    }
    const GameFacts facts = HostReach::factsOf(server_);
    gamePlayed_ = gamePlayed_ || (wasRunning_ && !server_.gameRunning());
    wasRunning_ = server_.gameRunning();
    if (!agones_)
        return;
    agones_->setLabel(QStringLiteral("players"), QString::number(facts.players));
    if (gamePlayed_ && facts.players + facts.onlookers == 0 && !agones_->shutdownAsked()) {
        emit activity(QStringLiteral("the game is over and everyone has left: asking Agones for a fresh game server"));
        agones_->shutdown();
    }
}

void HostService::stop(std::function<void()> done)
{
    if (stopping_) {
        done();
        return;
    }
    stopping_ = true;
    notifier_.stopping();
    server_.announceEnding();
    watchdog_.stop();
    health_.stop();
    if (!agones_ || agones_->shutdownAnswered()) {
        done();
        return;
    }
    // Whichever comes first, the answer or the end of the wait, ends the host; once.
    auto finish = std::make_shared<std::function<void()>>(std::move(done));
    auto once = [finish] {
        if (*finish)
            std::exchange(*finish, nullptr)();
    };
    connect(agones_.get(), &AgonesSdk::shutdownDone, this, once);
    QTimer::singleShot(kAgonesWaitMs, this, once);
    agones_->shutdown();
}
