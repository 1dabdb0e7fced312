#include "engine/messages.h"

#include "engine/wire.h"

namespace msg {

namespace {

QByteArray num(int n)
{
    return QByteArray::number(n);
}

// "CMD_" verb "+" and the parts as given, then the terminator.
QByteArray make(const char *verb, std::initializer_list<QByteArray> parts = {})
{
    QByteArray m = QByteArray("CMD_") + verb + wire::kSeparator;
    for (const QByteArray &part : parts)
        m += part;
    m += wire::kTerminator;
    return m;
}

constexpr char P = wire::kSeparator;

} // namespace

QByteArray logininfo(int seat, const QByteArray &version, const QByteArray &loginName)
{
    return make("logininfo", {num(seat), QByteArray(1, P), version, QByteArray(1, P), loginName});
}

QByteArray chat(int seat, const QByteArray &textAndColour)
{
    return make("chat", {num(seat), QByteArray(1, P), textAndColour});
}

QByteArray action(int seat, const QByteArray &textAndColour)
{
    return make("action", {num(seat), QByteArray(1, P), textAndColour});
}

QByteArray kickhim(int seat, int target)
{
    return make("kickhim", {num(seat) + P + num(target) + P});
}

QByteArray startgame(const QByteArray &name, const QByteArray &rounds, const QByteArray &seconds)
{
    return make("startgame", {name + P + rounds + P + seconds + P});
}

QByteArray justwatch(int seat, int flag)
{
    return make("justwatch", {num(seat) + P + num(flag)});
}

QByteArray myword(int seat, const std::array<int, 5> &letterCodes)
{
    QByteArray fields = num(seat);
    for (int position = 1; position <= 5; ++position)
        fields += P + num(position) + P + num(letterCodes[size_t(position - 1)]);
    return make("myword", {fields});
}

QByteArray pass(int seat)
{
    return make("pass", {num(seat) + P});
}

QByteArray playasound(int seat, const QByteArray &wave)
{
    return make("playasound", {num(seat) + P + wave + P});
}

QByteArray sendlogininfo(int seat)
{
    return make("sendlogininfo", {num(seat)});
}

QByteArray full()
{
    return make("full");
}

QByteArray newplayerinfo(int seat, const QByteArray &name)
{
    return make("newplayerinfo", {num(seat) + P + name});
}

QByteArray existingplayers(int seat, const QByteArray &name)
{
    return make("existingplayers", {num(seat) + P + name});
}

QByteArray havewrongversion(const QByteArray &name)
{
    return make("havewrongversion", {name});
}

QByteArray wrongversion()
{
    return make("wrongversion");
}

QByteArray playerdisconnected(int seat, const QByteArray &name)
{
    return make("playerdisconnected", {num(seat) + P + name});
}

QByteArray justwatching(int seat, int flag)
{
    return make("justwatching", {num(seat) + P + num(flag)});
}

QByteArray chatRelay(int seat, const QByteArray &name, const QByteArray &rest)
{
    return make("chat", {num(seat) + P + name + " chats: " + rest});
}

QByteArray actionRelay(int seat, const QByteArray &name, const QByteArray &rest)
{
    return make("action", {num(seat) + P + name + ' ' + rest});
}

QByteArray playasoundRelay(int seat, const QByteArray &rest)
{
    return make("playasound", {num(seat) + P + rest});
}

QByteArray startgameRelay(const QList<QByteArray> &fields)
{
    QByteArray joined;
    for (const QByteArray &field : fields)
        joined += field + P;
    return make("startgame", {joined});
}

QByteArray startround(int round)
{
    return make("startround", {num(round) + P});
}

QByteArray nextplayer(int seat, int wordNumber, const QByteArray &masked)
{
    return make("nextplayer", {num(seat) + P + num(wordNumber) + P + masked + P});
}

QByteArray nextplayerSpectator()
{
    return make("nextplayer", {"1+0+*+"});
}

QByteArray newword(int seat, int done, int wordNumber, const QByteArray &masked)
{
    return make("newword", {num(seat) + P + num(done) + P + num(wordNumber) + P + masked + P});
}

QByteArray allfilled(int seat, int done)
{
    return make("allfilled", {num(seat) + P + num(done) + P});
}

QByteArray allfilledAfterPass(int seat)
{
    return make("allfilled", {num(seat) + P});
}

QByteArray invalid(int seat, int verdict)
{
    return make("invalid", {num(seat) + P + num(verdict) + P});
}

QByteArray hiscount(int seat, int count)
{
    return make("hiscount", {num(seat) + P + num(count) + P});
}

QByteArray alldone()
{
    return make("alldone");
}

QByteArray timeup(int seat)
{
    return make("timeup", {num(seat) + P});
}

QByteArray winner(const QByteArray &name)
{
    return make("winner", {name + P});
}

QByteArray postscores(int fastestSeat, const QList<ScoreEntry> &entries)
{
    QByteArray fields = num(fastestSeat);
    for (const ScoreEntry &entry : entries)
        fields += P + num(entry.seat) + P + num(entry.kind) + P + entry.value;
    return make("postscores", {fields});
}

QByteArray loadstats(const LoadStats &stats)
{
    QByteArray fields = num(stats.seat) + P + num(stats.seconds) + P + num(stats.remaining) + P
        + num(stats.rounds) + P + num(stats.round) + P + num(stats.phase);
    for (const SeatStats &seat : stats.seats)
        fields += P + num(seat.seat) + P + num(seat.score) + P + num(seat.count);
    return make("loadstats", {fields});
}

} // namespace msg
