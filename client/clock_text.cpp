#include "client/clock_text.h"

#include "client/board_controls.h"
#include "client/board_scale.h"
#include "resources/art/board_layout.h"
#include "resources/art/palette.h"

#include <QPainter>

namespace layout = art::layout;

ClockText::ClockText(QWidget *board)
    : QLabel(board)
{
    setObjectName(QStringLiteral("label_timer"));
    board_scale::place(this, layout::timerText);
    board_scale::letter(this, boardFont(16, true));
    setAlignment(Qt::AlignCenter);
    setTextFormat(Qt::PlainText);
    setTextColour(this, overBar(colour_));
}

QColor ClockText::overBar(TurnClock::Colour colour)
{
    switch (colour) {
    case TurnClock::Colour::Calm: return art::palette::paleYellow;
    // A red light enough to stand out on the bar's dark red.
    case TurnClock::Colour::Hurry: return QColor(0xFF, 0x6E, 0x5A);
    case TurnClock::Colour::Initial: break;
    }
    return art::palette::peach;
}

QColor ClockText::overTrough(TurnClock::Colour colour)
{
    return colour == TurnClock::Colour::Hurry ? QColor(0xA8, 0x00, 0x00) : art::palette::darkRedDeep;
}

void ClockText::draw(const QString &text, TurnClock::Colour colour, int barWidth)
{
    const bool changed = colour != colour_ || barWidth != barWidth_;
    colour_ = colour;
    barWidth_ = barWidth;
    setTextColour(this, overBar(colour));
    setText(text);
    if (changed)
        update();
}

void ClockText::paintEvent(QPaintEvent *)
{
    // Where the bar ends, in this label's pixels.
    const qreal edge = (layout::timerBar.left() + barWidth_ - layout::timerText.left()) * board_scale::of(this);
    QPainter painter(this);
    painter.setFont(font());
    const QRectF whole(rect());
    const auto write = [&](const QRectF &part, const QColor &colour) {
        if (part.isEmpty())
            return;
        painter.save();
        painter.setClipRect(part);
        painter.setPen(colour);
        painter.drawText(contentsRect(), int(alignment()), text());
        painter.restore();
    };
    write(QRectF(0, 0, std::clamp<qreal>(edge, 0, width()), height()), overBar(colour_));
    write(QRectF(QPointF(std::clamp<qreal>(edge, 0, width()), 0), whole.bottomRight()), overTrough(colour_));
}
