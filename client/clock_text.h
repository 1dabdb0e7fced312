#pragma once

#include "session/turn_clock.h"

#include <QLabel>

// The clock's text, "Time: 0:59", laid over the timer bar. The bar shrinks from the right under
// the text, so the text is written in two colours: a light one where the dark bar lies behind it
// and a dark one where the bar has gone and the light trough shows. Both read at every second.
class ClockText : public QLabel
{
    Q_OBJECT
public:
    explicit ClockText(QWidget *board);

    // The text, its colour (which says how much time is left) and the bar's width at the starting
    // size.
    void draw(const QString &text, TurnClock::Colour colour, int barWidth);

    // The colours of the text over the bar and over the trough.
    static QColor overBar(TurnClock::Colour colour);
    static QColor overTrough(TurnClock::Colour colour);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    TurnClock::Colour colour_ = TurnClock::Colour::Initial;
    int barWidth_ = TurnClock::kBarWidth;
};
