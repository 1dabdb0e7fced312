#pragma once

#include "records/tally_changes.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

// The tally of wins: a table of text cells, nine columns wide. Row 0 is the overall record
// (column 1 games played, column 2 games won); each further row is one tallied opponent, in the
// order they were added: the name, then four counters over all runs (columns 1 to 4) and the
// same four for this run only (columns 5 to 8). Counters are decimal texts; an empty counter
// counts as 0.
class TallyTable
{
public:
    static constexpr int kColumns = 9;
    // The four counters of a player row, as offsets from the first column of a block.
    enum Counter { Games = 0, TheirWins = 1, YourWins = 2, NeitherWon = 3 };
    static constexpr int kTotalColumn = 1;   // the first column of the all-runs block
    static constexpr int kSessionColumn = 5; // the first column of this run's block

    using Row = std::array<QString, kColumns>;

    // Only the overall row, every cell "0".
    TallyTable();

    int rowCount() const { return int(rows_.size()); }
    int playerCount() const { return rowCount() - 1; }
    const QString &cell(int row, int column) const { return rows_.at(row)[size_t(column)]; }
    // A counter cell's value; 0 for an empty cell.
    qint64 count(int row, int column) const;
    qint64 gamesPlayed() const { return count(0, 1); }
    qint64 gamesWon() const { return count(0, 2); }

    // The tallied opponents' names, rows 1 on.
    QStringList players() const;
    // The first row of that name (exact text), or -1.
    int rowOf(const QString &name) const;

    // A new last row: the name and "0" counters. False (and nothing added) when the name is
    // tallied already.
    bool addPlayer(const QString &name);
    // Removes a player row; the rows below move up.
    void removePlayer(int row);
    // The overall counters become "0" and every player row goes.
    void reset();
    // A new run: every player row's counters of this run become "0".
    void startSession();

    // One finished game: games played, and the winner's count for every tallied opponent that
    // was at the board. `localWins` says the local player won; `winner` is the winner's name.
    void addgame(const QString &winner, bool localWins, const QStringList &opponents);

    // The text the tally file holds: the column count, the row count, then every cell column by
    // column, one a line, each line ended by CR LF.
    QByteArray toText() const;
    // The table such a text describes, or nothing when it describes none (a column count other
    // than 9, too few lines). A counter that is no number of at most 18 digits spoils only its
    // own cell, which reads as "0"; `spoiledCells` (when given) counts them.
    static std::optional<TallyTable> fromText(const QByteArray &text, int *spoiledCells = nullptr);

    // Everything done to the table since it was made or read: what a save applies to the tally
    // on disk. Applying changes to a table records them there too.
    const TallyChanges &changes() const { return changes_; }
    void apply(const TallyChanges &changes);

    // Tables are equal when their cells are; how they came to be does not matter.
    friend bool operator==(const TallyTable &a, const TallyTable &b) { return a.rows_ == b.rows_; }

private:
    void increment(Row &row, int column);
    // Counts a game for the named rows (each a tallied opponent at the board).
    void countGame(const QString &winner, bool localWins, const QStringList &counted);

    QList<Row> rows_;
    TallyChanges changes_;
};
