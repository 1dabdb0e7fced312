#include "resources/art/canvas.h"

#include "resources/art/palette.h"

#include <QCoreApplication>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QCache>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtMath>
#include <algorithm>

namespace art {

qreal appDevicePixelRatio()
{
    return qGuiApp ? qGuiApp->devicePixelRatio() : 1.0;
}

namespace canvas {

namespace {

// Out-of-range ratios (zero, negative, NaN, absurdly large) would make empty or huge images.
qreal saneRatio(qreal dpr)
{
    if (!(dpr > 0.0))
        return 1.0;
    return std::clamp(dpr, 0.25, 8.0);
}

// A board drawn three times larger on a high-DPI screen is tens of megabytes: the cache keeps
// the pictures used most lately, up to this many kilobytes, and draws the others again.
constexpr int kCacheKilobytes = 32 * 1024;

QCache<QString, QPixmap> &store()
{
    static QCache<QString, QPixmap> pixmaps(kCacheKilobytes);
    static const bool cleanupRegistered = [] {
        // Pixmaps must go before the application does, not at static destruction.
        qAddPostRoutine([] { store().clear(); });
        return true;
    }();
    Q_UNUSED(cleanupRegistered);
    return pixmaps;
}

} // namespace

QPixmap render(QSize size, qreal dpr, const Painting &paint)
{
    dpr = saneRatio(dpr);
    const QSize device(qCeil(size.width() * dpr - 1e-9), qCeil(size.height() * dpr - 1e-9));
    QImage image(device, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    image.setDevicePixelRatio(dpr);
    {
        QPainter p(&image);
        p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing
                         | QPainter::SmoothPixmapTransform);
        paint(p);
    }
    QPixmap pixmap = QPixmap::fromImage(image);
    pixmap.setDevicePixelRatio(dpr);
    return pixmap;
}

QPixmap cached(const QString &key, QSize size, qreal dpr, const Painting &paint)
{
    dpr = saneRatio(dpr);
    const QString fullKey = key + QLatin1Char('@') + QString::number(dpr, 'g', 6);
    auto &pixmaps = store();
    if (const QPixmap *found = pixmaps.object(fullKey))
        return *found;
    const QPixmap pixmap = render(size, dpr, paint);
    const qint64 kilobytes = qint64(pixmap.width()) * pixmap.height() * 4 / 1024 + 1;
    pixmaps.insert(fullKey, new QPixmap(pixmap), qsizetype(kilobytes));
    return pixmap;
}

QFont arial(qreal pixelSize, bool bold)
{
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(qMax(1, qRound(pixelSize)));
    font.setBold(bold);
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

namespace {

// Across, the ink is centred; up and down, the capital height is, so that letters with a tail
// (Q, J) or a low mark keep the same baseline as their neighbours.
QPainterPath textPathCentredIn(const QRectF &box, const QString &text, const QFont &font)
{
    QPainterPath path;
    path.addText(0, 0, font, text);
    QPainterPath capital;
    capital.addText(0, 0, font, QStringLiteral("H"));
    const qreal dx = box.center().x() - path.boundingRect().center().x();
    const qreal dy = box.center().y() - capital.boundingRect().center().y();
    path.translate(dx, dy);
    return path;
}

} // namespace

void centredText(QPainter &p, const QRectF &box, const QString &text, const QFont &font,
                 const QColor &colour)
{
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPath(textPathCentredIn(box, text, font));
    p.restore();
}

void engravedText(QPainter &p, const QRectF &box, const QString &text, const QFont &font,
                  const QColor &colour, const QColor &highlight)
{
    centredText(p, box.translated(0, 1), text, font, highlight);
    centredText(p, box, text, font, colour);
}

void plate(QPainter &p, const QRectF &r, qreal radius, const QColor &top, const QColor &bottom,
           const QColor &frameColour, qreal frameWidth)
{
    p.save();
    const QRectF body = r.adjusted(frameWidth / 2, frameWidth / 2, -frameWidth / 2, -frameWidth / 2);
    QLinearGradient fill(body.topLeft(), body.bottomLeft());
    fill.setColorAt(0, top);
    fill.setColorAt(1, bottom);
    p.setPen(QPen(frameColour, frameWidth));
    p.setBrush(fill);
    p.drawRoundedRect(body, radius, radius);

    // Light catching the upper edge.
    const QRectF inner = body.adjusted(frameWidth, frameWidth, -frameWidth, -frameWidth);
    QLinearGradient shine(inner.topLeft(), inner.bottomLeft());
    shine.setColorAt(0, withAlpha(Qt::white, 110));
    shine.setColorAt(0.18, withAlpha(Qt::white, 0));
    shine.setColorAt(0.85, withAlpha(Qt::black, 0));
    shine.setColorAt(1, withAlpha(Qt::black, 40));
    p.setPen(QPen(QBrush(shine), 1.0));
    p.setBrush(Qt::NoBrush);
    const qreal innerRadius = qMax<qreal>(0, radius - frameWidth);
    p.drawRoundedRect(inner.adjusted(0.5, 0.5, -0.5, -0.5), innerRadius, innerRadius);
    p.restore();
}

void well(QPainter &p, const QRectF &r, qreal radius, const QColor &fill, const QColor &frameColour)
{
    p.save();
    const QRectF body = r.adjusted(0.5, 0.5, -0.5, -0.5);
    p.setPen(QPen(frameColour, 1.0));
    p.setBrush(fill);
    p.drawRoundedRect(body, radius, radius);
    // Shade falling from the upper rim, light caught by the lower rim.
    QLinearGradient shade(body.topLeft(), body.bottomLeft());
    const qreal rim = qMin<qreal>(0.5, 5.0 / qMax<qreal>(1, body.height()));
    shade.setColorAt(0, withAlpha(Qt::black, 70));
    shade.setColorAt(rim, withAlpha(Qt::black, 0));
    shade.setColorAt(1, withAlpha(Qt::black, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(shade);
    p.drawRoundedRect(body.adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
    p.setPen(QPen(withAlpha(Qt::white, 90), 1.0));
    p.drawLine(QPointF(body.left() + radius, body.bottom() + 0.5),
               QPointF(body.right() - radius, body.bottom() + 0.5));
    p.restore();
}

void dropShadow(QPainter &p, const QRectF &r, qreal radius, int spread, int alpha)
{
    p.save();
    p.setPen(Qt::NoPen);
    for (int i = spread; i >= 1; --i) {
        const int a = alpha * (spread - i + 1) / (spread * spread);
        p.setBrush(withAlpha(Qt::black, a));
        const QRectF s = r.adjusted(-i, -i + 2, i, i + 2);
        p.drawRoundedRect(s, radius + i, radius + i);
    }
    p.restore();
}

QPainterPath starPath(QPointF centre, qreal outer, qreal inner, int points)
{
    QPainterPath path;
    for (int i = 0; i < points * 2; ++i) {
        const qreal radius = i % 2 == 0 ? outer : inner;
        const qreal angle = -M_PI / 2 + i * M_PI / points;
        const QPointF at = centre + QPointF(radius * qCos(angle), radius * qSin(angle));
        if (i == 0)
            path.moveTo(at);
        else
            path.lineTo(at);
    }
    path.closeSubpath();
    return path;
}

QColor mix(const QColor &a, const QColor &b, qreal t)
{
    const auto lerp = [t](int x, int y) { return qRound(x + (y - x) * t); };
    return QColor(lerp(a.red(), b.red()), lerp(a.green(), b.green()), lerp(a.blue(), b.blue()),
                  lerp(a.alpha(), b.alpha()));
}

QColor withAlpha(QColor c, int alpha)
{
    c.setAlpha(alpha);
    return c;
}

void glossyRed(QPainter &p, const QPainterPath &shape, QPointF light, qreal radius, qreal whiteness)
{
    QRadialGradient fill(light, radius);
    fill.setColorAt(0, mix(palette::red, Qt::white, whiteness));
    fill.setColorAt(0.5, palette::red);
    fill.setColorAt(1, palette::darkRed);
    p.setPen(QPen(palette::darkRedDeep, 0.9, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(fill);
    p.drawPath(shape);
}

void rimmedStrokes(QPainter &p, const QPainterPath &strokes, const QColor &rim, qreal rimWidth, const QColor &ink,
                   qreal inkWidth)
{
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(rim, rimWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(strokes);
    p.setPen(QPen(ink, inkWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(strokes);
}

} // namespace canvas
} // namespace art
