#pragma once

#include "protocol/constants.h"

#include <QByteArray>
#include <QList>

#include <array>

// The seats that wait for players who come back. Every player who logs in is given a seat key, a
// random secret that only its own window learns. When a player's connection drops during a game,
// the seat is kept for it: nobody else is seated there, and the one who shows the key gets the
// seat back with its score and words. A seat kept for two minutes without a return is free again,
// and so is every kept seat once the game ends. A removed player's key opens nothing.
class SeatReservations
{
public:
    static constexpr int kKeptSeconds = proto::kSeatKeptSeconds;
    static constexpr int kKeyBytes = 16; // 128 bits, sent as 32 hexadecimal digits
    static constexpr int kSeats = 11;    // seats 1 to 11, as the host's table

    // A new key for the player who just logged in to the seat; an older key of the seat opens
    // nothing any more.
    QByteArray newKey(int seat);
    // The seat's key opens nothing any more (a removal, a seat freed between games).
    void forget(int seat);
    // The seat's player dropped: the seat is kept for the holder of its key. A seat without a key
    // is not kept.
    void keep(int seat, const QByteArray &name);
    bool kept(int seat) const;
    // The key is the seat's own: the seat is kept for it, or its player still holds it.
    bool opens(int seat, const QByteArray &key) const;
    // The player is back in its seat: the seat is no longer kept (its key stays the seat's).
    void retaken(int seat);
    // A second of the game passed; the seats whose two minutes are up, free again.
    QList<int> secondPassed();
    // The game ended: every kept seat is free again; the seats that were kept.
    QList<int> gameEnded();
    // The names the kept seats wait for, but for the seat given.
    QList<QByteArray> keptNames(int except) const;
    // Some seat has a key: a connection may be a player coming back.
    bool anyKey() const;

private:
    struct Seat {
        QByteArray key;
        QByteArray name;
        int secondsLeft = 0;
        bool kept = false;
    };
    static bool valid(int seat) { return seat >= 1 && seat <= kSeats; }

    std::array<Seat, kSeats + 1> seats_ {};
};
