#pragma once

#include "session/board_state.h"

#include <QLabel>
#include <QPushButton>
#include <QObject>
#include <QString>

#include <array>

class ClickLabel;
class EntryOutline;
class PlateButton;
class TileSet;
class WordTable;

// One 44 by 44 tile of the board, drawn from its letter code with the current tile pictures; a
// screen reader says it as `spokenAs` and the letter ("your letter 2: blank").
class Tile : public QLabel
{
public:
    Tile(const QString &objectName, const QString &spokenAs, const QRect &place, QWidget *parent);
    int code() const { return code_; }
    void draw(const TileState &state, const TileSet &tiles);
    bool showsPicture() const { return !pixmap().isNull(); }

private:
    QString spokenAs_;
    int code_ = 0;
};

// The puzzle board's own controls in the upper part of the main board: the word caption, the
// puzzle row and the entry row, the progress marks, Pass and Clear, the good-job picture, the
// status line and the "Type In Chat" box. It draws the session's board and reports clicks.
class Board : public QObject
{
    Q_OBJECT
public:
    Board(QWidget *board, const TileSet &tiles);

    // With `hasKeys` the entry row is outlined: the board takes the keyboard.
    void draw(const BoardState &state, bool hasKeys);
    // The control that holds the keyboard while the board has it; keys it has no use for go on
    // to `elsewhere`.
    QWidget *keyTarget() const;
    void setKeysElsewhere(QWidget *elsewhere);

    Tile *puzzleTile(int position) const { return puzzle_[size_t(position - 1)]; }
    Tile *entryTile(int position) const { return entry_[size_t(position - 1)]; }
    QLabel *mark(int wordNumber) const { return marks_[size_t(wordNumber - 1)]; }
    WordTable *wordTable() const { return table_; }
    QPushButton *passButton() const;
    QPushButton *clearButton() const;
    // The "Type In Chat" box.
    ClickLabel *typingBox() const { return checkbox_typing; }
    QString status() const;
    // While a connection is being made the status line tells how it comes on; an empty text
    // gives the line back to the board's own status.
    void showProgress(const QString &text);

signals:
    void passClicked();
    void clearClicked();
    void typingClicked();

private:
    void drawMark(int wordNumber, WordRecord::Mark kind);

    const TileSet &tiles_;
    std::array<Tile *, BoardState::kPositions> puzzle_ {};
    std::array<Tile *, BoardState::kPositions> entry_ {};
    std::array<QLabel *, BoardState::kWords> marks_ {};
    std::array<WordRecord::Mark, BoardState::kWords> marksShown_ {}; // the pictures the marks hold
    WordTable *table_ = nullptr;
    QLabel *label_wordcount = nullptr;
    QLabel *label_status = nullptr;
    QLabel *image_goodjob = nullptr;
    PlateButton *button_pass = nullptr;
    PlateButton *button_clear = nullptr;
    ClickLabel *checkbox_typing = nullptr;
    ClickLabel *label_typing = nullptr;
    EntryOutline *outline_ = nullptr;
    QString status_;
    QString progress_;
    bool typingShown_ = false;
    bool typingDrawn_ = false;
};
