#include "client/round_display.h"

#include "client/board_controls.h"
#include "resources/art/art.h"
#include "resources/art/board_layout.h"
#include "resources/art/palette.h"
#include "session/turn_clock.h"

#include <QLabel>

namespace layout = art::layout;

namespace {

void setTextColour(QLabel *label, const QColor &colour)
{
    QPalette look = label->palette();
    look.setColor(QPalette::WindowText, colour);
    label->setPalette(look);
}

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
    label_roundnum = new QLabel(board);
    label_roundnum->setObjectName(QStringLiteral("label_roundnum"));
    label_roundnum->setGeometry(layout::roundCaption);
    label_roundnum->setFont(boardFont(19));
    label_roundnum->setTextFormat(Qt::PlainText);
    setTextColour(label_roundnum, Qt::black);

    image_timer = new QLabel(board);
    image_timer->setObjectName(QStringLiteral("image_timer"));
    image_timer->setGeometry(layout::timerBar);
    image_timer->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    image_timer->setPixmap(art::timerBar());

    label_timer = new QLabel(board);
    label_timer->setObjectName(QStringLiteral("label_timer"));
    label_timer->setGeometry(layout::timerText);
    label_timer->setFont(boardFont(16, true));
    label_timer->setAlignment(Qt::AlignCenter);
    label_timer->setTextFormat(Qt::PlainText);
}

void RoundDisplay::draw(const TurnClock &clock)
{
    label_roundnum->setText(clock.roundCaption());
    image_timer->resize(clock.barWidth(), layout::timerBar.height());
    setTextColour(label_timer, timerColour(clock.colour()));
    label_timer->setText(clock.text());
}
