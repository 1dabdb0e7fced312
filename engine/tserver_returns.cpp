// Players who come back after a drop: the seat kept for them, the seat key that gives it back,
// newcomers to a full table who may be such players, and the host's end of the game, after which
// nobody comes back.

#include "engine/tserver.h"

#include "engine/player_text.h"

namespace {

template <class Queue>
auto findLink(Queue &queue, const Link *link)
{
    return std::find_if(queue.begin(), queue.end(), [link](const auto &waiting) { return waiting.link.get() == link; });
}

} // namespace

// A player (or an onlooker) who drops during a game finds its seat kept; one who drops between
// games, or whom the host is leaving, does not.
void TServer::keepOrForget(int seatNumber)
{
    const Seat &seat = seats_[size_t(seatNumber)];
    if (ending_ || !gameRunning_ || !connections_[size_t(seatNumber)].loggedIn) {
        reservations_.forget(seatNumber);
        return;
    }
    reservations_.keep(seatNumber, seat.name);
    if (reservations_.kept(seatNumber)) {
        emit activity(QStringLiteral("seat %1: kept for %2 for %3 seconds")
                          .arg(seatNumber)
                          .arg(playertext::forLog(seat.name))
                          .arg(SeatReservations::kKeptSeconds));
    }
}

void TServer::freeKeptSeats(const QList<int> &seats, const char *why)
{
    for (const int n : seats)
        emit activity(QStringLiteral("seat %1: no longer kept (%2)").arg(n).arg(QLatin1String(why)));
    if (!seats.isEmpty())
        serveTheDoor();
}

// The table is full, but the newcomer may be a player whose seat is kept for it or whose old
// connection is still seated: it sends its seat's key as soon as it is connected.
void TServer::awaitReclaim(std::unique_ptr<Link> link)
{
    Link *raw = link.get();
    connect(raw, &Link::received, this, [this, raw](const QByteArray &bytes) { reclaimArrived(raw, bytes); });
    connect(raw, &Link::peerClosed, this, [raw] { raw->close(); });
    connect(raw, &Link::closed, this, [this, raw] {
        const auto at = findLink(reclaiming_, raw);
        if (at == reclaiming_.end())
            return;
        at->link.release()->deleteLater();
        reclaiming_.erase(at);
    });
    reclaiming_.push_back({std::move(link)});
    if (!logintimer_.running())
        logintimer_.start();
}

void TServer::reclaimArrived(Link *link, const QByteArray &bytes)
{
    const auto at = findLink(reclaiming_, link);
    if (at == reclaiming_.end())
        return;
    const QList<QByteArray> lines = at->cutter.feed(bytes);
    if (lines.isEmpty())
        return;
    std::unique_ptr<Link> newcomer = std::move(at->link);
    reclaiming_.erase(at);
    newcomer->disconnect(this);
    // Only the first message counts; nothing else is sent before a seat is assigned.
    const proto::VerbAndData first = proto::splitVerb(lines.first());
    const std::optional<msg::ReclaimSeat> reclaim =
        first.verb == msg::ReclaimSeat::verb ? msg::decode<msg::ReclaimSeat>(first.data) : std::nullopt;
    if (!reclaim || !reservations_.opens(reclaim->seat, reclaim->key)) {
        refuse(std::move(newcomer));
        return;
    }
    giveBackSeat(reclaim->seat);
    newcomer->send(msg::encode(msg::ReclaimSeat {reclaim->seat, reclaim->key}));
    takeSeat(std::move(newcomer), reclaim->seat);
}

void TServer::ageReclaims()
{
    for (Reclaiming &newcomer : reclaiming_)
        ++newcomer.ticks;
    // The first came first: it is the oldest.
    while (!reclaiming_.empty() && reclaiming_.front().ticks >= kReclaimTicks) {
        std::unique_ptr<Link> newcomer = std::move(reclaiming_.front().link);
        reclaiming_.pop_front();
        newcomer->disconnect(this);
        refuse(std::move(newcomer));
    }
}

// The player's old connection still held the seat (its path died without a word): it is closed
// without a departure, since the player is back.
void TServer::endOldConnection(int seatNumber)
{
    Connection &connection = connections_[size_t(seatNumber)];
    Seat &seat = seats_[size_t(seatNumber)];
    emit activity(QStringLiteral("seat %1: the old connection of %2 is closed").arg(seatNumber).arg(playertext::forLog(seat.name)));
    Link *old = connection.link.release();
    old->disconnect(this);
    old->close();
    old->deleteLater();
    forgetReceived(connection);
    connection.loggedIn = false;
    seat.inUse = false;
    seat.link = nullptr;
    seat.watching = false;
}

// A player back in its seat keeps its place among those longest at the table, as every window
// keeps it: unless its departure was told and somebody new logged in before its return. That
// newcomer was told of those at the table, not of the player away, and its window counts the
// player as come after it; so does the host then.
quint64 TServer::standingKept(int seatNumber) const
{
    const Connection &old = connections_[size_t(seatNumber)];
    if (old.leftAfterLogins && *old.leftAfterLogins != logins_)
        return 0;
    return old.seniority;
}

void TServer::giveBackSeat(int seatNumber)
{
    if (seats_[size_t(seatNumber)].inUse)
        endOldConnection(seatNumber);
    reservations_.retaken(seatNumber);
    emit activity(QStringLiteral("seat %1: its player is back with the seat key").arg(seatNumber));
}

void TServer::reclaimseat(const msg::ReclaimSeat &m)
{
    const int from = sender_;
    // A seated player does not change seats, and a connection already in its seat stays there.
    if (connections_[size_t(from)].loggedIn || m.seat == from)
        return;
    if (!reservations_.opens(m.seat, m.key)) {
        emit activity(QStringLiteral("seat %1: a seat key that opens no seat").arg(from));
        return;
    }
    moveConnection(from, m.seat, m.key);
}

// The connection, with whatever it sent since, goes from the seat it was given to the seat it
// held; the seat it leaves is free again.
void TServer::moveConnection(int from, int to, const QByteArray &key)
{
    giveBackSeat(to);
    Connection &target = connections_[size_t(to)];
    if (target.link) { // the connection that dropped, closed; it may be reporting to others still
        target.link->disconnect(this);
        target.link.release()->deleteLater();
    }
    const quint64 standing = standingKept(to);
    target = std::move(connections_[size_t(from)]);
    target.seniority = standing;
    connections_[size_t(from)] = Connection {};
    Seat &seat = seats_[size_t(to)];
    seat.inUse = true;
    seat.link = connections_[size_t(to)].link.get();
    Seat &left = seats_[size_t(from)];
    left.inUse = false;
    left.link = nullptr;
    left.name.clear();
    left.watching = false;
    seat.link->send(msg::encode(msg::ReclaimSeat {to, key}));
    seat.link->send(msg::encode(msg::SendLoginInfo {to}));
    serveTheDoor();
}

void TServer::announceEnding()
{
    if (ending_)
        return;
    ending_ = true;
    emit activity(QStringLiteral("ending the game: every player is told"));
    sendToAll(msg::encode(msg::HostEnding {}));
    if (Sock1.Listen())
        Sock1.setListen(false);
    timer1_.stop();
    socktimer.stop();
    logintimer_.stop();
    // Those at the door first, so that no seat closed below is handed to one of them.
    while (!waiting_.empty())
        waiting_.front()->close();
    while (!reclaiming_.empty())
        reclaiming_.front().link->close();
    for (int n = 1; n <= kSeatTableSize; ++n) {
        if (seats_[size_t(n)].inUse)
            connections_[size_t(n)].link->close();
    }
}
