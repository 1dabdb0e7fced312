#include "resources/art/art.h"
#include "resources/art/board_layout.h"
#include "resources/art/canvas.h"
#include "resources/art/palette.h"

#include <QPainter>
#include <QPainterPath>

namespace art {

namespace {

constexpr QSize resultsSize{757, 315};
constexpr int frameTop = 3;
constexpr int frameBottom = 308;
constexpr int headerBottom = layout::wordListTop - 3;

// A peach frame around one column: a deeper header band for the name and round score, the list
// well, and a footer for the markers.
void columnFrame(QPainter &p, qreal left, qreal right, const QRectF &list)
{
    const QRectF frame(left, frameTop, right - left, frameBottom - frameTop);
    canvas::plate(p, frame, 6, palette::peachLight, palette::peach, palette::darkRed, 1.2);
    p.save();
    QPainterPath clip;
    clip.addRoundedRect(frame.adjusted(1, 1, -1, -1), 5, 5);
    p.setClipPath(clip);
    p.fillRect(QRectF(frame.left(), frame.top(), frame.width(), headerBottom - frame.top()),
               canvas::withAlpha(palette::peachDeep, 130));
    p.restore();
    canvas::well(p, list.adjusted(-1, -1, 1, 1), 3, palette::peachLight, canvas::withAlpha(palette::frame, 170));
}

} // namespace

QPixmap resultsBackground(qreal dpr)
{
    return canvas::cached(QStringLiteral("results"), resultsSize, dpr, [](QPainter &p) {
        const QRectF r(QPointF(0, 0), resultsSize);
        canvas::plate(p, r.adjusted(0.5, 0.5, -0.5, -0.5), 8, palette::orangeLight,
                      canvas::mix(palette::orange, palette::orangeDeep, 0.3), palette::darkRedDeep, 1.5);

        const QRectF source = layout::originalList;
        columnFrame(p, source.left() - 5, source.right() + 5, source);
        // The frames hug their lists and leave a strip of orange between neighbours.
        for (int column = 1; column <= 6; ++column) {
            const QRectF list = layout::wordList(column);
            columnFrame(p, list.left() - 2, list.right() + 2, list);
        }
    });
}

QPixmap winnerBanner(qreal dpr)
{
    const QSize size = layout::winnerBanner.size();
    return canvas::cached(QStringLiteral("winner"), size, dpr, [size](QPainter &p) {
        const QRectF r(QPointF(0, 0), size);
        canvas::plate(p, r.adjusted(0.5, 0.5, -0.5, -0.5), 9, palette::darkRedLight, palette::darkRedDeep,
                      palette::orange, 2);
        // Stars at both ends; the winner's text is centred between them.
        const auto star = [&p](QPointF centre) {
            const QPainterPath path = canvas::starPath(centre, 10.5, 4.4, 5);
            p.setPen(QPen(palette::darkRedDeep, 1));
            p.setBrush(palette::orangeLight);
            p.drawPath(path);
        };
        star(QPointF(22, r.center().y() + 1));
        star(QPointF(r.right() - 22, r.center().y() + 1));
    });
}

} // namespace art
