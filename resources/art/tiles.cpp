#include "resources/art/art.h"
#include "resources/art/canvas.h"
#include "resources/art/palette.h"
#include "resources/art/pieces.h"

#include <QLinearGradient>
#include <QPainter>

namespace art {

namespace {

constexpr int lastLetterCode = 26;

// A peach square with a thin dark frame, lit from the upper left like a wooden game tile.
void blankTile(QPainter &p, const QRectF &r)
{
    const qreal radius = r.width() * 0.09;
    const QRectF body = r.adjusted(0.5, 0.5, -0.5, -0.5);
    QLinearGradient face(body.topLeft(), body.bottomRight());
    face.setColorAt(0, palette::peachLight);
    face.setColorAt(0.55, palette::peach);
    face.setColorAt(1, canvas::mix(palette::peach, palette::peachDeep, 0.7));
    p.setPen(QPen(palette::frame, 1.0));
    p.setBrush(face);
    p.drawRoundedRect(body, radius, radius);

    // Bevel: light along the top and left, shade along the bottom and right.
    const QRectF bevel = body.adjusted(1.5, 1.5, -1.5, -1.5);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(canvas::withAlpha(Qt::white, 150), 1.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(bevel.left() + radius / 2, bevel.top()), QPointF(bevel.right() - radius / 2, bevel.top()));
    p.drawLine(QPointF(bevel.left(), bevel.top() + radius / 2), QPointF(bevel.left(), bevel.bottom() - radius / 2));
    p.setPen(QPen(canvas::withAlpha(palette::frame, 70), 1.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(bevel.left() + radius / 2, bevel.bottom()), QPointF(bevel.right() - radius / 2, bevel.bottom()));
    p.drawLine(QPointF(bevel.right(), bevel.top() + radius / 2), QPointF(bevel.right(), bevel.bottom() - radius / 2));
}

} // namespace

void pieces::letterTile(QPainter &p, const QRectF &r, QChar letter)
{
    blankTile(p, r);
    if (letter.isNull())
        return;
    const QFont font = canvas::arial(r.height() * 0.68);
    canvas::engravedText(p, r.adjusted(0, 0, 0, -1), QString(letter), font, palette::darkRed,
                         canvas::withAlpha(Qt::white, 170));
}

void pieces::nameTiles(QPainter &p, QPointF first, qreal size, qreal gap, Qt::Orientation direction)
{
    const QString name = QStringLiteral("VREL");
    constexpr qreal tilt[] = {-5, 4, -3, 6};
    const QPointF step = direction == Qt::Vertical ? QPointF(0, size + gap) : QPointF(size + gap, 0);
    for (int i = 0; i < name.size(); ++i) {
        const QRectF r(first + i * step, QSizeF(size, size));
        p.save();
        p.translate(r.center());
        p.rotate(tilt[i]);
        p.translate(-r.center());
        canvas::dropShadow(p, r, 3, 3, 110);
        letterTile(p, r, name.at(i));
        p.restore();
    }
}

QPixmap classicTile(int code, qreal dpr)
{
    if (code < 0 || code > lastLetterCode)
        return {};
    const QChar letter = code == 0 ? QChar() : QChar('A' + code - 1);
    return canvas::cached(QStringLiteral("tile%1").arg(code), {44, 44}, dpr,
                          [letter](QPainter &p) { pieces::letterTile(p, QRectF(0, 0, 44, 44), letter); });
}

} // namespace art
