#include "session/board_state.h"

int BoardState::numofletter(char c)
{
    return c >= 'a' && c <= 'z' ? c - 'a' + 1 : 0;
}

QString BoardState::wordCaption(int wordNumber)
{
    static const char *const captions[kWords] = {
        "First Word", "Second Word", "Third Word", "Fourth Word", "Fifth Word",
        "Sixth Word", "Seventh Word", "Eight Word", "Ninth Word",  "Last Word",
    };
    if (wordNumber < 1 || wordNumber > kWords)
        return {};
    return QString::fromLatin1(captions[wordNumber - 1]);
}

void BoardState::setword(int wordNumber, const QByteArray &masked)
{
    if (masked.isEmpty() || wordNumber <= 0)
        return;
    captionWord = wordNumber;
    if (wordNumber <= kWords)
        words[size_t(wordNumber - 1)].masked = masked.left(kPositions);
    for (int i = 0; i < kPositions; ++i)
        puzzle[size_t(i)] = {i < masked.size() ? numofletter(masked.at(i)) : 0, true};
}

bool BoardState::typeLetter(int code)
{
    if (typed >= kPositions)
        return false;
    entry[size_t(typed++)] = {code, true};
    return true;
}

bool BoardState::backspace()
{
    if (typed < 1)
        return false;
    entry[size_t(--typed)] = {0, true};
    return true;
}

void BoardState::clearEntry()
{
    entry.fill({0, true});
    typed = 0;
}

bool BoardState::entryComplete() const
{
    for (const TileState &tile : entry) {
        if (tile.code == 0)
            return false;
    }
    return true;
}

std::array<int, BoardState::kPositions> BoardState::entryCodes() const
{
    std::array<int, kPositions> codes {};
    for (size_t i = 0; i < codes.size(); ++i)
        codes[i] = entry[i].code;
    return codes;
}

QString BoardState::entryText() const
{
    QString text;
    for (int i = 0; i < typed; ++i)
        text += entry[size_t(i)].code >= 1 && entry[size_t(i)].code <= 26 ? QChar(u'A' + entry[size_t(i)].code - 1) : QChar(u' ');
    return text;
}

void BoardState::removeTilePictures()
{
    for (TileState &tile : puzzle)
        tile.drawn = false;
    for (TileState &tile : entry)
        tile.drawn = false;
}

void BoardState::emptyRows()
{
    puzzle.fill({});
    entry.fill({});
    typed = 0;
}

void BoardState::redrawtiles()
{
    for (TileState &tile : puzzle)
        tile.drawn = true;
    for (TileState &tile : entry)
        tile.drawn = true;
}

void BoardState::accept(int wordNumber, const QString &answer)
{
    if (wordNumber < 1 || wordNumber > kWords)
        return;
    WordRecord &word = words[size_t(wordNumber - 1)];
    word.answer = answer;
    word.mark = WordRecord::Mark::Done;
    word.reason.clear();
}

void BoardState::refuse(int wordNumber, const QString &answer, const QString &reason)
{
    if (wordNumber < 1 || wordNumber > kWords)
        return;
    WordRecord &word = words[size_t(wordNumber - 1)];
    word.answer = answer;
    word.mark = WordRecord::Mark::Refused;
    word.reason = reason;
}
