#pragma once

#include "protocol/constants.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

// The facts the client keeps about the players and the round's results, as the host last told
// them. The board's own state is BoardState, the clock's TurnClock.

// What an empty seat's row shows.
inline const QString kWaitingName = QStringLiteral("<Waiting>");

// One of the six seat rows.
struct SeatRow {
    bool occupied = false;
    QString name;                  // as the seat logged in
    int score = 0;                 // the total score as the host sent it
    std::optional<int> wordCount = 0; // words completed this round; none shown between games
    bool watching = false;

    QString shownName() const { return occupied ? name : kWaitingName; }
};

// An onlooker, in the order they arrived.
struct Spectator {
    int seat = 0;
    QString name;
    friend bool operator==(const Spectator &, const Spectator &) = default;
};

// One seat's column of the round results.
struct ResultColumn {
    QString name;                  // the seat row's name when the results came
    std::optional<int> roundScore; // "Score: " and the points; none when 0 or cleared
    QStringList words;
    bool fastest = false;
    bool bonus = false;
};

// The round-results panel laid over the board.
struct ResultsState {
    bool shown = false;
    QString roundCaption; // the round caption when the results came
    QStringList sourceWords;
    std::array<ResultColumn, proto::kPlayerSeats> columns {}; // by seat
    ResultColumn &of(int seat) { return columns[size_t(seat - 1)]; }
    const ResultColumn &of(int seat) const { return columns[size_t(seat - 1)]; }
};

// The winner banner and what it says.
struct WinnerState {
    bool shown = false;
    QString text = QStringLiteral("Winner!");
};
