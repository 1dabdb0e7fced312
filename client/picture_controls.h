#pragma once

#include "resources/art/art.h"

#include <QAccessible>
#include <QLabel>
#include <QPushButton>

#include <functional>

// A button that is all picture: one of the plates, drawn as it looks at rest, under the mouse and
// pressed, at the screen's pixel ratio. A click never takes the keyboard focus, so it leaves the
// keys where they were; Tab reaches it (a dotted frame shows it), and Space presses it. Name it
// for screen readers with setAccessibleName: it has no text of its own.
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

// A picture or caption that reacts to a click (the "Type In Chat" box and its caption, the logo).
// Given a role (a check box, a link) it is a control: a screen reader names it in that role, and
// when it takes the keyboard focus (Tab) Space or Enter clicks it.
class ClickLabel : public QLabel
{
    Q_OBJECT
public:
    using QLabel::QLabel;

    void setRole(QAccessible::Role role) { role_ = role; }
    QAccessible::Role role() const { return role_; }
    // A check box's state, as the screen reader tells it.
    void setChecked(bool checked);
    bool isChecked() const { return checked_; }
    void click() { emit clicked(); }

signals:
    void clicked();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    // The press is the control's own: it does not reach the board behind it as a click on the
    // board (which would hand the board the keys before the box is toggled).
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QAccessible::Role role_ = QAccessible::NoRole;
    bool checked_ = false;
};
