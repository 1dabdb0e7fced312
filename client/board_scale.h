#pragma once

#include <QFont>
#include <QPixmap>
#include <QRect>

#include <functional>

class QLabel;
class QWidget;

// The board drawn bigger when the window is. Every control on the board is placed, lettered and
// pictured by its numbers at the starting size; the board's scale turns those numbers into
// pixels, and a change of scale places, letters and pictures every control again. Pictures are
// drawn anew at the new size, so they stay as crisp as the text. At scale 1 nothing differs from
// a board that knows nothing of scales.
namespace board_scale {

// A picture drawn at a device pixel ratio (the art's functions).
using Picture = std::function<QPixmap(qreal dpr)>;

// Each edge rounded on its own, so that controls that touch at the starting size still touch.
QRect scaled(const QRect &at1x, qreal scale);
// A length at the starting size, at the scale.
int scaled(int at1x, qreal scale);

// The scale of the board a control sits on; 1 for a control off the board.
qreal of(const QWidget *control);

// A control's place, size or position in its parent at the starting size.
void place(QWidget *control, const QRect &at1x);
void resize(QWidget *control, const QSize &at1x);
void move(QWidget *control, const QPoint &at1x);
// A text label whose box grows with its text when the scaled font needs a little more room.
void placeFitted(QLabel *label, const QPoint &at1x);
// A control's font at the starting size (pixel or point sized).
void letter(QWidget *control, const QFont &at1x);
// A picture label's picture; drawn again at every scale. An empty picture clears the label.
void show(QLabel *label, const Picture &picture);

// The picture as a control paints it: drawn at the screen's ratio times the scale, and as big as
// the scale makes it on the screen.
QPixmap picture(const QWidget *control, const Picture &picture);

// Sets the board's scale and places, letters and pictures every control on it again.
void apply(QWidget *board, qreal scale);

} // namespace board_scale
