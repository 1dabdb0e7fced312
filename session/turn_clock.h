#pragma once

#include "net/drivable_timer.h"
#include "protocol/constants.h"

#include <QString>

#include <functional>

// The round caption and the turn clock at the top of the board. The clock counts down once a
// second from the turn seconds the host gave; it only shows time, the host decides when a round
// ends. Its face (the text, the bar and their colour) changes only on a tick: a clock started
// again keeps the look it had until its first tick one second later.
class TurnClock
{
public:
    static constexpr int kBarWidth = 258;
    static constexpr int kRedBelow = 20;

    enum class Colour {
        Initial, // peach, until the first tick
        Calm,    // pale yellow
        Hurry,   // red, below 20 seconds
    };

    // onTick runs every second while the clock runs (the session's turntimeTimer).
    explicit TurnClock(std::function<void()> onTick);

    // Rounds per game as the host wrote them, and the turn seconds; the bar unit follows.
    void setGame(const QString &roundsPerGame, int turnSeconds);
    void setRoundCaption(int round);
    const QString &roundCaption() const { return roundCaption_; }
    int turnSeconds() const { return turnSeconds_; }
    // Pixels of bar per remaining second: 258 div turn seconds; 0 (no bar) for turn seconds of
    // 0 or less.
    int barUnit() const { return barUnit_; }
    int remaining() const { return remaining_; }

    // Stops the clock, sets the remaining seconds and starts it again; the face shows them from
    // the first tick on.
    void restart(int seconds);
    void stop() { timer_.stop(); }
    // Stopped, with the face of a clock that no game has set yet.
    void reset();
    bool running() const { return timer_.running(); }
    // One second of a running clock; true when the second is one that ticks audibly (20, 15, and
    // 10 down to 1).
    bool tick();
    // With a manual clock the seconds move only when tick() is called.
    void setManualClock(bool manual) { timer_.setManualClock(manual); }

    // The face.
    QString text() const { return timeText(shownSeconds_); }
    int barWidth() const { return barWidth_; }
    Colour colour() const { return colour_; }
    // "Time: 1:15", "Time: 0:09".
    static QString timeText(int seconds);

private:
    void showRemaining();

    DrivableTimer timer_;
    QString roundsPerGame_ = QStringLiteral("0");
    QString roundCaption_ = QStringLiteral("Round: 0 of 0");
    int turnSeconds_ = 0;
    int barUnit_ = 0;
    int remaining_ = 0;
    int shownSeconds_ = 0;
    int barWidth_ = kBarWidth;
    Colour colour_ = Colour::Initial;
};
