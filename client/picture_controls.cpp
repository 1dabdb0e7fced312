#include "client/picture_controls.h"

#include "client/board_scale.h"
#include "resources/art/palette.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

PlateButton::PlateButton(const QString &objectName, Plate plate, QWidget *parent)
    : QPushButton(parent)
    , plate_(std::move(plate))
{
    setObjectName(objectName);
    // Reached by Tab only: a click leaves the keyboard where it was.
    setFocusPolicy(Qt::TabFocus);
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
    // A plate reached by Tab shows that it has the keyboard.
    if (hasFocus()) {
        QPen dots(art::palette::peachLight, 1, Qt::DotLine);
        painter.setPen(dots);
        const int inset = std::min(5, height() / 7);
        painter.drawRect(rect().adjusted(inset, inset, -inset - 1, -inset - 1));
    }
}

void ClickLabel::setChecked(bool checked)
{
    if (checked == checked_)
        return;
    checked_ = checked;
    QAccessible::State changed;
    changed.checked = true;
    QAccessibleStateChangeEvent event(this, changed);
    QAccessible::updateAccessibility(&event);
}

void ClickLabel::keyPressEvent(QKeyEvent *event)
{
    const int key = event->key();
    if (event->modifiers() == Qt::NoModifier && (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter)) {
        click();
        event->accept();
        return;
    }
    QLabel::keyPressEvent(event);
}

void ClickLabel::paintEvent(QPaintEvent *event)
{
    QLabel::paintEvent(event);
    // Reached by Tab, it shows it has the keyboard.
    if (hasFocus()) {
        QPainter painter(this);
        painter.setPen(QPen(art::palette::darkRed, 1, Qt::DotLine));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
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
