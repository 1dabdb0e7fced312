#include "client/board_stage.h"

#include "client/board_scale.h"
#include "resources/art/board_layout.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kStepsPerSize = 16;

} // namespace

BoardStage::BoardStage(QWidget *parent)
    : QWidget(parent)
{
    setMinimumSize(art::layout::boardSize + QSize(kMargin, kMargin));
}

void BoardStage::setBoard(QWidget *board)
{
    board_ = board;
    board_->setFixedSize(art::layout::boardSize);
    board_->move(0, 0);
    fitBoard();
}

qreal BoardStage::fittingScale(const QSize &room)
{
    const QSize least = art::layout::boardSize + QSize(kMargin, kMargin);
    const qreal fit = std::min(qreal(room.width()) / least.width(), qreal(room.height()) / least.height());
    return std::clamp(std::floor(fit * kStepsPerSize) / kStepsPerSize, qreal(1), kLargestScale);
}

void BoardStage::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    fitBoard();
}

void BoardStage::fitBoard()
{
    if (!board_)
        return;
    const qreal scale = fittingScale(size());
    const QSize boardSize = board_scale::scaled(QRect(QPoint(0, 0), art::layout::boardSize), scale).size();
    if (scale != scale_) {
        scale_ = scale;
        board_->setFixedSize(boardSize);
        board_scale::apply(board_, scale);
        emit scaleChanged(scale);
    }
    // At the starting size the board keeps its old place; larger, it stands in the middle.
    board_->move(scale == 1 ? QPoint(0, 0) : QPoint((width() - boardSize.width()) / 2, (height() - boardSize.height()) / 2));
}
