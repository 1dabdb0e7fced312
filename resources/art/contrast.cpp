#include "resources/art/contrast.h"

#include <QtMath>

#include <algorithm>
#include <optional>

namespace art {

namespace {

qreal linear(int channel)
{
    const qreal s = channel / 255.0;
    return s <= 0.04045 ? s / 12.92 : qPow((s + 0.055) / 1.055, 2.4);
}

// The colour moved a share `t` (0 to 1) of the way to `end` (black or white), each channel
// rounded away from the colour so that the result is never short of the share.
QColor mixed(const QColor &colour, const QColor &end, qreal t)
{
    const auto channel = [t](int from, int to) {
        const qreal exact = from + (to - from) * t;
        return int(to > from ? qCeil(exact - 1e-9) : qFloor(exact + 1e-9));
    };
    return QColor(channel(colour.red(), end.red()), channel(colour.green(), end.green()),
                  channel(colour.blue(), end.blue()));
}

// The smallest share of the way to `end` at which the colour reads on the background, if any.
std::optional<qreal> shareToRead(const QColor &colour, const QColor &end, const QColor &background, qreal ratio)
{
    if (contrast(end, background) < ratio)
        return std::nullopt;
    // On the way to black or white the luminance only falls or rises, and past the background's
    // luminance the contrast only grows: the first share that reads is found by halving.
    qreal low = 0, high = 1;
    for (int step = 0; step < 24; ++step) {
        const qreal middle = (low + high) / 2;
        const QColor tried = mixed(colour, end, middle);
        const bool pastBackground = (luminance(end) < luminance(background)) == (luminance(tried) < luminance(background));
        if (pastBackground && contrast(tried, background) >= ratio)
            high = middle;
        else
            low = middle;
    }
    return high;
}

} // namespace

qreal luminance(const QColor &colour)
{
    const QColor rgb = colour.toRgb();
    return 0.2126 * linear(rgb.red()) + 0.7152 * linear(rgb.green()) + 0.0722 * linear(rgb.blue());
}

qreal contrast(const QColor &a, const QColor &b)
{
    const qreal la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor readableOn(const QColor &colour, const QColor &background, qreal ratio)
{
    const QColor rgb = colour.toRgb();
    if (contrast(rgb, background) >= ratio)
        return colour;
    const std::optional<qreal> darker = shareToRead(rgb, Qt::black, background, ratio);
    const std::optional<qreal> lighter = shareToRead(rgb, Qt::white, background, ratio);
    if (darker && (!lighter || *darker <= *lighter))
        return mixed(rgb, Qt::black, *darker);
    if (lighter)
        return mixed(rgb, Qt::white, *lighter);
    return contrast(Qt::black, background) >= contrast(Qt::white, background) ? QColor(Qt::black) : QColor(Qt::white);
}

} // namespace art
