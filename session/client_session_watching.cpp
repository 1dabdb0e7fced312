// Watching and removal as the client sees them: the requests it sends, and the host's
// announcement of a seat that starts watching or plays again.

#include "session/client_session.h"

void ClientSession::JustWatch1Click()
{
    // A spectator watches anyway; only a player seat can switch.
    if (!connected_ || !isPlayer())
        return;
    // The check mark stays as it is until the host answers.
    const proto::WatchFlag flag = justWatch_ ? proto::PlayAgain : proto::StartWatching;
    send(msg::encode(msg::JustWatch {localSeat_, flag}));
}

void ClientSession::setJustWatch(int seat, proto::WatchFlag flag)
{
    if (!connected_ || !proto::isPlayerSeat(seat))
        return;
    send(msg::encode(msg::JustWatch {seat, flag}));
}

void ClientSession::kicking(int seat)
{
    if (!isStarter() || !connected_ || seat == localSeat_)
        return;
    send(msg::encode(msg::KickHim {localSeat_, seat}));
}

QString ClientSession::removalQuestion(int seat) const
{
    if (proto::isPlayerSeat(seat)) {
        const QString name = this->seat(seat).shownName();
        return QStringLiteral("Remove %1 from the game? %1 is sent away from the table and loses the seat, with "
                              "its score.")
            .arg(name);
    }
    for (const Spectator &spectator : spectators_) {
        if (spectator.seat == seat)
            return QStringLiteral("Remove %1 from the game? %1 is sent away and no longer watches.").arg(spectator.name);
    }
    return {};
}

QString ClientSession::leavingEndsTheGame() const
{
    if (!hostFlag_ || !gameOn_)
        return {};
    int players = 0;
    for (int n = 1; n <= proto::kPlayerSeats; ++n) {
        if (n != localSeat_ && seat(n).occupied)
            ++players;
    }
    const int onlookers = int(spectators_.size()) - (isSpectator() ? 1 : 0);
    QStringList whom;
    if (players > 0)
        whom << (players == 1 ? QStringLiteral("the other player") : QStringLiteral("the other %1 players").arg(players));
    if (onlookers > 0)
        whom << (onlookers == 1 ? QStringLiteral("1 onlooker") : QStringLiteral("%1 onlookers").arg(onlookers));
    if (whom.isEmpty())
        return {};
    if (players == 0)
        whom.first().prepend(QStringLiteral("the "));
    return QStringLiteral("This ends the game for %1.").arg(whom.join(QStringLiteral(" and ")));
}

void ClientSession::justwatching(const msg::JustWatching &m)
{
    if (!proto::isPlayerSeat(m.seat))
        return;
    SeatRow &seat = row(m.seat);
    const bool watching = m.flag == proto::StartWatching;
    if (m.seat == localSeat_) {
        justWatch_ = watching;
        touch(Controls);
    }
    systemLine(seat.shownName() + (watching ? QStringLiteral(" is just watching") : QStringLiteral(" is now playing again")));
    seat.watching = watching;
    touch(Seats);
}

QStringList ClientSession::opponents() const
{
    QStringList names;
    for (int n = 1; n <= proto::kPlayerSeats; ++n) {
        if (n != localSeat_ && seat(n).occupied)
            names << seat(n).name;
    }
    return names;
}

bool ClientSession::isStarter() const
{
    if (hostFlag_)
        return true;
    if (!connected_ || !isPlayer() || !seat(localSeat_).occupied)
        return false;
    return arrivals_.firstPlayer() == localSeat_;
}

// The Start button is offered to the starter between games; the window draws the starter's
// controls again whenever who starts changes.
void ClientSession::refreshStarter()
{
    const bool starter = isStarter();
    const bool offered = starter && !gameOn_;
    if (starter == starter_ && offered == startOffered_)
        return;
    starter_ = starter;
    startOffered_ = offered;
    touch(Controls);
}
