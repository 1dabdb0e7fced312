#pragma once

#include "session/board_state.h"

#include <QStringList>
#include <QWidget>

// Views that are heard, not seen: they lie over the board's own controls, draw nothing and take
// no clicks, and give a screen reader the board's contents in words (their accessible interfaces
// are in accessible_interfaces).

// The round's ten words as a table of two columns: the word as dealt ("word 3 of 10, R blank V
// blank T") and the player's answer ("your word: ROVET, accepted").
class WordTable : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kColumns = 2;

    explicit WordTable(QWidget *board);

    void draw(const BoardState &state);
    int rows() const { return BoardState::kWords; }
    // The cell's words (row and column from 0).
    QString cell(int row, int column) const;
    static QString columnHeading(int column);
    // Where the cell shows on the board, in this view's coordinates: the puzzle and entry rows for
    // the word on the board, the word's progress mark for the others.
    QRect cellPlace(int row, int column) const;

private:
    BoardState state_;
};

// The six seat rows as a list: "Ann, 45 points, 6 words, watching". Tab reaches it: the arrow
// keys move along the rows (a frame shows which), and the menu key, Enter or Space opens the seat
// menu on the row, as a right click on its name does.
class SeatList : public QWidget
{
    Q_OBJECT
public:
    explicit SeatList(QWidget *board);

    void setItems(const QStringList &items);
    const QStringList &items() const { return items_; }
    // The row's place in this view's coordinates.
    QRect itemPlace(int row) const;
    // The row the keyboard is on, from 0.
    int currentRow() const { return current_; }

signals:
    // The seat menu is asked for on a seat (1 to 6), to open at that point of the screen.
    void menuAsked(int seat, const QPoint &at);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void moveTo(int row);
    void askForMenu();

    QStringList items_;
    int current_ = 0;
};
