#include "session/arrival_order.h"

#include "protocol/constants.h"

qsizetype ArrivalOrder::find(int seat) const
{
    for (qsizetype i = 0; i < places_.size(); ++i) {
        if (places_[i].seat == seat)
            return i;
    }
    return -1;
}

void ArrivalOrder::arrived(int seat, const QString &name, bool earlier, int ownSeat, qint64 nowMs)
{
    const qsizetype at = find(seat);
    if (at >= 0) {
        Place &place = places_[at];
        const bool waiting = place.awaySinceMs < 0
                             || (place.name == name && nowMs - place.awaySinceMs < proto::kSeatKeptSeconds * 1000);
        if (waiting) {
            place.name = name;
            place.awaySinceMs = -1;
            return;
        }
        places_.removeAt(at);
    }
    // Somebody new: it was told of those here, not of those away, and counts them as come after
    // it; so do the host and every window.
    if (!earlier)
        forgetAway();
    const qsizetype own = find(ownSeat);
    if (!earlier || own < 0) {
        places_.append({seat, name});
    } else if (!cameBack_) {
        places_.insert(own, {seat, name});
    } else {
        // Somebody who came while this client was away: this client counts as come after it.
        places_.append({seat, name});
        places_.move(own, places_.size() - 1);
    }
}

void ArrivalOrder::left(int seat, bool kept, qint64 nowMs)
{
    const qsizetype at = find(seat);
    if (at < 0)
        return;
    if (kept)
        places_[at].awaySinceMs = nowMs;
    else
        places_.removeAt(at);
}

void ArrivalOrder::cameBack(int ownSeat, qint64 nowMs)
{
    cameBack_ = true;
    for (Place &place : places_) {
        if (place.seat != ownSeat)
            place.awaySinceMs = nowMs;
    }
}

void ArrivalOrder::clear()
{
    places_.clear();
    cameBack_ = false;
}

void ArrivalOrder::forgetAway()
{
    places_.removeIf([](const Place &place) { return place.awaySinceMs >= 0; });
}

int ArrivalOrder::firstPlayer() const
{
    for (const Place &place : places_) {
        if (proto::isPlayerSeat(place.seat) && place.awaySinceMs < 0)
            return place.seat;
    }
    return 0;
}
