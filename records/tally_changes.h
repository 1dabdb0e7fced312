#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// What one run did to its tally, in order: players added and removed, resets and counted games.
// Saving applies these to the tally as it is on disk then, so that copies which ran side by side
// add up instead of overwriting each other.
struct TallyChange {
    enum class Kind { AddPlayer, RemovePlayer, Reset, Game };
    Kind kind = Kind::Game;
    QString name;        // the player added or removed; the winner's name of a game
    bool localWins = false;
    QStringList counted; // a game's tallied opponents at the board, each once

    static TallyChange of(Kind kind, QString name = {})
    {
        TallyChange change;
        change.kind = kind;
        change.name = std::move(name);
        return change;
    }

    friend bool operator==(const TallyChange &, const TallyChange &) = default;
};

using TallyChanges = QList<TallyChange>;
