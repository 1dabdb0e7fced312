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

} // namespace tally_samples

// A failing comparison shows the table's text.
inline void PrintTo(const TallyTable &table, std::ostream *out)
{
    *out << table.toText().left(400).replace("\r\n", "|").toStdString();
}
