#include "resources/art/art.h"
#include "resources/art/canvas.h"
#include "resources/art/palette.h"
#include "resources/art/pieces.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <array>

namespace art {

namespace {

constexpr QSize phraseSize{27, 21};
const QColor gold{0xF6, 0xC3, 0x3C};

// Each glyph draws in a 16 by 16 box; the face centres it on the button.
void thumbsUp(QPainter &p)
{
    p.setPen(QPen(palette::darkRed, 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(palette::orangeDeep);
    p.drawRoundedRect(QRectF(1.5, 7, 3, 8), 0.8, 0.8); // cuff
    p.setBrush(palette::orangeLight);
    p.drawRoundedRect(QRectF(6.5, 1, 3.6, 9), 1.8, 1.8); // thumb
    p.drawRoundedRect(QRectF(4.5, 7, 9.5, 8.5), 2, 2);   // fist
    for (const qreal y : {9.8, 12.3})
        p.drawLine(QPointF(10.5, y), QPointF(14, y));
}

void checkMark(QPainter &p)
{
    QPainterPath tick;
    tick.moveTo(2.5, 8.5);
    tick.lineTo(6.5, 12.8);
    tick.lineTo(13.8, 3.2);
    canvas::rimmedStrokes(p, tick, palette::darkRedDeep, 4.2, palette::red, 2.6);
}

void target(QPainter &p)
{
    const QPointF centre(8, 8);
    p.setPen(QPen(palette::darkRedDeep, 0.9));
    const std::array<std::pair<qreal, QColor>, 3> rings{{{7, palette::red}, {4.6, palette::peachLight}, {2.3, palette::red}}};
    for (const auto &[radius, colour] : rings) {
        p.setBrush(colour);
        p.drawEllipse(centre, radius, radius);
    }
}

void bigStar(QPainter &p)
{
    p.setPen(QPen(palette::darkRed, 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    QRadialGradient fill(QPointF(6.5, 6), 9);
    fill.setColorAt(0, palette::peachLight);
    fill.setColorAt(0.5, gold);
    fill.setColorAt(1, palette::orangeDeep);
    p.setBrush(fill);
    p.drawPath(canvas::starPath(QPointF(8, 8.6), 8, 3.4, 5));
}

void lightBulb(QPainter &p)
{
    p.setPen(QPen(palette::darkRed, 0.9));
    QRadialGradient glass(QPointF(6.5, 4.5), 7);
    glass.setColorAt(0, Qt::white);
    glass.setColorAt(0.5, QColor(0xFF, 0xE8, 0x6A));
    glass.setColorAt(1, gold);
    p.setBrush(glass);
    QPainterPath bulb;
    bulb.moveTo(5.6, 11);
    bulb.cubicTo(5.6, 8.6, 2.6, 7.8, 2.6, 5.6);
    bulb.arcTo(QRectF(2.6, 0.4, 10.8, 10.4), 180, -180);
    bulb.cubicTo(13.4, 7.8, 10.4, 8.6, 10.4, 11);
    bulb.closeSubpath();
    p.drawPath(bulb);
    p.setBrush(QColor(0x9A, 0x86, 0x78));
    p.drawRoundedRect(QRectF(5.4, 11, 5.2, 3.6), 1, 1);
    p.drawLine(QPointF(5.6, 12.8), QPointF(10.4, 12.8));
    p.setBrush(palette::frame);
    p.drawRoundedRect(QRectF(6.6, 14.4, 2.8, 1.4), 0.6, 0.6);
}

void burst(QPainter &p)
{
    p.setPen(QPen(palette::darkRed, 0.9, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(palette::orange);
    p.drawPath(canvas::starPath(QPointF(8, 8), 8, 5.2, 10));
    canvas::centredText(p, QRectF(0, 0, 16, 16), QStringLiteral("!"), canvas::arial(11), palette::darkRed);
}

void heart(QPainter &p)
{
    QPainterPath shape;
    shape.moveTo(8, 14.5);
    shape.cubicTo(2.5, 10.5, 0.6, 7.8, 0.8, 5.0);
    shape.cubicTo(1.0, 2.0, 5.6, 0.6, 8, 4.2);
    shape.cubicTo(10.4, 0.6, 15.0, 2.0, 15.2, 5.0);
    shape.cubicTo(15.4, 7.8, 13.5, 10.5, 8, 14.5);
    canvas::glossyRed(p, shape, QPointF(5, 4.5), 10, 0.4);
}

void teammates(QPainter &p)
{
    p.setPen(QPen(palette::darkRedDeep, 0.8));
    const auto person = [&p](qreal x, const QColor &colour) {
        p.setBrush(colour);
        QPainterPath body;
        body.moveTo(x - 4.2, 15.5);
        body.cubicTo(x - 4.2, 10.2, x + 4.2, 10.2, x + 4.2, 15.5);
        body.closeSubpath();
        p.drawPath(body);
        p.setBrush(palette::peachLight);
        p.drawEllipse(QPointF(x, 6.8), 2.8, 2.8);
    };
    person(4.6, palette::orange);
    person(11.4, palette::darkRedLight);
}

void trophy(QPainter &p)
{
    p.setPen(QPen(palette::darkRed, 0.9, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(0.8, 2.2, 5, 5.2));  // handles
    p.drawEllipse(QRectF(10.2, 2.2, 5, 5.2));
    QLinearGradient metal(QPointF(3, 0), QPointF(13, 0));
    metal.setColorAt(0, palette::orangeDeep);
    metal.setColorAt(0.35, QColor(0xFF, 0xE3, 0x85));
    metal.setColorAt(1, palette::orangeDeep);
    p.setBrush(metal);
    QPainterPath cup;
    cup.moveTo(3.2, 1.2);
    cup.lineTo(12.8, 1.2);
    cup.cubicTo(12.8, 7.2, 10.6, 9.6, 8, 9.8);
    cup.cubicTo(5.4, 9.6, 3.2, 7.2, 3.2, 1.2);
    cup.closeSubpath();
    p.drawPath(cup);
    p.drawRect(QRectF(7, 9.8, 2, 2.6));
    p.drawRoundedRect(QRectF(4.4, 12.4, 7.2, 3), 0.8, 0.8);
}

void notes(QPainter &p)
{
    p.setPen(Qt::NoPen);
    p.setBrush(palette::peach);
    p.save();
    for (const QPointF head : {QPointF(4.4, 12.6), QPointF(11.8, 11.0)}) {
        p.save();
        p.translate(head);
        p.rotate(-22);
        p.drawEllipse(QPointF(0, 0), 2.6, 1.9);
        p.restore();
    }
    p.restore();
    p.setPen(QPen(palette::peach, 1.3, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(6.6, 12.0), QPointF(6.6, 2.6));
    p.drawLine(QPointF(14.0, 10.4), QPointF(14.0, 1.0));
    p.setPen(Qt::NoPen);
    QPainterPath beam;
    beam.moveTo(6.0, 2.6);
    beam.lineTo(14.6, 1.0);
    beam.lineTo(14.6, 3.8);
    beam.lineTo(6.0, 5.4);
    beam.closeSubpath();
    p.drawPath(beam);
}

using Glyph = void (*)(QPainter &);
constexpr std::array<Glyph, 10> glyphs{thumbsUp, checkMark, target, bigStar, lightBulb,
                                       burst, heart, teammates, trophy, notes};
constexpr int chatterButton = 10;

void drawAppIcon(QPainter &p, qreal size)
{
    p.scale(size / 64.0, size / 64.0);
    canvas::plate(p, QRectF(2, 2, 60, 60), 12, palette::orangeLight, palette::orangeDeep, palette::darkRedDeep, 2.5);
    const QRectF tile(13, 12, 38, 38);
    p.translate(tile.center());
    p.rotate(-7);
    p.translate(-tile.center());
    canvas::dropShadow(p, tile, 4, 3, 140);
    pieces::letterTile(p, tile, QLatin1Char('V'));
}

} // namespace

QPixmap phraseIcon(int n, qreal dpr)
{
    if (n < 1 || n > static_cast<int>(glyphs.size()))
        return {};
    return canvas::cached(QStringLiteral("phrase%1").arg(n), phraseSize, dpr, [n](QPainter &p) {
        const QRectF face(QPointF(0, 0), phraseSize);
        if (n == chatterButton)
            canvas::plate(p, face.adjusted(0.5, 0.5, -0.5, -0.5), 4, canvas::mix(palette::maroon, palette::red, 0.25),
                          palette::maroon, palette::darkRedDeep);
        else
            canvas::plate(p, face.adjusted(0.5, 0.5, -0.5, -0.5), 4, palette::peachLight, palette::peach,
                          palette::frame);
        p.translate(face.center() - QPointF(8, 8));
        glyphs[n - 1](p);
    });
}

QPixmap logo(qreal dpr)
{
    return canvas::cached(QStringLiteral("logo"), {196, 56}, dpr,
                          [](QPainter &p) { pieces::nameTiles(p, QPointF(6, 6), 40, 8, Qt::Horizontal); });
}

QIcon appIcon()
{
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addPixmap(canvas::render({size, size}, 1.0, [size](QPainter &p) { drawAppIcon(p, size); }));
    return icon;
}

} // namespace art
