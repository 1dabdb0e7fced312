// The main window's view of a game as the host runs it: the start, each round and turn, the
// clock, the word counts, the end of a list and of a round, the round results and the winner.

#include "client/tchat.h"

#include "client/board.h"
#include "client/message_box.h"
#include "client/results_panel.h"
#include "client/round_display.h"
#include "client/seat_rows.h"
#include "client/winner_banner.h"
#include "engine/wire.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>

namespace {

// Kinds of the entries of the round results.
enum ScoreEntry { SourceWordKept = 0, OtherWord = 1, RoundScore = 2, TotalScore = 3, ListCompleted = 4, SourceWord = 5 };

enum Phase { WordPhase = 1, ResultsPhase = 2 };

bool isPlayerSeat(int seat)
{
    return seat >= 1 && seat <= ClientState::kPlayerSeats;
}

} // namespace

void Tchat::button_startClick()
{
    if (!state_.connected) {
        messagebox::show(this, QStringLiteral("You are not connected"));
        return;
    }
    if (!gamestart_)
        return;
    gamestart_->show();
    gamestart_->raise();
    gamestart_->activateWindow();
}

void Tchat::turntimeTimer()
{
    roundDisplay_->tick();
}

void Tchat::setManualTurnClock(bool manual)
{
    roundDisplay_->setManualClock(manual);
}

void Tchat::clearall()
{
    puzzleBoard_->setGoodJobVisible(false);
    puzzleBoard_->setButtonsVisible(false);
    puzzleBoard_->hideMarks();
    puzzleBoard_->removeTilePictures();
    for (int seat = 1; seat <= ClientState::kPlayerSeats; ++seat) {
        seatRows_->score(seat)->setText(QStringLiteral("0"));
        seatRows_->words(seat)->clear();
        resultsPanel_->roundScore(columnOfSeat(seat))->clear();
    }
}

void Tchat::startTurn()
{
    switchToBoard();
    state_.entrySeat = state_.localSeat;
    puzzleBoard_->setButtonsVisible(true);
    playsounds(turnSound_);
}

// ---------------------------------------------------------------- game, round, turn

void Tchat::startthegame(const QByteArray &data)
{
    const QList<QByteArray> fields = data.split(wire::kSeparator);
    puzzleBoard_->setGoodJobVisible(false);
    roundDisplay_->stop();
    button_start->hide();
    winnerBanner_->hide();
    resultsPanel_->hide();
    clearall();
    systemLine(QString::fromUtf8(fields.value(0)) + QStringLiteral(" has started a game."));
    const std::optional<int> seconds = wire::toNumber(fields.value(2));
    roundDisplay_->setGame(QString::fromUtf8(fields.value(1)), seconds.value_or(roundDisplay_->turnSeconds()));
}

void Tchat::startround(const QByteArray &data)
{
    puzzleBoard_->setGoodJobVisible(false);
    const std::optional<int> round = wire::toNumber(data.split(wire::kSeparator).value(0));
    if (!round)
        return;
    roundDisplay_->setRoundCaption(*round);
    resultsPanel_->hide();
    for (int seat = 1; seat <= ClientState::kPlayerSeats; ++seat) {
        const int column = columnOfSeat(seat);
        resultsPanel_->bonus(column)->hide();
        resultsPanel_->fastest(column)->hide();
        resultsPanel_->roundScore(column)->clear();
        resultsPanel_->words(column)->clear();
        seatRows_->words(seat)->clear();
    }
    puzzleBoard_->hideMarks();
    roundDisplay_->restart(roundDisplay_->turnSeconds());
}

void Tchat::getnextplayer(const QByteArray &data)
{
    puzzleBoard_->setGoodJobVisible(false);
    const QList<QByteArray> fields = data.split(wire::kSeparator);
    const std::optional<int> entrySeat = wire::toNumber(fields.value(0));
    const std::optional<int> wordNumber = wire::toNumber(fields.value(1));
    if (!entrySeat || !wordNumber)
        return;
    state_.entrySeat = *entrySeat;
    puzzleBoard_->clearEntry();
    setword(*wordNumber, fields.value(2));
    if (state_.isSpectator()) {
        puzzleBoard_->setStatus(QStringLiteral("The Players are Creating Words."));
        return;
    }
    startTurn();
    puzzleBoard_->setStatus(QStringLiteral("Type a Word - Press ENTER to submit your word."));
}

void Tchat::loadstats(const QByteArray &data)
{
    const QList<QByteArray> fields = data.split(wire::kSeparator);
    std::array<std::optional<int>, 6> head;
    for (size_t i = 0; i < head.size(); ++i)
        head[i] = wire::toNumber(fields.value(qsizetype(i)));
    const auto &[seat, seconds, remaining, rounds, round, phase] = head;
    if (!seat || *seat != state_.localSeat || !seconds || !remaining || !rounds || !round || !phase)
        return;
    roundDisplay_->setGame(QString::number(*rounds), *seconds);
    roundDisplay_->setRoundCaption(*round);
    for (qsizetype i = 6; i + 2 < fields.size(); i += 3) {
        const std::optional<int> entrySeat = wire::toNumber(fields.at(i));
        const std::optional<int> score = wire::toNumber(fields.at(i + 1));
        const std::optional<int> count = wire::toNumber(fields.at(i + 2));
        if (!entrySeat || !score || !count || !isPlayerSeat(*entrySeat))
            continue;
        seatRows_->score(*entrySeat)->setText(QString::number(*score));
        seatRows_->words(*entrySeat)->setText(QString::number(*count));
    }
    if (*phase == WordPhase) {
        if (state_.isSpectator()) {
            puzzleBoard_->setStatus(QStringLiteral("The Players are Creating Words."));
            return;
        }
        roundDisplay_->restart(*remaining);
        startTurn();
        puzzleBoard_->setStatus(QStringLiteral("Create A Word"));
    } else if (*phase == ResultsPhase) {
        puzzleBoard_->setStatus(QStringLiteral("Players are looking at their words."));
    }
}

// ---------------------------------------------------------------- counts and the end of a list

void Tchat::hiscount(const QByteArray &data)
{
    const QList<QByteArray> fields = data.split(wire::kSeparator);
    const std::optional<int> seat = wire::toNumber(fields.value(0));
    const std::optional<int> count = wire::toNumber(fields.value(1));
    if (seat && count && isPlayerSeat(*seat))
        seatRows_->words(*seat)->setText(QString::number(*count));
}

void Tchat::allfilled(const QByteArray &data)
{
    const QList<QByteArray> fields = data.split(wire::kSeparator);
    const std::optional<int> seat = wire::toNumber(fields.value(0));
    // After a pass the host sends no done field: that counts as no word just filled.
    const QByteArray doneField = fields.value(1);
    const std::optional<int> done = doneField.isEmpty() ? std::optional<int>(0) : wire::toNumber(doneField);
    if (!seat || !done || *seat != state_.localSeat)
        return;
    state_.entrySeat = 0;
    switchToChat();
    puzzleBoard_->setGoodJobVisible(true);
    if (*done != 0)
        puzzleBoard_->showMark(*done);
    puzzleBoard_->setButtonsVisible(false);
    puzzleBoard_->emptyRows();
    puzzleBoard_->setStatus(QStringLiteral("You guessed all the words!"));
    puzzleBoard_->setWordCaption(QString());
    playsounds(QStringLiteral("allfilled"));
}

void Tchat::alldone(const QByteArray &)
{
    if (!puzzleBoard_->goodJobVisible() && state_.isPlayer())
        puzzleBoard_->setGoodJobVisible(true);
    puzzleBoard_->setStatus(QStringLiteral("All players completed the list."));
    state_.entrySeat = 0;
    roundDisplay_->stop();
}

void Tchat::timeup(const QByteArray &)
{
    state_.entrySeat = 0;
    puzzleBoard_->setButtonsVisible(true);
    puzzleBoard_->setStatus(QStringLiteral("Time is Up."));
    playsounds(QStringLiteral("timeup"));
}

// ---------------------------------------------------------------- results and the winner

void Tchat::postscores(const QByteArray &data)
{
    const QList<QByteArray> fields = data.split(wire::kSeparator);
    state_.entrySeat = 0;
    const std::optional<int> fastest = wire::toNumber(fields.value(0));
    if (fastest && isPlayerSeat(*fastest))
        resultsPanel_->fastest(columnOfSeat(*fastest))->show();
    resultsPanel_->roundCaption()->setText(roundDisplay_->roundCaption());
    switchToChat();

    resultsPanel_->original()->clear();
    for (int seat = 1; seat <= ClientState::kPlayerSeats; ++seat) {
        const int column = columnOfSeat(seat);
        resultsPanel_->name(column)->setText(seatRows_->nameOf(seat));
        resultsPanel_->bonus(column)->hide();
        resultsPanel_->roundScore(column)->clear();
        resultsPanel_->words(column)->clear();
    }

    // Entries of seat, kind and value; one that names no seat is passed over.
    for (qsizetype i = 1; i + 2 < fields.size(); i += 3) {
        const std::optional<int> seat = wire::toNumber(fields.at(i));
        const std::optional<int> kind = wire::toNumber(fields.at(i + 1));
        const QString value = QString::fromUtf8(fields.at(i + 2));
        if (!seat || !kind)
            continue;
        if (*kind == SourceWord) {
            resultsPanel_->original()->addItem(value);
            continue;
        }
        if (!isPlayerSeat(*seat))
            continue;
        const int column = columnOfSeat(*seat);
        switch (*kind) {
        case SourceWordKept:
            if (!seatRows_->isEmpty(*seat))
                resultsPanel_->words(column)->addItem(value.toUpper());
            break;
        case OtherWord:
            if (!seatRows_->isEmpty(*seat))
                resultsPanel_->words(column)->addItem(value);
            break;
        case RoundScore:
            resultsPanel_->roundScore(column)->setText(QStringLiteral("Score: ") + value);
            break;
        case TotalScore:
            seatRows_->score(*seat)->setText(value);
            break;
        case ListCompleted:
            resultsPanel_->bonus(column)->show();
            break;
        default:
            break;
        }
    }
    resultsPanel_->showOverBoard();
    playsounds(QStringLiteral("postscores"));
}

void Tchat::winner(const QByteArray &data)
{
    // The name is everything before the closing "+": a name may hold "+" of its own.
    const QString name = QString::fromUtf8(data.endsWith(wire::kSeparator) ? data.chopped(1) : data);
    puzzleBoard_->setGoodJobVisible(false);
    switchToChat();
    playsounds(QStringLiteral("winner"));
    const bool localWins = state_.isPlayer() && seatRows_->nameOf(state_.localSeat) == name;
    const QString text = localWins ? QStringLiteral("You have Won the Game!") : name + QStringLiteral(" has Won the Game!");
    winnerBanner_->setText(text);
    puzzleBoard_->setStatus(QStringLiteral("Game Over!"));
    systemLine(text);
    winnerBanner_->showInFront();
    if (state_.hostFlag)
        button_start->show();
}
