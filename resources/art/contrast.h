#pragma once

#include <QColor>

// How well one colour reads on another, as the web's accessibility guidelines measure it, and
// the nearest colour that reads.
namespace art {

// Text reads comfortably on its background from this contrast ratio on.
constexpr qreal kReadableContrast = 4.5;

// Relative luminance, 0 (black) to 1 (white).
qreal luminance(const QColor &colour);
// From 1 (the same) to 21 (black on white), whichever of the two is lighter.
qreal contrast(const QColor &a, const QColor &b);

// `colour` itself when it reads on `background`; otherwise the same colour made darker (mixed
// with black) or lighter (mixed with white), whichever needs less, just enough to reach the
// ratio. Black or white when neither way reaches it.
QColor readableOn(const QColor &colour, const QColor &background, qreal ratio = kReadableContrast);

} // namespace art
