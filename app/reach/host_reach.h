#pragma once

#include "discovery/game_facts.h"
#include "discovery/game_publisher.h"
#include "portmap/port_mapper.h"

#include <QObject>

class TServer;

// A hosted game made reachable: published on the local network with facts that follow the
// engine's seats and game, and (when asked) its port forwarded by the router. Neither waits:
// hosting goes on at once whatever the network has.
class HostReach : public QObject
{
    Q_OBJECT
public:
    // `hostPlayer` is the hosting player's name; empty for a host without a window.
    HostReach(TServer &server, const QString &serviceName, const QString &hostPlayer, QObject *parent = nullptr);
    // Withdraws the service and removes the router's forwarding.
    ~HostReach() override;

    // Publishes the game listening on `port` and, with `openPort`, asks the router for it.
    void start(quint16 port, bool openPort);
    // Turns the router's forwarding on or off while the game is hosted.
    void setPortOpening(bool open);

    GamePublisher &publisher() { return publisher_; }
    PortMapper &portMapper() { return mapper_; }
    GameFacts facts() const;
    // What the players are told of the router once it has answered: where players outside this
    // network join, or that they may not reach the game. Empty while asking and when off.
    QString routerNotice() const;

    // The engine's seats (those taken by players who have logged in) and game as the network is
    // told them.
    static GameFacts factsOf(const TServer &server);

private:
    void refresh();

    TServer &server_;
    GameFacts base_;
    quint16 port_ = 0;
    bool refreshPending_ = false;
    GamePublisher publisher_;
    PortMapper mapper_;
};
