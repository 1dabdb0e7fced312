#include "chat/smilies.h"

#include "chat/chatline.h"

#include <QHash>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <array>
#include <cmath>

namespace chat {
namespace {

enum Face {
    Smile, Wink, Grin, Sad, Surprised, Tongue, Cool, Laugh, Angry,
    Cry, Blush, Kiss, Confused, Neutral, Sleepy, InLove, Devil, Angel,
};

const std::array<const char *, SmileyCount> faceNames{
    "smile", "wink", "grin", "sad", "surprised", "tongue out", "cool", "laughing", "angry",
    "crying", "blushing", "kiss", "confused", "straight face", "sleepy", "in love", "devil",
    "angel",
};

const QColor ink(70, 40, 10);
const QColor mouthRed(190, 30, 40);

// All drawing is in logical pixels of the 17 by 16 picture; the painter scales to the device.
class FacePainter
{
public:
    explicit FacePainter(QPainter &painter) : p(painter) {}

    void head(QPointF centre, qreal radius, QColor light, QColor dark)
    {
        c = centre;
        r = radius;
        QRadialGradient fill(c + QPointF(-r * 0.35, -r * 0.4), r * 1.4);
        fill.setColorAt(0, light);
        fill.setColorAt(1, dark);
        p.setPen(QPen(ink, 0.9));
        p.setBrush(fill);
        p.drawEllipse(c, r, r);
    }

    QPointF at(qreal dx, qreal dy) const { return c + QPointF(dx * r, dy * r); }

    void dotEyes(qreal dy = -0.3, qreal size = 1.0)
    {
        p.setPen(Qt::NoPen);
        p.setBrush(ink);
        p.drawEllipse(at(-0.33, dy), 0.85 * size, 1.2 * size);
        p.drawEllipse(at(0.33, dy), 0.85 * size, 1.2 * size);
    }

    void stroke(const QPainterPath &path, qreal width = 1.0, QColor colour = ink)
    {
        p.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPath(path);
    }

    void fill(const QPainterPath &path, QColor colour, bool outline = true)
    {
        p.setPen(outline ? QPen(ink, 0.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin) : Qt::NoPen);
        p.setBrush(colour);
        p.drawPath(path);
    }

    // A curve from (-w, dy) to (w, dy) through (0, dy + bend), in units of the radius.
    QPainterPath curve(qreal w, qreal dy, qreal bend) const
    {
        QPainterPath path(at(-w, dy));
        path.quadTo(at(0, dy + 2 * bend), at(w, dy));
        return path;
    }

    QPainterPath smileCurve() const { return curve(0.45, 0.25, 0.22); }

    QPainterPath heart(QPointF centre, qreal size) const
    {
        const qreal s = size;
        QPainterPath path(centre + QPointF(0, s * 0.9));
        path.cubicTo(centre + QPointF(-s * 1.3, 0), centre + QPointF(-s * 0.6, -s * 1.1),
                     centre + QPointF(0, -s * 0.35));
        path.cubicTo(centre + QPointF(s * 0.6, -s * 1.1), centre + QPointF(s * 1.3, 0),
                     centre + QPointF(0, s * 0.9));
        return path;
    }

    QPainter &p;
    QPointF c;
    qreal r = 0;
};

void drawFace(QPainter &painter, int picture)
{
    FacePainter f(painter);
    const QColor yellow(255, 244, 130), gold(246, 184, 20);
    const QPointF centre(8.5, 8.0);
    const qreal radius = 7.3;

    switch (Face(picture)) {
    case Smile:
        f.head(centre, radius, yellow, gold);
        f.dotEyes();
        f.stroke(f.smileCurve(), 1.1);
        break;
    case Wink:
        f.head(centre, radius, yellow, gold);
        painter.setPen(Qt::NoPen);
        painter.setBrush(ink);
        painter.drawEllipse(f.at(-0.33, -0.3), 0.85, 1.2);
        f.stroke(f.curve(0.17, -0.25, -0.12).translated(0.33 * radius, 0), 1.0); // the closed eye
        f.stroke(f.curve(0.45, 0.22, 0.24), 1.1);
        break;
    case Grin: {
        f.head(centre, radius, yellow, gold);
        f.dotEyes(-0.35);
        QPainterPath mouth(f.at(-0.55, 0.1));
        mouth.lineTo(f.at(0.55, 0.1));
        mouth.quadTo(f.at(0, 1.05), f.at(-0.55, 0.1));
        f.fill(mouth, Qt::white);
        QPainterPath lip(f.at(-0.4, 0.42));
        lip.quadTo(f.at(0, 0.58), f.at(0.4, 0.42));
        f.stroke(lip, 0.6);
        break;
    }
    case Sad:
        f.head(centre, radius, yellow, gold);
        f.dotEyes();
        f.stroke(f.curve(0.4, 0.55, -0.2), 1.1);
        break;
    case Surprised:
        f.head(centre, radius, yellow, gold);
        f.dotEyes(-0.35, 1.15);
        f.fill([&] { QPainterPath o; o.addEllipse(f.at(0, 0.45), 1.7, 2.1); return o; }(),
               QColor(120, 30, 20));
        break;
    case Tongue: {
        f.head(centre, radius, yellow, gold);
        f.dotEyes();
        QPainterPath tongue;
        tongue.addRoundedRect(QRectF(f.at(0.02, 0.28), QSizeF(3.0, 3.6)), 1.5, 1.5);
        f.fill(tongue, QColor(240, 90, 110));
        f.stroke(f.curve(0.48, 0.28, 0.08), 1.1);
        break;
    }
    case Cool: {
        f.head(centre, radius, yellow, gold);
        QPainterPath glasses;
        glasses.addRoundedRect(QRectF(f.at(-0.72, -0.55), QSizeF(5.0, 3.4)), 1.2, 1.2);
        glasses.addRoundedRect(QRectF(f.at(0.04, -0.55), QSizeF(5.0, 3.4)), 1.2, 1.2);
        f.fill(glasses, QColor(25, 25, 40), false);
        f.stroke([&] { QPainterPath b(f.at(-0.95, -0.45)); b.lineTo(f.at(0.95, -0.45)); return b; }(), 0.8,
                 QColor(25, 25, 40));
        painter.setPen(QPen(QColor(255, 255, 255, 170), 0.7));
        painter.drawLine(f.at(-0.55, -0.38), f.at(-0.38, -0.48));
        painter.drawLine(f.at(0.2, -0.38), f.at(0.37, -0.48));
        f.stroke(f.curve(0.42, 0.32, 0.18), 1.1);
        break;
    }
    case Laugh: {
        f.head(centre, radius, yellow, gold);
        f.stroke(f.curve(0.16, -0.22, -0.14).translated(-0.33 * radius, 0), 1.0);
        f.stroke(f.curve(0.16, -0.22, -0.14).translated(0.33 * radius, 0), 1.0);
        QPainterPath mouth(f.at(-0.5, 0.12));
        mouth.lineTo(f.at(0.5, 0.12));
        mouth.quadTo(f.at(0, 1.0), f.at(-0.5, 0.12));
        f.fill(mouth, QColor(150, 30, 30));
        break;
    }
    case Angry: {
        f.head(centre, radius, QColor(255, 190, 120), QColor(225, 70, 30));
        f.dotEyes(-0.15, 0.9);
        QPainterPath brows(f.at(-0.6, -0.62));
        brows.lineTo(f.at(-0.12, -0.38));
        brows.moveTo(f.at(0.6, -0.62));
        brows.lineTo(f.at(0.12, -0.38));
        f.stroke(brows, 1.1);
        f.stroke(f.curve(0.33, 0.6, -0.12), 1.1);
        break;
    }
    case Cry: {
        f.head(centre, radius, yellow, gold);
        f.dotEyes();
        f.stroke(f.curve(0.38, 0.58, -0.18), 1.1);
        QPainterPath tear(f.at(0.38, -0.05));
        tear.cubicTo(f.at(0.2, 0.35), f.at(0.3, 0.55), f.at(0.42, 0.55));
        tear.cubicTo(f.at(0.55, 0.55), f.at(0.62, 0.35), f.at(0.38, -0.05));
        f.fill(tear, QColor(80, 160, 255), false);
        break;
    }
    case Blush:
        f.head(centre, radius, yellow, gold);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(255, 110, 130, 150));
        painter.drawEllipse(f.at(-0.55, 0.2), 1.6, 1.0);
        painter.drawEllipse(f.at(0.55, 0.2), 1.6, 1.0);
        f.stroke(f.curve(0.16, -0.25, -0.12).translated(-0.33 * radius, 0), 0.9);
        f.stroke(f.curve(0.16, -0.25, -0.12).translated(0.33 * radius, 0), 0.9);
        f.stroke(f.curve(0.28, 0.35, 0.14), 1.0);
        break;
    case Kiss: {
        f.head(centre, radius, yellow, gold);
        f.dotEyes();
        QPainterPath lips(f.at(-0.05, 0.25));
        lips.quadTo(f.at(0.25, 0.38), f.at(-0.02, 0.5));
        lips.quadTo(f.at(0.25, 0.62), f.at(-0.05, 0.75));
        f.stroke(lips, 1.0);
        f.fill(f.heart(f.at(0.62, 0.42), 1.6), mouthRed, false);
        break;
    }
    case Confused: {
        f.head(centre, radius, yellow, gold);
        f.dotEyes();
        f.stroke([&] { QPainterPath b(f.at(0.15, -0.72)); b.quadTo(f.at(0.35, -0.88), f.at(0.58, -0.68)); return b; }(), 0.9);
        QPainterPath wave(f.at(-0.45, 0.48));
        wave.cubicTo(f.at(-0.25, 0.28), f.at(-0.05, 0.7), f.at(0.1, 0.48));
        wave.cubicTo(f.at(0.22, 0.3), f.at(0.38, 0.55), f.at(0.48, 0.42));
        f.stroke(wave, 1.0);
        break;
    }
    case Neutral: {
        f.head(centre, radius, yellow, gold);
        f.dotEyes();
        QPainterPath line(f.at(-0.38, 0.45));
        line.lineTo(f.at(0.38, 0.45));
        f.stroke(line, 1.1);
        break;
    }
    case Sleepy: {
        f.head(QPointF(7.8, 8.6), 6.8, yellow, gold);
        QPainterPath lids(f.at(-0.5, -0.22));
        lids.lineTo(f.at(-0.15, -0.22));
        lids.moveTo(f.at(0.15, -0.22));
        lids.lineTo(f.at(0.5, -0.22));
        f.stroke(lids, 1.0);
        f.fill([&] { QPainterPath o; o.addEllipse(f.at(0, 0.48), 1.1, 1.3); return o; }(),
               QColor(120, 30, 20), false);
        QPainterPath z(QPointF(12.2, 0.8));
        z.lineTo(QPointF(15.6, 0.8));
        z.lineTo(QPointF(12.2, 4.2));
        z.lineTo(QPointF(15.6, 4.2));
        f.stroke(z, 0.9, QColor(40, 70, 200));
        break;
    }
    case InLove:
        f.head(centre, radius, yellow, gold);
        f.fill(f.heart(f.at(-0.35, -0.3), 1.7), mouthRed, false);
        f.fill(f.heart(f.at(0.35, -0.3), 1.7), mouthRed, false);
        f.stroke(f.smileCurve(), 1.1);
        break;
    case Devil: {
        const QColor horn(150, 20, 20);
        QPainterPath horns(QPointF(3.2, 5.2));
        horns.quadTo(QPointF(1.9, 1.6), QPointF(3.4, 0.5));
        horns.quadTo(QPointF(4.0, 3.0), QPointF(6.2, 3.5));
        horns.moveTo(QPointF(13.8, 5.2));
        horns.quadTo(QPointF(15.1, 1.6), QPointF(13.6, 0.5));
        horns.quadTo(QPointF(13.0, 3.0), QPointF(10.8, 3.5));
        f.fill(horns, horn, false);
        f.head(QPointF(8.5, 9.2), 6.4, QColor(220, 150, 255), QColor(130, 50, 180));
        QPainterPath brows(f.at(-0.62, -0.5));
        brows.lineTo(f.at(-0.15, -0.3));
        brows.moveTo(f.at(0.62, -0.5));
        brows.lineTo(f.at(0.15, -0.3));
        f.stroke(brows, 1.0);
        f.dotEyes(-0.1, 0.85);
        QPainterPath grin(f.at(-0.5, 0.3));
        grin.quadTo(f.at(0, 0.85), f.at(0.5, 0.3));
        f.stroke(grin, 1.0);
        break;
    }
    case Angel: {
        painter.setPen(QPen(QColor(230, 170, 0), 1.3));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(QPointF(8.5, 2.0), 4.6, 1.4);
        f.head(QPointF(8.5, 9.4), 6.3, QColor(255, 250, 200), QColor(250, 205, 60));
        painter.setPen(QPen(QColor(255, 225, 90), 0.8));
        painter.setBrush(Qt::NoBrush);
        painter.drawArc(QRectF(QPointF(3.9, 0.6), QPointF(13.1, 3.4)), 20 * 16, 140 * 16);
        f.stroke(f.curve(0.16, -0.22, -0.12).translated(-0.33 * 6.3, 0), 0.9);
        f.stroke(f.curve(0.16, -0.22, -0.12).translated(0.33 * 6.3, 0), 0.9);
        f.stroke(f.smileCurve(), 1.0);
        break;
    }
    }
}

} // namespace

QPixmap smileyPixmap(int picture, qreal devicePixelRatio)
{
    if (picture < 0 || picture >= SmileyCount)
        picture = 0;
    if (!(devicePixelRatio > 0))
        devicePixelRatio = 1;

    static QHash<QPair<int, qreal>, QPixmap> cache;
    const auto key = qMakePair(picture, devicePixelRatio);
    if (const auto found = cache.constFind(key); found != cache.cend())
        return *found;

    const QSize deviceSize(int(std::ceil(SmileySize.width() * devicePixelRatio)),
                           int(std::ceil(SmileySize.height() * devicePixelRatio)));
    QPixmap pixmap(deviceSize);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    pixmap.fill(Qt::transparent);
    {
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        drawFace(painter, picture);
    }
    cache.insert(key, pixmap);
    return pixmap;
}

QIcon smileyIcon(int picture)
{
    QIcon icon;
    icon.addPixmap(smileyPixmap(picture, 1.0));
    icon.addPixmap(smileyPixmap(picture, 2.0));
    return icon;
}

QString smileyName(int picture)
{
    if (picture < 0 || picture >= SmileyCount)
        return {};
    return QString::fromLatin1(faceNames[size_t(picture)]);
}

} // namespace chat
