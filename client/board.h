#pragma once

#include <QLabel>
#include <QObject>
#include <QString>

#include <array>

class ClickLabel;
class PlateButton;
class TileSet;

// One 44 by 44 tile of the board. It keeps its letter code (0 the blank tile, 1 to 26 the
// letters) and is always drawn from it; its picture can be taken away while the code stays.
class Tile : public QLabel
{
public:
    Tile(const QString &objectName, const QRect &place, QWidget *parent);
    int code() const { return code_; }
    void setCode(int code) { code_ = code; }
    void draw(const TileSet &tiles);
    void removePicture() { clear(); }
    bool showsPicture() const { return !pixmap().isNull(); }

private:
    int code_ = 0;
};

// The puzzle board's own controls in the upper part of the main board: the word caption, the
// puzzle row and the entry row, the progress marks, Pass and Clear, the good-job picture, the
// status line and the "Type In Chat" box. It shows what it is told; the main window decides.
class Board : public QObject
{
    Q_OBJECT
public:
    static constexpr int kPositions = 5;
    static constexpr int kWords = 10;

    Board(QWidget *board, const TileSet &tiles);

    // Letter code of a character of a masked word: "a" to "z" give 1 to 26, anything else 0.
    static int numofletter(char c);
    // The word caption of a word number: "First Word" ... "Last Word", empty outside 1 to 10.
    static QString wordCaption(int wordNumber);

    // The puzzle row shows the masked word and the caption its number; nothing happens for an
    // empty word or a word number below 1.
    void setword(int wordNumber, const QByteArray &masked);
    void setWordCaption(const QString &text);

    // ---- the entry row, filled from the left
    int typedCount() const { return typed_; }
    // Puts a letter at the next position; false when all five are filled (the letter is dropped).
    bool typeLetter(int code);
    // Blanks the last typed position; false when nothing was typed.
    bool backspace();
    // All five positions blank and drawn, nothing typed.
    void clearEntry();
    bool entryComplete() const;
    std::array<int, kPositions> entryCodes() const;

    // Both rows: the pictures go, the codes stay (a board reset); or both rows emptied altogether
    // (a finished list).
    void removeTilePictures();
    void emptyRows();
    // Every tile drawn again from its code, with the current pictures.
    void redrawtiles();

    void showMark(int wordNumber);
    void hideMarks();
    void setButtonsVisible(bool visible);
    void setGoodJobVisible(bool visible);
    bool goodJobVisible() const;
    void setStatus(const QString &text);
    QString status() const;
    void showTyping(bool on);

    Tile *puzzleTile(int position) const { return puzzle_[size_t(position - 1)]; }
    Tile *entryTile(int position) const { return entry_[size_t(position - 1)]; }
    QLabel *mark(int wordNumber) const { return marks_[size_t(wordNumber - 1)]; }

signals:
    void passClicked();
    void clearClicked();
    void typingClicked();

private:
    const TileSet &tiles_;
    std::array<Tile *, kPositions> puzzle_ {};
    std::array<Tile *, kPositions> entry_ {};
    std::array<QLabel *, kWords> marks_ {};
    int typed_ = 0;
    QLabel *label_wordcount = nullptr;
    QLabel *label_status = nullptr;
    QLabel *image_goodjob = nullptr;
    PlateButton *button_pass = nullptr;
    PlateButton *button_clear = nullptr;
    ClickLabel *checkbox_typing = nullptr;
    ClickLabel *label_typing = nullptr;
};
