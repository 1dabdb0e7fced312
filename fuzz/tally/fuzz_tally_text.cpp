// Any bytes as the text of a tally file: a text that reads as a table writes back to a text that
// reads as the same table, and stays a table when games are counted and players come and go.

#include "records/tally_table.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray text(reinterpret_cast<const char *>(data), qsizetype(size));
    std::optional<TallyTable> table = TallyTable::fromText(text);
    if (!table)
        return 0;
    if (TallyTable::fromText(table->toText()) != table)
        std::abort();

    table->startSession();
    const QStringList players = table->players();
    table->addgame(players.value(0), false, players);
    table->addgame(QString(), true, players.mid(1));
    table->addPlayer(QStringLiteral("new player"));
    table->removePlayer(1);
    const std::optional<TallyTable> counted = TallyTable::fromText(table->toText());
    if (!counted || *counted != *table)
        std::abort();
    return 0;
}
