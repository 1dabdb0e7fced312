#include "resources/art/art.h"
#include "resources/art/board_layout.h"
#include "resources/art/canvas.h"
#include "resources/art/palette.h"
#include "resources/art/pieces.h"

#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>

namespace art {

namespace {

constexpr qreal panelRadius = 8;

void backdropPattern(QPainter &p, const QRectF &r)
{
    // A faint diagonal lattice, like woven cane: texture without pulling the eye.
    p.save();
    p.setClipRect(r);
    // Faint enough that smoothing would not show; without it the lattice is many times faster.
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(canvas::withAlpha(palette::peach, 14), 1.0));
    constexpr qreal step = 14;
    for (qreal x = r.left() - r.height(); x < r.right(); x += step) {
        p.drawLine(QPointF(x, r.top()), QPointF(x + r.height(), r.bottom()));
        p.drawLine(QPointF(x + r.height(), r.top()), QPointF(x, r.bottom()));
    }
    p.restore();
}

void panel(QPainter &p, const QRectF &r, const QColor &top, const QColor &bottom)
{
    canvas::dropShadow(p, r, panelRadius, 4, 90);
    canvas::plate(p, r, panelRadius, top, bottom, palette::darkRedDeep, 1.5);
}

// The round caption, clock and progress boxes.
void topStrip(QPainter &p)
{
    const QRect panelRect = layout::upperPanel;
    const QRectF strip(panelRect.left() + 2, panelRect.top() + 2, panelRect.width() - 4, 30);
    QLinearGradient band(strip.topLeft(), strip.bottomLeft());
    band.setColorAt(0, canvas::withAlpha(palette::orangeDeep, 110));
    band.setColorAt(1, canvas::withAlpha(palette::orangeDeep, 60));
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(band);
    p.drawRoundedRect(strip, panelRadius - 2, panelRadius - 2);
    p.setPen(QPen(canvas::withAlpha(palette::darkRed, 120), 1.0));
    p.drawLine(QPointF(strip.left() + 4, strip.bottom() + 0.5), QPointF(strip.right() - 4, strip.bottom() + 0.5));
    p.setPen(QPen(canvas::withAlpha(palette::peachLight, 120), 1.0));
    p.drawLine(QPointF(strip.left() + 4, strip.bottom() + 1.5), QPointF(strip.right() - 4, strip.bottom() + 1.5));
    p.restore();

    canvas::well(p, QRectF(layout::roundCaption).adjusted(-3, -2, 3, 2), 4, palette::peachLight, palette::frame);
    // The clock's trough: light, so the text stays readable where the bar has already gone.
    canvas::well(p, QRectF(layout::timerBar).adjusted(-2, -2, 2, 2), 3, palette::peachLight, palette::frame);
    for (int word = 1; word <= layout::progressMarks; ++word)
        pieces::numberBox(p, layout::progressMark(word), word);
}

void tileTrays(QPainter &p)
{
    for (const int top : {layout::puzzleRowTop, layout::entryRowTop}) {
        const QRectF tray = QRectF(layout::puzzleTile(1).left(), top, 0, 0)
                                .adjusted(-5, -4, 5 + 4 * 48 + layout::tileSize, 4 + layout::tileSize);
        canvas::well(p, tray, 6, canvas::mix(palette::orange, palette::orangeDeep, 0.55),
                     canvas::withAlpha(palette::darkRed, 150));
        for (int position = 1; position <= 5; ++position) {
            const QRectF slot = QRectF(layout::puzzleTile(position)).translated(0, top - layout::puzzleRowTop);
            p.setPen(QPen(canvas::withAlpha(palette::darkRed, 90), 1.0));
            p.setBrush(canvas::withAlpha(palette::peachDeep, 120));
            p.drawRoundedRect(slot.adjusted(1.5, 1.5, -1.5, -1.5), 4, 4);
        }
    }
}

void statusStrip(QPainter &p)
{
    canvas::well(p, QRectF(layout::statusLine).adjusted(-4, -3, 4, 3), 5, palette::peachLight, palette::frame);
}

void upperPanel(QPainter &p)
{
    panel(p, layout::upperPanel, palette::orangeLight, canvas::mix(palette::orange, palette::orangeDeep, 0.3));
    topStrip(p);
    tileTrays(p);
    statusStrip(p);
}

void sideTiles(QPainter &p)
{
    // The game's name spelled down the left margin.
    const QRectF place = layout::logo;
    pieces::nameTiles(p, place.topLeft() + QPointF(2, 2), place.width() - 4, 10, Qt::Vertical);
}

void playersPanel(QPainter &p)
{
    const QRectF r = layout::playersPanel;
    panel(p, r, palette::peachLight, palette::peach);

    canvas::engravedText(p, QRectF(r.left(), r.top() + 4, r.width(), 20), QStringLiteral("THE PLAYERS"),
                         canvas::arial(15), palette::darkRed, canvas::withAlpha(Qt::white, 160));

    // The Start plate lies over the heading and the column headings on a hosting copy between
    // games; they stay inside its width so that no half-covered word peeks out beside it.
    const int headingTop = layout::seatRowTops[0] - 18;
    const QFont headingFont = canvas::arial(10);
    const auto heading = [&](int left, int width, const QString &text) {
        p.setFont(headingFont);
        p.setPen(palette::darkRed);
        p.drawText(QRectF(left, headingTop, width, 16), Qt::AlignLeft | Qt::AlignVCenter, text);
    };
    heading(layout::startPlate.left() + 2, layout::nameWidth, QStringLiteral("NAME"));
    heading(layout::scoreLeft, 60, QStringLiteral("SCORE"));
    heading(layout::wordCountLeft, 60, QStringLiteral("WORDS"));
    p.setPen(QPen(canvas::withAlpha(palette::darkRed, 150), 1.0));
    p.drawLine(QPointF(r.left() + 8, headingTop + 16.5), QPointF(r.right() - 8, headingTop + 16.5));

    // Every other row shaded, so a score is easy to follow to its name.
    p.setPen(Qt::NoPen);
    p.setBrush(canvas::withAlpha(palette::peachDeep, 95));
    for (int seat = 2; seat <= 6; seat += 2) {
        const int top = layout::seatRowTops[seat - 1];
        const int bottom = seat < 6 ? layout::seatRowTops[seat] : top + layout::seatRowHeight;
        p.drawRoundedRect(QRectF(r.left() + 5, top - 1, r.width() - 10, bottom - top), 3, 3);
    }
    p.setPen(QPen(canvas::withAlpha(palette::darkRed, 60), 1.0));
    const qreal rowsBottom = layout::seatRowTops[5] + layout::seatRowHeight;
    for (const int x : {layout::scoreLeft - 5, layout::wordCountLeft - 5})
        p.drawLine(QPointF(x + 0.5, headingTop + 2), QPointF(x + 0.5, rowsBottom));
}

void chatArea(QPainter &p)
{
    const QRectF r = layout::chatArea;
    panel(p, r, palette::peachLight, palette::peach);
    // The phrase buttons stand in a darker channel at the left edge.
    const QRectF channel(layout::phraseButton(0).left() - 2, r.top() + 2, layout::phraseButton(0).width() + 4,
                         r.height() - 2);
    p.setPen(Qt::NoPen);
    p.setBrush(canvas::withAlpha(palette::peachDeep, 150));
    p.drawRoundedRect(channel, 4, 4);
    for (const QRect &control : {layout::chatView, layout::chatEntry, layout::smileyButton})
        canvas::well(p, QRectF(control).adjusted(-1, -1, 1, 1), 3, Qt::white, canvas::withAlpha(palette::frame, 160));
}

} // namespace

void pieces::backdrop(QPainter &p, const QRectF &r)
{
    QLinearGradient wash(r.topLeft(), r.bottomLeft());
    wash.setColorAt(0, palette::backdropTop);
    wash.setColorAt(1, palette::backdropBottom);
    p.fillRect(r, wash);
    backdropPattern(p, r);
    QRadialGradient glow(r.center() - QPointF(0, r.height() * 0.2), qMax(r.width(), r.height()) * 0.7);
    glow.setColorAt(0, canvas::withAlpha(palette::orange, 40));
    glow.setColorAt(1, canvas::withAlpha(palette::orange, 0));
    p.fillRect(r, glow);
}

QPixmap dialogBackground(QSize size, qreal dpr)
{
    size = size.expandedTo(QSize(1, 1)).boundedTo(QSize(4096, 4096));
    return canvas::cached(QStringLiteral("dialog%1x%2").arg(size.width()).arg(size.height()), size, dpr,
                          [size](QPainter &p) {
        const QRectF r(QPointF(0, 0), size);
        pieces::backdrop(p, r);
        constexpr qreal border = 6;
        if (r.width() > 4 * border && r.height() > 4 * border)
            panel(p, r.adjusted(border, border, -border, -border), palette::peachLight, palette::peach);
    });
}

QPixmap boardBackground(qreal dpr)
{
    return canvas::cached(QStringLiteral("board"), layout::boardSize, dpr, [](QPainter &p) {
        pieces::backdrop(p, QRectF(QPointF(0, 0), layout::boardSize));
        sideTiles(p);
        upperPanel(p);
        playersPanel(p);
        chatArea(p);
    });
}

} // namespace art
