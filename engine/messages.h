#pragma once

#include <QByteArray>
#include <QList>

#include <array>

// Builders for every message of the game, byte for byte, terminator included. Names, texts and
// words are passed on as the bytes they arrived as.
namespace msg {

// The program's version text, compared exactly at login.
inline constexpr char kVersion[] = "1.0.4";

// ---- client to host
QByteArray logininfo(int seat, const QByteArray &version, const QByteArray &loginName);
QByteArray chat(int seat, const QByteArray &textAndColour);
QByteArray action(int seat, const QByteArray &textAndColour);
QByteArray kickhim(int seat, int target);
QByteArray startgame(const QByteArray &name, const QByteArray &rounds, const QByteArray &seconds);
QByteArray justwatch(int seat, int flag);
QByteArray myword(int seat, const std::array<int, 5> &letterCodes);
QByteArray pass(int seat);
QByteArray playasound(int seat, const QByteArray &wave);

// ---- host to clients
QByteArray sendlogininfo(int seat);
QByteArray full();
QByteArray newplayerinfo(int seat, const QByteArray &name);
QByteArray existingplayers(int seat, const QByteArray &name);
QByteArray havewrongversion(const QByteArray &name);
QByteArray wrongversion();
QByteArray playerdisconnected(int seat, const QByteArray &name);
QByteArray justwatching(int seat, int flag);
QByteArray chatRelay(int seat, const QByteArray &name, const QByteArray &rest);
QByteArray actionRelay(int seat, const QByteArray &name, const QByteArray &rest);
QByteArray playasoundRelay(int seat, const QByteArray &rest);
// The start as relayed: each received field followed by "+".
QByteArray startgameRelay(const QList<QByteArray> &fields);
QByteArray startround(int round);
QByteArray nextplayer(int seat, int wordNumber, const QByteArray &masked);
QByteArray nextplayerSpectator();
QByteArray newword(int seat, int done, int wordNumber, const QByteArray &masked);
QByteArray allfilled(int seat, int done);
QByteArray allfilledAfterPass(int seat);
QByteArray invalid(int seat, int verdict);
QByteArray hiscount(int seat, int count);
QByteArray alldone();
QByteArray timeup(int seat);
QByteArray winner(const QByteArray &name);

struct ScoreEntry {
    int seat;
    int kind;
    QByteArray value;
};
QByteArray postscores(int fastestSeat, const QList<ScoreEntry> &entries);

struct SeatStats {
    int seat;
    int score;
    int count;
};
struct LoadStats {
    int seat;
    int seconds;
    int remaining;
    int rounds;
    int round;
    int phase;
    QList<SeatStats> seats;
};
QByteArray loadstats(const LoadStats &stats);

} // namespace msg
