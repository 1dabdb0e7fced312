#pragma once

#include "records/tally_table.h"

#include <ostream>

// Tallies shared by the tests and the saver they kill.
namespace tally_samples {

// A tally of `players` opponents with counts that differ from row to row, after `games` games.
inline TallyTable sample(int players, int games)
{
    TallyTable table;
    QStringList opponents;
    for (int p = 0; p < players; ++p) {
        const QString name = QStringLiteral("Player %1").arg(p);
        table.addPlayer(name);
        opponents << name;
    }
    for (int g = 0; g < games; ++g)
        table.addgame(opponents.at(g % players), g % 3 == 0, opponents.mid(g % 7, 5));
    return table;
}

// One run of a copy of the game, different for each `run`: it tallies an opponent of its own and
// one every run tallies, plays games against them and the sample's players, and the second run
// removes a player the others count games for.
inline void playRun(TallyTable &table, int run)
{
    const QString own = QStringLiteral("Run %1").arg(run);
    const QString shared = QStringLiteral("Everybody");
    table.addPlayer(own);
    table.addPlayer(shared);
    const QStringList board {QStringLiteral("Player 1"), QStringLiteral("Player 2"), own, shared};
    for (int game = 0; game < 5 + 3 * run; ++game) {
        const bool localWins = (game + run) % 3 == 0;
        table.addgame(localWins ? QStringLiteral("Me") : board.at((game + run) % 4), localWins, board);
    }
    if (run == 2)
        table.removePlayer(table.rowOf(QStringLiteral("Player 2")));
}

} // namespace tally_samples

// A failing comparison shows the table's text.
inline void PrintTo(const TallyTable &table, std::ostream *out)
{
    *out << table.toText().left(400).replace("\r\n", "|").toStdString();
}
