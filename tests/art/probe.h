#pragma once

#include <QColor>
#include <QImage>
#include <QPixmap>
#include <QRect>
#include <functional>

// Reading pictures back pixel by pixel, in logical coordinates.
namespace probe {

struct Picture {
    explicit Picture(const QPixmap &pixmap);
    QColor at(qreal x, qreal y) const; // logical point
    qreal dpr;
    QImage image;                       // device pixels, ARGB32 (not premultiplied)
};

// Relative luminance and contrast ratio as the web's accessibility guidelines define them.
qreal luminance(const QColor &c);
qreal contrast(const QColor &a, const QColor &b);
// The lowest contrast of `text` against any pixel of `area` (logical).
qreal worstContrast(const Picture &picture, const QRect &area, const QColor &text);
// Number of device pixels inside `area` (logical; the whole picture when empty) that match.
int count(const Picture &picture, const std::function<bool(const QColor &)> &match, QRect area = {});

bool isDarkRedInk(const QColor &c);
bool isOrange(const QColor &c);
bool isPeachy(const QColor &c);
bool isRed(const QColor &c);

} // namespace probe
