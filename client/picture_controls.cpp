#include "client/picture_controls.h"

#include "client/board_scale.h"
#include "resources/art/palette.h"

#include <QMouseEvent>
#include <QPainter>

PlateButton::PlateButton(const QString &objectName, Plate plate, QWidget *parent)
    : QPushButton(parent)
    , plate_(std::move(plate))
{
    setObjectName(objectName);
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::PointingHandCursor);
    setAttribute(Qt::WA_Hover);
}

void PlateButton::paintEvent(QPaintEvent *)
{
    art::PlateState state = art::PlateState::Normal;
    if (isDown())
        state = art::PlateState::Pressed;
    else if (underMouse())
        state = art::PlateState::Hover;
    QPainter painter(this);
    painter.drawPixmap(0, 0, board_scale::picture(this, [this, state](qreal dpr) { return plate_(state, dpr); }));
    // Only a plate that takes the keyboard (a dialog's button) ever shows it has it.
    if (hasFocus()) {
        QPen dots(art::palette::peachLight, 1, Qt::DotLine);
        painter.setPen(dots);
        painter.drawRect(rect().adjusted(5, 5, -6, -6));
    }
}

void ClickLabel::mousePressEvent(QMouseEvent *event)
{
    QLabel::mousePressEvent(event);
    if (event->button() == Qt::LeftButton)
        event->accept();
}

void ClickLabel::mouseReleaseEvent(QMouseEvent *event)
{
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}
