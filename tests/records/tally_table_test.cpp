// The tally's table: counting finished games, adding, removing and resetting players, and the
// text that the tally file holds.

#include "records/tally_table.h"

#include <gtest/gtest.h>

namespace {

// A player row's eight counters: all runs, then this run.
QStringList counters(const TallyTable &table, const QString &name)
{
    QStringList cells;
    const int row = table.rowOf(name);
    for (int column = 1; column < TallyTable::kColumns && row > 0; ++column)
        cells << table.cell(row, column);
    return cells;
}

QStringList list(const char *text)
{
    return QString::fromLatin1(text).split(QLatin1Char(' '));
}

} // namespace

TEST(TallyTable, CountsEachGameForTheTalliedOpponentsAtTheBoard)
{
    TallyTable table;
    for (const char *name : {"Bob", "Cid", "Eve"})
        ASSERT_TRUE(table.addPlayer(QString::fromLatin1(name)));
    EXPECT_FALSE(table.addPlayer(QStringLiteral("Bob")));
    EXPECT_EQ(table.players(), list("Bob Cid Eve"));

    // The local player wins against two tallied opponents and an untallied one; Eve is not at
    // the board.
    const QStringList atTheBoard = list("Bob Dee Cid");
    table.addgame(QStringLiteral("Ann"), true, atTheBoard);
    EXPECT_EQ(table.gamesPlayed(), 1);
    EXPECT_EQ(table.gamesWon(), 1);
    EXPECT_EQ(counters(table, "Bob"), list("1 0 1 0 1 0 1 0"));
    EXPECT_EQ(counters(table, "Cid"), list("1 0 1 0 1 0 1 0"));
    EXPECT_EQ(counters(table, "Eve"), list("0 0 0 0 0 0 0 0"));

    // A tallied opponent wins: the others at the board count it as neither's win.
    table.addgame(QStringLiteral("Cid"), false, atTheBoard);
    EXPECT_EQ(counters(table, "Bob"), list("2 0 1 1 2 0 1 1"));
    EXPECT_EQ(counters(table, "Cid"), list("2 1 1 0 2 1 1 0"));

    // An untallied opponent wins.
    table.addgame(QStringLiteral("Dee"), false, atTheBoard);
    EXPECT_EQ(counters(table, "Bob"), list("3 0 1 2 3 0 1 2"));
    EXPECT_EQ(counters(table, "Cid"), list("3 1 1 1 3 1 1 1"));
    EXPECT_EQ(table.gamesPlayed(), 3);
    EXPECT_EQ(table.gamesWon(), 1);

    // A local player who shares an opponent's name and wins is the winner, not the opponent; two
    // opponents of one name count once.
    table.addgame(QStringLiteral("Bob"), true, list("Bob Bob"));
    EXPECT_EQ(counters(table, "Bob"), list("4 0 2 2 4 0 2 2"));
    EXPECT_EQ(table.gamesWon(), 2);

    // A new run zeroes this run's counters only.
    table.startSession();
    EXPECT_EQ(counters(table, "Cid"), list("3 1 1 1 0 0 0 0"));
    EXPECT_EQ(table.gamesPlayed(), 4);
}

TEST(TallyTable, RemovingAndResettingKeepTheRowsInStep)
{
    TallyTable table;
    for (const char *name : {"Bob", "Cid", "Dee"})
        table.addPlayer(QString::fromLatin1(name));
    table.addgame(QStringLiteral("Dee"), false, list("Bob Cid Dee"));

    table.removePlayer(2);
    EXPECT_EQ(table.players(), list("Bob Dee"));
    EXPECT_EQ(table.rowOf(QStringLiteral("Dee")), 2);
    EXPECT_EQ(counters(table, "Dee"), list("1 1 0 0 1 1 0 0"));
    EXPECT_TRUE(table.toText().startsWith("9\r\n3\r\n"));
    table.removePlayer(0); // the overall row is not a player
    table.removePlayer(7);
    EXPECT_EQ(table.rowCount(), 3);

    table.reset();
    EXPECT_EQ(table.rowCount(), 1);
    EXPECT_EQ(table.gamesPlayed(), 0);
    EXPECT_EQ(table.gamesWon(), 0);
    table.addgame(QStringLiteral("Bob"), false, list("Bob"));
    EXPECT_EQ(table.gamesPlayed(), 1);
    EXPECT_EQ(table.playerCount(), 0);
    // A player added again starts from nothing.
    table.addPlayer(QStringLiteral("Bob"));
    EXPECT_EQ(counters(table, "Bob"), list("0 0 0 0 0 0 0 0"));
}

TEST(TallyTable, TheFileTextHoldsTheCellsColumnByColumn)
{
    TallyTable table;
    table.addPlayer(QStringLiteral("Bob"));
    table.addPlayer(QStringLiteral("Zoë"));
    table.addgame(QStringLiteral("Bob"), false, list("Bob"));
    QByteArray expected = "9\r\n3\r\n";
    const char *const columns[9][3] = {{"0", "Bob", "Zoë"}, {"1", "1", "0"}, {"0", "1", "0"},
                                       {"0", "0", "0"},     {"0", "0", "0"}, {"0", "1", "0"},
                                       {"0", "1", "0"},     {"0", "0", "0"}, {"0", "0", "0"}};
    for (const auto &column : columns)
        for (const char *cell : column)
            expected += QByteArray(cell) + "\r\n";
    EXPECT_EQ(table.toText(), expected);
    EXPECT_EQ(TallyTable::fromText(expected), table);

    // As another copy writes it: nothing in the unused cells of the overall row, a counter never
    // counted left empty, a name with a blank, a single-byte code page, lines ended by LF alone.
    const QByteArray other = QByteArrayList {"9", "2", "", "Jos\xE9", "5", "", "2", "", "", "1", "", "", "",
                                             "", "", "", "", "", "", ""}.join('\n') + '\n';
    const std::optional<TallyTable> read = TallyTable::fromText(other);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->players(), QStringList {QStringLiteral("José")});
    EXPECT_EQ(read->gamesPlayed(), 5);
    EXPECT_EQ(read->count(1, 1), 0);
    EXPECT_EQ(read->count(1, 3), 1);
    TallyTable counted = *read;
    counted.addgame(QStringLiteral("Ann"), true, {QStringLiteral("José")});
    EXPECT_EQ(counters(counted, "José"), list("1 0 2 0 1 0 1 0"));

    // A line break in a name never shifts the cells after it.
    TallyTable odd;
    odd.addPlayer(QStringLiteral("two\r\nlines"));
    const std::optional<TallyTable> back = TallyTable::fromText(odd.toText());
    ASSERT_TRUE(back);
    EXPECT_EQ(back->players(), QStringList {QStringLiteral("two  lines")});
    EXPECT_EQ(back->count(1, 8), 0);
}

TEST(TallyTable, TextsThatAreNoTableAreRefused)
{
    const QByteArray good = TallyTable().toText();
    ASSERT_TRUE(TallyTable::fromText(good));
    for (const QByteArray &bad : {QByteArray(), QByteArray("9\r\n"), QByteArray("8\r\n1\r\n") + good.mid(6),
                                  QByteArray("9\r\n0\r\n"), QByteArray("9\r\n-1\r\n"), good.left(good.size() - 4),
                                  QByteArray("9\r\n2147483647\r\n") + good.mid(6)})
        EXPECT_FALSE(TallyTable::fromText(bad)) << bad.toStdString();
    // A counter that is no number, or too long to count on, spoils its own cell only.
    for (const QByteArray &spoiled : {QByteArray("9\r\n1\r\n0\r\nmany\r\n7\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n"),
                                      QByteArray("9\r\n1\r\n0\r\n1234567890123456789\r\n7\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n")}) {
        int spoiledCells = 0;
        const std::optional<TallyTable> read = TallyTable::fromText(spoiled, &spoiledCells);
        ASSERT_TRUE(read) << spoiled.toStdString();
        EXPECT_EQ(spoiledCells, 1);
        EXPECT_EQ(read->gamesPlayed(), 0);
        EXPECT_EQ(read->gamesWon(), 7);
    }
    // The unused cells of the overall row may hold anything; lines after the last cell are not read.
    EXPECT_TRUE(TallyTable::fromText("9\r\n1\r\nx\r\n0\r\n0\r\ny\r\n0\r\n0\r\n0\r\n0\r\n0\r\nextra\r\n"));
}
