#pragma once

#include "client/board_scale.h"

#include <QColor>
#include <QFont>
#include <QPixmap>
#include <QRect>
#include <QWidget>

#include <functional>

class QLabel;

// The board's texts are Arial at fixed pixel sizes.
QFont boardFont(int pixelSize, bool bold = false);

// Sets the colour a widget writes its text in. Every text on the board has its colour set, so the
// desktop's theme (a dark one, say) never writes light text on the peach and orange pictures.
void setTextColour(QWidget *widget, const QColor &colour);

// A text field or list that stays black on white whatever the theme.
void setFieldColours(QWidget *field);

// A text label at its place, black unless told otherwise. The text is always plain: names and
// words come from other players.
QLabel *textLabel(QWidget *parent, const QString &objectName, const QRect &place, const QFont &font,
                  Qt::Alignment alignment, const QColor &colour = Qt::black);

// Shows a name in a label, cut short with an ellipsis when it is wider than the label; the
// whole name is then the label's tooltip.
void setElidedText(QLabel *label, const QString &text);

// A picture at its place, hidden until something shows it.
QLabel *pictureLabel(QWidget *parent, const QString &objectName, const QRect &place, const board_scale::Picture &picture);

// Moves a small window to the middle of the main window.
void centreOver(QWidget *window, const QWidget *mainWindow);

// A fixed picture drawn behind the controls laid over it (the board, the results panel, ...).
class Backdrop : public QWidget
{
public:
    Backdrop(board_scale::Picture picture, QWidget *parent);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    board_scale::Picture picture_;
    QPixmap shown_;
    qreal shownScale_ = 0;
    qreal shownRatio_ = 0;
};
