#include "client/heard_views.h"

#include "accessibility/spoken.h"
#include "client/board_scale.h"
#include "resources/art/board_layout.h"

#include <QAccessible>

namespace layout = art::layout;

namespace {

// The view takes no part in what is seen or clicked.
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
