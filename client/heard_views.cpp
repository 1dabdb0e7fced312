#include "client/heard_views.h"

#include "accessibility/spoken.h"
#include "client/board_scale.h"
#include "resources/art/board_layout.h"
#include "resources/art/palette.h"

#include <QAccessible>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QPainter>

namespace layout = art::layout;

namespace {

// The view takes no part in what is seen or clicked; it lies under the controls it speaks for.
void makeUnseen(QWidget *view, const QRect &place)
{
    board_scale::place(view, place);
    view->setAttribute(Qt::WA_TransparentForMouseEvents);
    view->setAttribute(Qt::WA_NoSystemBackground);
    view->setFocusPolicy(Qt::NoFocus);
    view->lower();
}

// A board rectangle in the coordinates of a view placed at `origin` on the board.
QRect onView(const QWidget *view, const QRect &at1x, const QPoint &origin)
{
    return board_scale::scaled(at1x.translated(-origin), board_scale::of(view));
}

const QRect kWordsArea = layout::upperPanel;

} // namespace

WordTable::WordTable(QWidget *board)
    : QWidget(board)
{
    setObjectName(QStringLiteral("table_words"));
    makeUnseen(this, kWordsArea);
}

void WordTable::draw(const BoardState &state)
{
    const bool changed = state.words != state_.words || state.captionWord != state_.captionWord
                         || state.entry != state_.entry;
    state_ = state;
    if (changed) {
        QAccessibleEvent event(this, QAccessible::VisibleDataChanged);
        QAccessible::updateAccessibility(&event);
    }
}

QString WordTable::cell(int row, int column) const
{
    return column == 0 ? spoken::wordCell(state_, row + 1) : spoken::answerCell(state_, row + 1);
}

QString WordTable::columnHeading(int column)
{
    return column == 0 ? QStringLiteral("word") : QStringLiteral("your word");
}

QRect WordTable::cellPlace(int row, int column) const
{
    const int word = row + 1;
    QRect at1x = layout::progressMark(word);
    if (word == state_.captionWord) {
        at1x = column == 0 ? layout::puzzleTile(1).united(layout::puzzleTile(BoardState::kPositions))
                           : layout::entryTile(1).united(layout::entryTile(BoardState::kPositions));
    }
    return onView(this, at1x, kWordsArea.topLeft());
}

SeatList::SeatList(QWidget *board)
    : QWidget(board)
{
    setObjectName(QStringLiteral("list_players"));
    makeUnseen(this, layout::playersPanel);
    setFocusPolicy(Qt::TabFocus);
}

void SeatList::moveTo(int row)
{
    if (items_.isEmpty())
        return;
    current_ = std::clamp(row, 0, int(items_.size()) - 1);
    update();
    QAccessibleEvent event(this, QAccessible::Focus);
    event.setChild(current_);
    QAccessible::updateAccessibility(&event);
}

void SeatList::askForMenu()
{
    const QRect row = itemPlace(current_);
    emit menuAsked(current_ + 1, mapToGlobal(row.bottomLeft()));
}

void SeatList::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Up: moveTo(current_ - 1); break;
    case Qt::Key_Down: moveTo(current_ + 1); break;
    case Qt::Key_Home: moveTo(0); break;
    case Qt::Key_End: moveTo(int(items_.size()) - 1); break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space: askForMenu(); break;
    default: QWidget::keyPressEvent(event); return;
    }
    event->accept();
}

void SeatList::contextMenuEvent(QContextMenuEvent *)
{
    askForMenu();
}

void SeatList::focusInEvent(QFocusEvent *event)
{
    QWidget::focusInEvent(event);
    moveTo(current_);
}

void SeatList::paintEvent(QPaintEvent *)
{
    if (!hasFocus())
        return;
    QPainter painter(this);
    painter.setPen(QPen(art::palette::darkRed, 1, Qt::DotLine));
    painter.drawRect(itemPlace(current_).adjusted(0, 0, -1, -1));
}

void SeatList::setItems(const QStringList &items)
{
    if (items == items_)
        return;
    items_ = items;
    QAccessibleEvent event(this, QAccessible::VisibleDataChanged);
    QAccessible::updateAccessibility(&event);
}

QRect SeatList::itemPlace(int row) const
{
    const QRect at1x(layout::eyesLeft, layout::seatRowTops[size_t(row)], layout::playersPanel.right() - layout::eyesLeft,
                     layout::seatRowHeight);
    return onView(this, at1x, layout::playersPanel.topLeft());
}
