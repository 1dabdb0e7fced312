#pragma once

#include "discovery/game_facts.h"

#include <QAbstractListModel>
#include <QHash>
#include <QList>

struct AvahiServiceBrowser;
struct AvahiServiceResolver;
class AvahiSession;

// The games published on the local network, found through Avahi and kept live: a game appears
// when its service is resolved, its facts change with its TXT records, and it goes when its
// host withdraws it. One row a game; the display text is "name - address:port - players -
// state". Without an Avahi daemon the list stays empty and available() is false.
class GameBrowser : public QAbstractListModel
{
    Q_OBJECT
public:
    enum Role { AddressRole = Qt::UserRole + 1, PortRole, PlayersRole, OnlookersRole, RunningRole, HostPlayerRole, NameRole,
                // "ADDRESS:PORT" ("[ADDRESS]:PORT" for IPv6), as the join dialog takes an address
                JoinAddressRole };

    explicit GameBrowser(QObject *parent = nullptr);
    ~GameBrowser() override;

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

    const GameFacts &game(int row) const { return games_.at(row); }
    const QList<GameFacts> &games() const { return games_; }
    // Avahi answers; false when games on the network cannot be found.
    bool available() const;
    // Why games cannot be found, for the player: "Games on the network cannot be found: ...".
    QString unavailableText() const;
    // The daemon has told every service it knew of when browsing began, and each is resolved.
    bool settled() const;

signals:
    void availabilityChanged(bool available);
    // settled() became true.
    void settledNow();

private:
    struct Sighting; // one interface's view of one service
    static void onBrowse(AvahiServiceBrowser *, int interface, int protocol, int event, const char *name,
                         const char *type, const char *domain, int flags, void *self);
    static void onResolve(AvahiServiceResolver *resolver, int interface, int protocol, int event, const char *name,
                          const char *type, const char *domain, const char *host, const void *address, quint16 port,
                          void *txt, int flags, void *self);
    void sessionRunning(bool running);
    void startBrowsing();
    void stopBrowsing();
    void serviceNew(int interface, int protocol, const QString &name, const char *type, const char *domain);
    void serviceRemoved(int interface, int protocol, const QString &name);
    void resolved(AvahiServiceResolver *resolver, const GameFacts &facts);
    void resolveFailed(AvahiServiceResolver *resolver);
    void checkSettled();
    int rowOf(const QString &name) const;

    AvahiSession *session_ = nullptr;
    AvahiServiceBrowser *browser_ = nullptr;
    QList<Sighting *> sightings_;
    QList<GameFacts> games_;
    bool allForNow_ = false;
    bool settled_ = false;
};
