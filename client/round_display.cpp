#include "client/round_display.h"

#include "accessibility/spoken.h"
#include "client/board_controls.h"
#include "client/board_scale.h"
#include "client/clock_text.h"
#include "resources/art/art.h"
#include "resources/art/board_layout.h"
#include "session/turn_clock.h"

#include <QLabel>

namespace layout = art::layout;

RoundDisplay::RoundDisplay(QWidget *board)
    : QObject(board)
{
    label_roundnum = textLabel(board, QStringLiteral("label_roundnum"), layout::roundCaption, boardFont(19),
                               Qt::AlignLeft | Qt::AlignVCenter);

    image_timer = new QLabel(board);
    image_timer->setObjectName(QStringLiteral("image_timer"));
    board_scale::place(image_timer, layout::timerBar);
    image_timer->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    board_scale::show(image_timer, [](qreal dpr) { return art::timerBar(dpr); });
    image_timer->setAccessibleName(QStringLiteral("time bar"));

    label_timer = new ClockText(board);
}

void RoundDisplay::draw(const TurnClock &clock)
{
    label_roundnum->setText(clock.roundCaption());
    // Said as it is meant: "Round 2 of 3".
    const QString round = spoken::round(clock);
    if (label_roundnum->accessibleName() != round)
        label_roundnum->setAccessibleName(round);
    board_scale::resize(image_timer, QSize(clock.barWidth(), layout::timerBar.height()));
    label_timer->draw(clock.text(), clock.colour(), clock.barWidth());
}
