// A received message's data, read by every message layout. Whatever a layout accepts must build
// the same message again and read back as the same value: what a receiver understood is what a
// sender can say.

#include "protocol/messages.h"

#include <cstdint>
#include <cstdlib>

namespace {

template <class M>
void readBack(const QByteArray &data)
{
    const std::optional<M> decoded = msg::decode<M>(data);
    if (!decoded)
        return;
    const QByteArray bytes = msg::encode(*decoded);
    const QList<QByteArray> lines = proto::StreamCutter().feed(bytes);
    if (lines.isEmpty())
        std::abort();
    const proto::VerbAndData line = proto::splitVerb(lines.first());
    const std::optional<M> again = msg::decode<M>(line.data);
    if (line.verb != M::verb || !again || !(*again == *decoded))
        std::abort();
}

template <class... M>
void readBackAll(const QByteArray &data)
{
    (readBack<M>(data), ...);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    // A received line never holds the terminator: it was cut there.
    QByteArray line(reinterpret_cast<const char *>(data), qsizetype(size));
    line.truncate(line.indexOf(proto::kTerminator) < 0 ? line.size() : line.indexOf(proto::kTerminator));
    using namespace msg;
    readBackAll<LoginInfo, Chat, Action, KickHim, StartGame, GameStarted, JustWatch, JustWatching, MyWord, Pass, PlayASound,
                SendLoginInfo, Full, NewPlayerInfo, ExistingPlayers, HaveWrongVersion, WrongVersion,
                PlayerDisconnected, StartRound, NextPlayer, NewWord, AllFilled, Invalid, HisCount, AllDone, TimeUp,
                PostScores, Winner, LoadStats>(line);
    return 0;
}
