#include "resources/art/art.h"
#include "resources/art/canvas.h"
#include "resources/art/palette.h"
#include "resources/art/pieces.h"

#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtMath>

namespace art {

namespace {

const QSize lobbySize {150, 120};
const QPointF globeCentre {75, 50};
constexpr qreal globeRadius = 27;

void globe(QPainter &p)
{
    QRadialGradient sea(globeCentre - QPointF(9, 10), globeRadius * 1.5);
    sea.setColorAt(0, QColor(0x9E, 0xD6, 0xF0));
    sea.setColorAt(1, QColor(0x1F, 0x5E, 0x9A));
    p.setPen(QPen(palette::darkRedDeep, 1.4));
    p.setBrush(sea);
    p.drawEllipse(globeCentre, globeRadius, globeRadius);

    // Meridians and parallels, clipped to the ball.
    p.save();
    QPainterPath ball;
    ball.addEllipse(globeCentre, globeRadius, globeRadius);
    p.setClipPath(ball);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(canvas::withAlpha(Qt::white, 150), 0.9));
    for (const qreal squeeze : {0.35, 0.75})
        p.drawEllipse(globeCentre, globeRadius * squeeze, globeRadius);
    p.drawLine(QPointF(globeCentre.x(), globeCentre.y() - globeRadius), QPointF(globeCentre.x(), globeCentre.y() + globeRadius));
    for (const qreal y : {-0.5, 0.0, 0.5})
        p.drawLine(QPointF(globeCentre.x() - globeRadius, globeCentre.y() + y * globeRadius),
                   QPointF(globeCentre.x() + globeRadius, globeCentre.y() + y * globeRadius));
    p.restore();
}

// A player: a round head over rounded shoulders, in a colour of its own.
void player(QPainter &p, QPointF at, const QColor &colour)
{
    p.setPen(QPen(palette::darkRedDeep, 1.0));
    p.setBrush(canvas::mix(colour, Qt::white, 0.15));
    p.drawRoundedRect(QRectF(at.x() - 8, at.y() + 1, 16, 11), 6, 6);
    p.setBrush(palette::peachLight);
    p.drawEllipse(QPointF(at.x(), at.y() - 3), 5, 5);
}

} // namespace

QPixmap lobbyPicture(qreal dpr)
{
    return canvas::cached(QStringLiteral("lobby"), lobbySize, dpr, [](QPainter &p) {
        const QRectF r(QPointF(0, 0), lobbySize);
        pieces::backdrop(p, r);

        const QPointF seats[] = {{20, 24}, {130, 24}, {16, 68}, {134, 68}, {44, 84}, {106, 84}};
        const QColor colours[] = {palette::orange, QColor(0x4C, 0x9A, 0x3C), QColor(0x3A, 0x6E, 0xC8),
                                  palette::red, QColor(0x9A, 0x4C, 0xB8), palette::paleYellow};
        p.setPen(QPen(palette::peachDeep, 1.2, Qt::DashLine));
        for (const QPointF &seat : seats)
            p.drawLine(seat, globeCentre);
        globe(p);
        for (int i = 0; i < 6; ++i)
            player(p, seats[i], colours[i]);

        const QRectF plateBox(22, 100, 106, 17);
        canvas::plate(p, plateBox, 5, palette::darkRedLight, palette::darkRed, palette::darkRedDeep, 1.0);
        canvas::centredText(p, plateBox.translated(0, 0.8), QStringLiteral("KOVREN LOBBY"), canvas::arial(11),
                            palette::darkRedDeep);
        canvas::centredText(p, plateBox, QStringLiteral("KOVREN LOBBY"), canvas::arial(11), palette::peach);
    });
}

} // namespace art
