#pragma once

#include <QChar>
#include <QRectF>

class QPainter;

// Pictures that are also drawn inside bigger pictures (the board background carries the numbered
// boxes and decorative tiles). Not part of the library's interface.
namespace art::pieces {

// A classic tile of any size; a null letter gives the blank tile.
void letterTile(QPainter &p, const QRectF &r, QChar letter);
// The game's name on four tiles of `size`, slightly askew as if just laid, from `first` (the
// first tile's top left) down the board's margin or across.
void nameTiles(QPainter &p, QPointF first, qreal size, qreal gap, Qt::Orientation direction);
void numberBox(QPainter &p, const QRectF &r, int n);
// The warm backdrop behind the panels.
void backdrop(QPainter &p, const QRectF &r);

} // namespace art::pieces
