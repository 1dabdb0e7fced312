#pragma once

#include <QWidget>

// The main window's middle: the board on the warm backdrop. At the starting size the board sits
// at the top left as it always has; a larger window draws the board larger (by sixteenths, up to
// three times), centred in the room it has.
class BoardStage : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kMargin = 4;
    static constexpr qreal kLargestScale = 3;

    explicit BoardStage(QWidget *parent = nullptr);
    void setBoard(QWidget *board);
    qreal scale() const { return scale_; }

    // The largest scale whose board, with its margin, fits the room.
    static qreal fittingScale(const QSize &room);

signals:
    void scaleChanged(qreal scale);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void fitBoard();

    QWidget *board_ = nullptr;
    qreal scale_ = 1;
};
