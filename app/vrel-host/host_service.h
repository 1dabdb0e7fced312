#pragma once

#include "service/agones_sdk.h"
#include "service/service_notifier.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>
#include <memory>

class TServer;

// vrel-host as a managed service. To systemd (when it set NOTIFY_SOCKET): ready once listening,
// the table as a status line, a watchdog ping from the event loop's own timer (so a host that
// hangs stops pinging and is restarted), stopping on SIGTERM. To Agones (when AGONES_SDK_HTTP_PORT
// is set): Ready, Health every 2 s from the same event loop, the player count as the label
// "players", and Shutdown once a game is over and everyone has left, so the fleet puts a fresh
// game server in its place.
class HostService : public QObject
{
    Q_OBJECT
public:
    explicit HostService(TServer &server, QObject *parent = nullptr);

    // Listens on the socket a service manager handed over (socket activation) or else on `port`;
    // the port listened on. Throws ESockException as TServer::listen does.
    quint16 listen(int port);
    // Whether listen() took a socket handed over.
    bool handedOver() const { return handedOver_; }
    // The host listens: ready, and the pings start.
    void start();
    // SIGTERM: the players are told the game ends, systemd and Agones that the host stops; `done`
    // runs once Agones has answered (at once without Agones; at most kAgonesWaitMs later). A
    // second call runs `done` at once.
    void stop(std::function<void()> done);

    // "3 players, 1 onlooker, round 2 of 3"
    static QString statusLine(const TServer &server);

    static constexpr int kHealthMs = 2000;
    static constexpr int kAgonesWaitMs = 2000;

signals:
    void activity(const QString &line);

private:
    void refresh();

    TServer &server_;
    ServiceNotifier notifier_;
    std::unique_ptr<AgonesSdk> agones_;
    QTimer watchdog_;
    QTimer health_;
    bool handedOver_ = false;
    bool refreshPending_ = false;
    bool started_ = false;
    bool stopping_ = false;
    QString status_;
    bool wasRunning_ = false;
    bool gamePlayed_ = false; // a game ran to its end since the host started
};
