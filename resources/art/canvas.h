#pragma once

#include <QColor>
#include <QFont>
#include <QPixmap>
#include <QRectF>
#include <QString>
#include <functional>

class QPainter;
class QPainterPath;

// Drawing helpers shared by the pictures. Not part of the library's interface.
namespace art::canvas {

using Painting = std::function<void(QPainter &)>;

// Paints at logical coordinates on a transparent pixmap of logical size `size` at ratio `dpr`.
QPixmap render(QSize size, qreal dpr, const Painting &paint);
// As render, drawn once per key and ratio and kept until the application ends.
QPixmap cached(const QString &key, QSize size, qreal dpr, const Painting &paint);

QFont arial(qreal pixelSize, bool bold = true);

// Text centred on its ink across and on the capital height up and down (not on the font's line
// box), so capitals sit in the optical middle and share a baseline.
void centredText(QPainter &p, const QRectF &box, const QString &text, const QFont &font,
                 const QColor &colour);
// The same with a one-pixel highlight below the letters, as if pressed into the surface.
void engravedText(QPainter &p, const QRectF &box, const QString &text, const QFont &font,
                  const QColor &colour, const QColor &highlight);

// A rounded plate lit from above: vertical gradient from `top` to `bottom`, a thin highlight just
// inside the upper edge, and a frame line.
void plate(QPainter &p, const QRectF &r, qreal radius, const QColor &top, const QColor &bottom,
           const QColor &frameColour, qreal frameWidth = 1.0);
// A recess: darker at its upper edge, as if cut into the surface around it.
void well(QPainter &p, const QRectF &r, qreal radius, const QColor &fill, const QColor &frameColour);
// A soft shadow under a rounded rectangle.
void dropShadow(QPainter &p, const QRectF &r, qreal radius, int spread, int alpha);

// Strokes drawn over a wider rim of another colour, which keeps them sharp on a busy ground (the
// check and the cross of the progress marks).
void rimmedStrokes(QPainter &p, const QPainterPath &strokes, const QColor &rim, qreal rimWidth, const QColor &ink,
                   qreal inkWidth);

// A star of `points` points, the first pointing up.
QPainterPath starPath(QPointF centre, qreal outer, qreal inner, int points);
// A small shape in glossy red with a dark-red outline, lit from `light`.
void glossyRed(QPainter &p, const QPainterPath &shape, QPointF light, qreal radius, qreal whiteness);

QColor mix(const QColor &a, const QColor &b, qreal t);
QColor withAlpha(QColor c, int alpha);

} // namespace art::canvas
