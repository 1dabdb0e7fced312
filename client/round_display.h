#pragma once

#include <QObject>

class ClockText;
class QLabel;
class QWidget;
class TurnClock;

// The round caption and the turn clock at the top of the board: the timer bar, cut from the right
// as the seconds run out, and the timer text. It draws the session's clock.
class RoundDisplay : public QObject
{
    Q_OBJECT
public:
    explicit RoundDisplay(QWidget *board);

    void draw(const TurnClock &clock);

private:
    QLabel *label_roundnum = nullptr;
    QLabel *image_timer = nullptr;
    ClockText *label_timer = nullptr;
};
