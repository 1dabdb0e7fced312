#pragma once

#include <QList>
#include <QString>

// The order in which the seats came to the table, as the host keeps it: the player there longest
// starts the games. A seat left during a game keeps its place for as long as the host keeps the
// seat for its player, and the player who comes back under its name takes that place again,
// unless somebody new came meanwhile (who was never told of the player away).
class ArrivalOrder
{
public:
    // A seat announced at nowMs (a monotonic clock): one there before this client logged in
    // (`earlier`, placed before this client's own seat) or one that has just come. A seat whose
    // place is kept for it takes that place again.
    void arrived(int seat, const QString &name, bool earlier, int ownSeat, qint64 nowMs);
    // A seat left; `kept`: its place waits for its player's return.
    void left(int seat, bool kept, qint64 nowMs);
    // This client is back in its own seat: the host announces everybody again, and those who were
    // here keep their places; those announced who were not came later.
    void cameBack(int ownSeat, qint64 nowMs);
    // The places kept are given up: the game is over and the host frees the seats kept.
    void forgetAway();
    void clear();

    // The first player seat (1-6) in the order that is at the table; 0 when none.
    int firstPlayer() const;

private:
    struct Place {
        int seat = 0;
        QString name;
        qint64 awaySinceMs = -1; // the place is kept: the seat left at that time
    };
    qsizetype find(int seat) const;

    QList<Place> places_;
    bool cameBack_ = false;
};
