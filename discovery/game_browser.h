#pragma once

#include "discovery/avahi_thread.h"
#include "discovery/browse_worker.h"
#include "discovery/game_facts.h"

#include <QAbstractListModel>
#include <QHash>
#include <QList>

// The games published on the local network, found through Avahi and kept live: a game appears
// when its service is resolved to an address players can join, its facts change with its TXT
// records, and it goes when its host withdraws it. One row a game, at most a few hundred, those
// that answer a connection first; the display text is "name - address:port - players - state",
// the name on one line without control characters. The Avahi work runs on a thread of its own.
// Without an Avahi daemon the list stays empty and available() is false.
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

    // The facts as found: the name as published, which only the display roles make safe to show.
    const GameFacts &game(int row) const { return games_.at(row); }
    const QList<GameFacts> &games() const { return games_; }
    // Avahi answers; false when games on the network cannot be found.
    bool available() const { return available_; }
    // Why games cannot be found, for the player: "Games on the network cannot be found: ...".
    QString unavailableText() const;
    // The daemon has told every service it knew of when browsing began, and each is resolved.
    bool settled() const { return settled_; }
    // The network is still being heard: the daemon has not told all it knows, or services found
    // are still being resolved or tried (for a while on a crowded network).
    bool busy() const { return busy_; }

signals:
    void availabilityChanged(bool available);
    // settled() became true.
    void settledNow();

private:
    void show(const QList<GameFacts> &games, bool busy);
    int rowOf(const QString &name, int from) const;

    std::unique_ptr<AvahiThread<BrowseWorker>> avahi_; // none when this copy keeps to this computer
    QList<GameFacts> games_;
    bool available_ = false;
    QString problem_;
    bool settled_ = false;
    bool busy_ = true; // until the worker has told what it hears
};
