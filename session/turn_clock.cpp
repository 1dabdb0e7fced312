#include "session/turn_clock.h"

#include <algorithm>
#include <limits>

TurnClock::TurnClock(std::function<void()> onTick)
    : timer_(proto::timing::kTurnClockMs, std::move(onTick))
{
}

void TurnClock::setGame(const QString &roundsPerGame, int turnSeconds)
{
    roundsPerGame_ = roundsPerGame;
    turnSeconds_ = turnSeconds;
    barUnit_ = turnSeconds > 0 ? kBarWidth / turnSeconds : 0;
}

void TurnClock::reset()
{
    timer_.stop();
    roundsPerGame_ = QStringLiteral("0");
    roundCaption_ = QStringLiteral("Round: 0 of 0");
    turnSeconds_ = barUnit_ = remaining_ = shownSeconds_ = 0;
    barWidth_ = kBarWidth;
    colour_ = Colour::Initial;
}

void TurnClock::setRoundCaption(int round)
{
    roundCaption_ = QStringLiteral("Round: %1 of %2").arg(round).arg(roundsPerGame_);
}

void TurnClock::restart(int seconds)
{
    timer_.stop();
    remaining_ = seconds;
    // The face keeps its last look until the first tick, a second from now.
    timer_.start();
}

void TurnClock::showRemaining()
{
    shownSeconds_ = std::max(remaining_, 0);
    // A clock restored for a late joiner may hold more seconds than a turn has.
    barWidth_ = int(std::clamp<qint64>(qint64(barUnit_) * shownSeconds_, 0, kBarWidth));
    colour_ = remaining_ < kRedBelow ? Colour::Hurry : Colour::Calm;
}

bool TurnClock::tick()
{
    if (!timer_.running())
        return false;
    if (remaining_ > std::numeric_limits<int>::min())
        --remaining_;
    if (remaining_ <= 0) {
        remaining_ = 0;
        shownSeconds_ = 0;
        barWidth_ = 0;
        return false;
    }
    showRemaining();
    return remaining_ == 20 || remaining_ == 15 || remaining_ <= 10;
}

QString TurnClock::timeText(int seconds)
{
    return QStringLiteral("Time: %1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}
