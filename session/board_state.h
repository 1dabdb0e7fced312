#pragma once

#include "protocol/constants.h"

#include <QByteArray>
#include <QString>

#include <array>

// One tile of the board: its letter code (0 the blank tile, 1 to 26 the letters) and whether its
// picture is shown. A board reset takes the pictures away and leaves the codes; a redraw shows
// every tile from its code again.
struct TileState {
    int code = 0;
    bool drawn = false;
    friend bool operator==(const TileState &, const TileState &) = default;
};

// What the player made of one word of the round: its masked word once the board has shown it,
// and the player's last answer with the host's verdict. The progress mark shows the verdict.
struct WordRecord {
    enum class Mark { None, Done, Refused };
    QByteArray masked;
    QString answer; // in capitals
    Mark mark = Mark::None;
    QString reason; // why the answer was refused ("Invalid Word", "Invalid Match")
    friend bool operator==(const WordRecord &, const WordRecord &) = default;
};

// The puzzle board as the player sees it: the masked word and its caption, the letters typed so
// far, the round's words with their progress marks, the Pass and Clear buttons, the good-job
// picture, the status line and where the keyboard goes.
struct BoardState {
    static constexpr int kPositions = proto::kWordLength;
    static constexpr int kWords = proto::kWordsPerRound;

    std::array<TileState, kPositions> puzzle {};
    std::array<TileState, kPositions> entry {};
    int typed = 0;       // entry positions filled from the left
    int captionWord = 0; // the word number the caption names; none outside 1 to 10
    std::array<WordRecord, kWords> words {}; // by word number

    bool buttons = false; // Pass and Clear
    bool goodJob = false;
    QString status = QStringLiteral("Welcome to Vrel by Kovren Software");
    bool typeInChat = true; // the keyboard belongs to the chat entry

    // Letter code of a character of a masked word: "a" to "z" give 1 to 26, anything else 0.
    static int numofletter(char c);
    // "First Word" ... "Last Word"; empty outside 1 to 10.
    static QString wordCaption(int wordNumber);
    QString caption() const { return wordCaption(captionWord); }

    // The puzzle row shows the masked word and the caption its number; nothing happens for an
    // empty word or a word number below 1.
    void setword(int wordNumber, const QByteArray &masked);
    // A letter at the next position; false when all five are filled (the letter is dropped).
    bool typeLetter(int code);
    // Blanks the last typed position; false when nothing was typed.
    bool backspace();
    // All five positions blank and shown, nothing typed.
    void clearEntry();
    bool entryComplete() const;
    std::array<int, kPositions> entryCodes() const;
    // The letters typed so far, in capitals.
    QString entryText() const;
    // Both rows: the pictures go and the codes stay (a board reset), or both rows are emptied
    // altogether (a finished list), or every tile is shown again from its code.
    void removeTilePictures();
    void emptyRows();
    void redrawtiles();
    // The answer to a word was accepted (a check) or refused (a cross); word numbers outside 1 to
    // 10 are passed over.
    void accept(int wordNumber, const QString &answer);
    void refuse(int wordNumber, const QString &answer, const QString &reason);
    // A new round: no word shown, answered or marked.
    void forgetWords() { words.fill({}); }
    WordRecord::Mark mark(int wordNumber) const { return words[size_t(wordNumber - 1)].mark; }
};
