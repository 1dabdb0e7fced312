#pragma once

#include "net/drivable_timer.h"

#include <QObject>
#include <QString>

class QLabel;
class QWidget;

// The round caption and the turn clock at the top of the board: the timer bar, cut from the right
// as the seconds run out, and the timer text. The clock counts down once a second from the turn
// seconds the host gave; it only shows time, the host decides when a round ends.
class RoundDisplay : public QObject
{
    Q_OBJECT
public:
    static constexpr int kTickMs = 1000;
    static constexpr int kBarWidth = 258;
    static constexpr int kRedBelow = 20;

    explicit RoundDisplay(QWidget *board);

    // Rounds per game as the host wrote them, and the turn seconds; the bar unit follows.
    void setGame(const QString &roundsPerGame, int turnSeconds);
    void setRoundCaption(int round);
    QString roundCaption() const;
    int turnSeconds() const { return turnSeconds_; }
    // Pixels of bar per remaining second: 258 div turn seconds; 0 (no bar) for turn seconds of
    // 0 or less.
    int barUnit() const { return barUnit_; }
    int remaining() const { return remaining_; }

    // Stops the clock, sets the remaining seconds and starts it again; the bar and the text keep
    // their look until the first tick.
    void restart(int seconds);
    void stop();
    bool running() const { return turntime.running(); }
    // One second of the clock (turntimeTimer).
    void tick();
    // With a manual clock the seconds move only when tick() is called.
    void setManualClock(bool manual);

    // "Time: 1:15", "Time: 0:09".
    static QString timeText(int seconds);

signals:
    void soundRequested(const QString &name);

private:
    QLabel *label_roundnum = nullptr;
    QLabel *image_timer = nullptr;
    QLabel *label_timer = nullptr;
    DrivableTimer turntime {kTickMs, [this] { tick(); }};
    QString roundsPerGame_ = QStringLiteral("0");
    int turnSeconds_ = 0;
    int barUnit_ = 0;
    int remaining_ = 0;
};
