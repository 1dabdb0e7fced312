#include "tests/art/probe.h"

#include <QtMath>
#include <algorithm>

namespace probe {

Picture::Picture(const QPixmap &pixmap)
    : dpr(pixmap.devicePixelRatio()), image(pixmap.toImage().convertToFormat(QImage::Format_ARGB32))
{
}

QColor Picture::at(qreal x, qreal y) const
{
    return image.pixelColor(qFloor(x * dpr), qFloor(y * dpr));
}

qreal luminance(const QColor &c)
{
    const auto channel = [](int v) {
        const qreal s = v / 255.0;
        return s <= 0.03928 ? s / 12.92 : qPow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c.red()) + 0.7152 * channel(c.green()) + 0.0722 * channel(c.blue());
}

qreal contrast(const QColor &a, const QColor &b)
{
    const qreal la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

namespace {

QRect devicePixels(const Picture &picture, QRect area)
{
    if (area.isEmpty())
        return picture.image.rect();
    const QRect device(qFloor(area.left() * picture.dpr), qFloor(area.top() * picture.dpr),
                       qCeil(area.width() * picture.dpr), qCeil(area.height() * picture.dpr));
    return device.intersected(picture.image.rect());
}

} // namespace

qreal worstContrast(const Picture &picture, const QRect &area, const QColor &text)
{
    qreal worst = 21;
    const QRect device = devicePixels(picture, area);
    for (int y = device.top(); y <= device.bottom(); ++y)
        for (int x = device.left(); x <= device.right(); ++x)
            worst = std::min(worst, contrast(picture.image.pixelColor(x, y), text));
    return worst;
}

int count(const Picture &picture, const std::function<bool(const QColor &)> &match, QRect area)
{
    int n = 0;
    const QRect device = devicePixels(picture, area);
    for (int y = device.top(); y <= device.bottom(); ++y)
        for (int x = device.left(); x <= device.right(); ++x)
            n += match(picture.image.pixelColor(x, y)) ? 1 : 0;
    return n;
}

bool isDarkRedInk(const QColor &c)
{
    return c.alpha() > 200 && c.red() < 200 && c.red() > 2 * c.green() && c.green() < 90;
}

bool isOrange(const QColor &c)
{
    return c.alpha() > 200 && c.red() > 200 && c.green() >= 110 && c.green() <= 200 && c.blue() < 130;
}

bool isPeachy(const QColor &c)
{
    return c.alpha() > 200 && c.red() > 230 && c.green() > 170 && c.blue() > 120 && c.blue() < 230;
}

bool isRed(const QColor &c)
{
    return c.alpha() > 200 && c.red() > 150 && c.green() < 80 && c.blue() < 80;
}

} // namespace probe
