#pragma once

#include "resources/art/art.h"

#include <QLabel>
#include <QPushButton>

#include <functional>

// A button that is all picture: one of the plates, drawn as it looks at rest, under the mouse and
// pressed, at the screen's pixel ratio. On the board it never takes the keyboard focus, so
// clicking it leaves the keys where they were; a dialog may let it take the focus (Tab), and it
// then shows a dotted frame.
class PlateButton : public QPushButton
{
    Q_OBJECT
public:
    using Plate = std::function<QPixmap(art::PlateState, qreal dpr)>;

    PlateButton(const QString &objectName, Plate plate, QWidget *parent);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    Plate plate_;
};

// A picture or caption that reacts to a click (the "Type In Chat" box and its caption).
class ClickLabel : public QLabel
{
    Q_OBJECT
public:
    using QLabel::QLabel;

signals:
    void clicked();

protected:
    // The press is the control's own: it does not reach the board behind it as a click on the
    // board (which would hand the board the keys before the box is toggled).
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
};
