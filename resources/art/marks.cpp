#include "resources/art/art.h"
#include "resources/art/canvas.h"
#include "resources/art/palette.h"
#include "resources/art/pieces.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtMath>

namespace art {

namespace {

constexpr QSize markSize{17, 19};

void smallBox(QPainter &p, const QRectF &r, const QColor &top, const QColor &bottom)
{
    canvas::plate(p, r, 2.5, top, bottom, palette::frame);
}

} // namespace

void pieces::numberBox(QPainter &p, const QRectF &r, int n)
{
    smallBox(p, r, palette::peachLight, palette::peach);
    canvas::centredText(p, r.adjusted(0, 0, 0, 0.5), QString::number(n), canvas::arial(n < 10 ? 11 : 10),
                        palette::darkRed);
}

QPixmap numberBox(int n, qreal dpr)
{
    if (n < 1 || n > 10)
        return {};
    return canvas::cached(QStringLiteral("number%1").arg(n), markSize, dpr, [n](QPainter &p) {
        pieces::numberBox(p, QRectF(QPointF(0, 0), markSize), n);
    });
}

QPixmap progressMark(qreal dpr)
{
    return canvas::cached(QStringLiteral("progress"), markSize, dpr, [](QPainter &p) {
        const QRectF r(QPointF(0, 0), markSize);
        smallBox(p, r, palette::orangeLight, palette::orange);
        QPainterPath check;
        check.moveTo(4.0, 9.8);
        check.lineTo(7.4, 13.6);
        check.lineTo(13.2, 5.0);
        canvas::rimmedStrokes(p, check, palette::peachLight, 4.4, palette::doneGreen, 2.6);
    });
}

QPixmap refusedMark(qreal dpr)
{
    return canvas::cached(QStringLiteral("refused"), markSize, dpr, [](QPainter &p) {
        const QRectF r(QPointF(0, 0), markSize);
        smallBox(p, r, palette::orangeLight, palette::orange);
        const QRectF cross = r.adjusted(4.2, 5.2, -4.2, -5.2);
        QPainterPath strokes;
        strokes.moveTo(cross.topLeft());
        strokes.lineTo(cross.bottomRight());
        strokes.moveTo(cross.topRight());
        strokes.lineTo(cross.bottomLeft());
        canvas::rimmedStrokes(p, strokes, palette::darkRedDeep, 4.0, palette::red, 2.6);
    });
}

QPixmap goodJob(qreal dpr)
{
    return canvas::cached(QStringLiteral("goodjob"), {161, 35}, dpr, [](QPainter &p) {
        const QRectF r(0, 0, 161, 35);
        canvas::plate(p, r.adjusted(1, 1, -1, -1), 9, palette::orangeLight, palette::orange,
                      palette::darkRed, 1.6);
        const QRectF lettering = r.adjusted(18, 0, -18, 0);
        canvas::engravedText(p, lettering, QStringLiteral("GOOD JOB!"), canvas::arial(21),
                             palette::darkRed, canvas::withAlpha(palette::peachLight, 200));
        // Two small sparkles framing the words.
        p.setPen(Qt::NoPen);
        p.setBrush(palette::darkRed);
        p.drawPath(canvas::starPath(QPointF(11, 17.5), 5.5, 1.6, 4));
        p.drawPath(canvas::starPath(QPointF(150, 17.5), 5.5, 1.6, 4));
    });
}

QPixmap fastestStar(qreal dpr)
{
    return canvas::cached(QStringLiteral("fastest"), {16, 16}, dpr, [](QPainter &p) {
        const QPainterPath shape = canvas::starPath(QPointF(8, 8.7), 7.6, 3.2, 5);
        canvas::glossyRed(p, shape, QPointF(6.5, 6), 9, 0.35);
    });
}

QPixmap bonusMarker(qreal dpr)
{
    return canvas::cached(QStringLiteral("bonus"), {55, 17}, dpr, [](QPainter &p) {
        const QRectF r(0, 0, 55, 17);
        canvas::plate(p, r, 4, palette::orangeLight, palette::orange, palette::orangeDeep);
        canvas::engravedText(p, r, QStringLiteral("BONUS"), canvas::arial(12.5), palette::red,
                             canvas::withAlpha(palette::peachLight, 170));
    });
}

QPixmap eyes(qreal dpr)
{
    return canvas::cached(QStringLiteral("eyes"), {14, 12}, dpr, [](QPainter &p) {
        // Pupils to the right and down: looking at the name beside the picture.
        for (const qreal left : {0.6, 7.2}) {
            p.setPen(QPen(palette::ink, 1.1));
            p.setBrush(Qt::white);
            p.drawEllipse(QRectF(left, 0.6, 6.2, 10.8));
            p.setPen(Qt::NoPen);
            p.setBrush(palette::ink);
            p.drawEllipse(QRectF(left + 3.2, 4.8, 2.5, 3.8));
        }
    });
}

QPixmap typingBox(bool on, qreal dpr)
{
    return canvas::cached(on ? QStringLiteral("typing-on") : QStringLiteral("typing-off"), {20, 20}, dpr,
                          [on](QPainter &p) {
        const QRectF r(0, 0, 20, 20);
        canvas::well(p, r, 3, palette::peach, palette::frame);
        if (!on)
            return;
        QRadialGradient dot(QPointF(8.6, 8.4), 6);
        dot.setColorAt(0, canvas::mix(palette::red, Qt::white, 0.45));
        dot.setColorAt(0.45, palette::red);
        dot.setColorAt(1, palette::darkRed);
        p.setPen(QPen(palette::darkRedDeep, 0.8));
        p.setBrush(dot);
        p.drawEllipse(QPointF(10, 10), 5.2, 5.2);
    });
}

QPixmap timerBar(qreal dpr)
{
    return canvas::cached(QStringLiteral("timer"), {258, 21}, dpr, [](QPainter &p) {
        const QRectF r(0, 0, 258, 21);
        QLinearGradient ramp(r.topLeft(), r.topRight());
        // The clock's text lies over the left third: it stays dark there, so that the pale yellow
        // and peach texts and even the red of the last seconds stand out on it.
        ramp.setColorAt(0, palette::darkRedDeep);
        ramp.setColorAt(0.37, canvas::mix(palette::darkRedDeep, palette::darkRed, 0.35));
        ramp.setColorAt(0.7, canvas::mix(palette::darkRedLight, palette::orangeDeep, 0.5));
        ramp.setColorAt(1, palette::orange);
        p.fillRect(r, ramp);
        // Rounded in depth: a thin gloss along the top, a shaded bottom.
        QLinearGradient depth(r.topLeft(), r.bottomLeft());
        depth.setColorAt(0, canvas::withAlpha(Qt::white, 90));
        depth.setColorAt(0.22, canvas::withAlpha(Qt::white, 0));
        depth.setColorAt(0.6, canvas::withAlpha(Qt::black, 0));
        depth.setColorAt(1, canvas::withAlpha(Qt::black, 70));
        p.fillRect(r, depth);
    });
}

} // namespace art
