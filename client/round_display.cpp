#include "client/round_display.h"

#include "client/board_controls.h"
#include "client/board_scale.h"
#include "resources/art/art.h"
#include "resources/art/board_layout.h"
#include "resources/art/palette.h"
#include "session/turn_clock.h"

#include <QLabel>

namespace layout = art::layout;

namespace {

QColor timerColour(TurnClock::Colour colour)
{
    switch (colour) {
    case TurnClock::Colour::Calm: return art::palette::paleYellow;
    case TurnClock::Colour::Hurry: return Qt::red;
    case TurnClock::Colour::Initial: break;
    }
    return art::palette::peach;
}

} // namespace

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

    label_timer = textLabel(board, QStringLiteral("label_timer"), layout::timerText, boardFont(16, true),
                            Qt::AlignCenter, timerColour(TurnClock::Colour::Initial));
}

void RoundDisplay::draw(const TurnClock &clock)
{
    label_roundnum->setText(clock.roundCaption());
    board_scale::resize(image_timer, QSize(clock.barWidth(), layout::timerBar.height()));
    setTextColour(label_timer, timerColour(clock.colour()));
    label_timer->setText(clock.text());
}
