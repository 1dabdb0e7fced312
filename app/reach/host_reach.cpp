#include "app/reach/host_reach.h"

#include "discovery/local_only.h"
#include "engine/tserver.h"
#include "protocol/constants.h"

HostReach::HostReach(TServer &server, const QString &serviceName, const QString &hostPlayer, QObject *parent)
    : QObject(parent)
    , server_(server)
{
    base_.serviceName = serviceName;
    base_.hostPlayer = hostPlayer;
    base_.version = QString::fromLatin1(proto::kVersion);
    mapper_.setLeaseSeconds(leaseSecondsFromEnvironment());
    // Every seat taken or freed and every game started or won is told as activity, just before
    // the engine's table shows it: the facts are read once the engine is done.
    connect(&server_, &TServer::activity, this, [this] {
        if (!refreshPending_) {
            refreshPending_ = true;
            QMetaObject::invokeMethod(this, &HostReach::refresh, Qt::QueuedConnection);
        }
    });
}

HostReach::~HostReach()
{
    // Whoever listens to the mapper's state may be going too: only its log lines still go out.
    disconnect(&mapper_, &PortMapper::stateChanged, nullptr, nullptr);
    mapper_.close();
}

GameFacts HostReach::factsOf(const TServer &server)
{
    GameFacts facts;
    // Only those who have logged in count: a connection that has not (a browser trying whether
    // the game answers, a stranger at the door) is no player yet.
    for (int n = 1; n <= proto::kLastSeat; ++n) {
        if (!server.loggedIn(n))
            continue;
        if (proto::isPlayerSeat(n))
            ++facts.players;
        else
            ++facts.onlookers;
    }
    facts.running = server.gameRunning();
    return facts;
}

GameFacts HostReach::facts() const
{
    GameFacts facts = factsOf(server_);
    facts.serviceName = base_.serviceName;
    facts.hostPlayer = base_.hostPlayer;
    facts.version = base_.version;
    facts.port = port_;
    return facts;
}

void HostReach::start(quint16 port, bool openPort)
{
    if (keepsToThisComputer())
        return;
    port_ = port;
    publisher_.publish(facts());
    setPortOpening(openPort);
}

void HostReach::setPortOpening(bool open)
{
    if (open && port_ != 0 && mapper_.state() == PortMapper::State::Idle)
        mapper_.open(port_);
    else if (!open)
        mapper_.close();
}

QString HostReach::routerNotice() const
{
    switch (mapper_.state()) {
    case PortMapper::State::Open:
        if (!mapper_.externalEndpoint().isEmpty())
            return QStringLiteral("Invite link for players outside this network: vrel://%1").arg(mapper_.externalEndpoint());
        if (mapper_.behindSharedAddress())
            return PortMapper::kSharedAddressText;
        return QStringLiteral("The router forwards port %1 to this game.").arg(port_);
    case PortMapper::State::NoRouter:
        // What a player can still do by hand, in the router's own settings.
        return QStringLiteral("No router opened port %1: others outside this network may not reach this game. Forward "
                              "TCP port %1 on your router to this computer and send your public address as "
                              "vrel://ADDRESS:%1")
            .arg(port_);
    default:
        return {};
    }
}

void HostReach::refresh()
{
    refreshPending_ = false;
    if (port_ != 0)
        publisher_.update(facts());
}
