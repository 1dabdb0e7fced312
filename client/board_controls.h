#pragma once

#include <QColor>
#include <QFont>
#include <QPixmap>
#include <QRect>
#include <QWidget>

#include <functional>

class QLabel;

// The board's texts are Arial at fixed pixel sizes.
QFont boardFont(int pixelSize, bool bold = false);

// A text label at its place. The text is always plain: names and words come from other players.
QLabel *textLabel(QWidget *parent, const QString &objectName, const QRect &place, const QFont &font,
                  Qt::Alignment alignment, const QColor &colour = QColor());

// A picture at its place, hidden until something shows it.
QLabel *pictureLabel(QWidget *parent, const QString &objectName, const QRect &place, const QPixmap &picture);

// Moves a small window to the middle of the main window.
void centreOver(QWidget *window, const QWidget *mainWindow);

// A fixed picture drawn behind the controls laid over it (the board, the results panel, ...).
class Backdrop : public QWidget
{
public:
    Backdrop(std::function<QPixmap()> picture, QWidget *parent);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    std::function<QPixmap()> picture_;
};
