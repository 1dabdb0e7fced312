#pragma once

#include <QByteArray>
#include <QString>

class ClientSession;
struct BoardState;
struct SeatRow;
class TurnClock;

// The game in words, as a screen reader says it: what the board, the seat rows, the clock and the
// results show, without their pictures.
namespace spoken {

// The text begun with a capital ("word 3 ..." opening a sentence).
QString capitalised(const QString &text);
// A masked word letter by letter, blanks named: "R blank V blank T".
QString letters(const QByteArray &masked);
// A word of the round as the board deals it: "word 3 of 10, R blank V blank T", or "word 3 of
// 10, not dealt yet".
QString wordCell(const BoardState &board, int wordNumber);
// What the player made of it: "your word: ROVET, accepted", "your word: ROVAT, refused, Invalid
// Match", "your word so far: RO" for the word on the board, "no word yet".
QString answerCell(const BoardState &board, int wordNumber);
// A seat row: "Ann, 45 points, 6 words, watching"; "seat 3, waiting for a player".
QString seatItem(int seat, const SeatRow &row);
// "Round 2 of 3", "no game yet".
QString round(const TurnClock &clock);
// "45 seconds left", "1 second left", "time is up".
QString timeLeft(int seconds);
// "1st", "2nd", "3rd", "4th", ...
QString ordinal(int n);

// Where a player seat stands by total score among the seats taken: its place (tied seats share
// one) and how many players there are; place 0 for a seat not taken.
struct Standing {
    int place = 0;
    int players = 0;
};
Standing standing(const ClientSession &session, int seat);

// The round-results panel read out: the round, each player's score, words and markers, and the
// original words.
QString results(const ClientSession &session);
// The round's results for the local player: "Round 1 of 3 scored: you made 45 points, 1st of 2
// with 120 points." A spectator hears the leader.
QString roundScored(const ClientSession &session);
// The board in one breath: the round, the time left, the player's words filled, score and place,
// and the word on the board.
QString summary(const ClientSession &session);

} // namespace spoken
