#pragma once

#include "protocol/fields.h"

#include <QByteArray>
#include <QList>

#include <array>
#include <optional>

// Every message of the game, each with its layout written once. A message is its verb and a
// layout function that names the fields in order: encode() runs it with a FieldWriter to build
// the message byte for byte, terminator included; decode() runs it with a FieldReader on a
// received message's data and gives nothing when the data do not fit the layout. Names, texts
// and words are carried as the bytes they arrived as.
namespace msg {

template <class M>
QByteArray encode(const M &message)
{
    proto::FieldWriter writer;
    M::layout(writer, message);
    QByteArray bytes = QByteArray(M::verb) + proto::kSeparator + writer.data() + proto::kTerminator;
    if constexpr (requires { requires M::kSecondTerminator; })
        bytes += proto::kTerminator;
    return bytes;
}

template <class M>
std::optional<M> decode(const QByteArray &data)
{
    proto::FieldReader reader(data);
    M message {};
    M::layout(reader, message);
    if (!reader.complete())
        return std::nullopt;
    return message;
}

// ================================================================ client to host

// The answer to the seat assignment. The login ends with a second terminator: the host queues an
// empty line after it and drops it.
struct LoginInfo {
    static constexpr char verb[] = "CMD_logininfo";
    static constexpr bool kSecondTerminator = true;
    int seat = 0;
    QByteArray version;
    QByteArray name;
    template <class C, class M>
    static void layout(C &c, M &m) { c.seat(m.seat); c.text(m.version); c.rest(m.name); }
    friend bool operator==(const LoginInfo &, const LoginInfo &) = default;
};

// A chat line, both ways: from a client "text|colour"; relayed by the host with the sender's
// name in front (relayed()). The text after the seat is one field and may hold "+". Seat 0 is the
// host itself: a notice to the one it is sent to, which every client shows as a system line.
struct Chat {
    static constexpr char verb[] = "CMD_chat";
    int seat = 0;
    QByteArray text;
    template <class C, class M>
    static void layout(C &c, M &m) { c.speaker(m.seat); c.rest(m.text); }
    static Chat relayed(int seat, const QByteArray &name, const QByteArray &text)
    {
        return {seat, name + " chats: " + text};
    }
    static Chat fromHost(const QByteArray &notice) { return {0, notice + "|clBlue"}; }
    friend bool operator==(const Chat &, const Chat &) = default;
};

// An action ("/me waves"), both ways, like Chat; relayed as the name, a blank and the text.
struct Action {
    static constexpr char verb[] = "CMD_action";
    int seat = 0;
    QByteArray text;
    template <class C, class M>
    static void layout(C &c, M &m) { c.speaker(m.seat); c.rest(m.text); }
    static Action relayed(int seat, const QByteArray &name, const QByteArray &text)
    {
        return {seat, name + ' ' + text};
    }
    friend bool operator==(const Action &, const Action &) = default;
};

// The hosting player removes a seat.
struct KickHim {
    static constexpr char verb[] = "CMD_kickhim";
    int seat = 0;
    int target = 0;
    template <class C, class M>
    static void layout(C &c, M &m) { c.seat(m.seat); c.seat(m.target); c.end(); }
    friend bool operator==(const KickHim &, const KickHim &) = default;
};

// The start of a game, from the hosting player: name, rounds and seconds, each followed by "+".
// The name may hold "+" of its own, so the two numbers are read from the right. Rounds and
// seconds are carried as text: the host falls back to 5 and 60 when they are not numbers.
struct StartGame {
    static constexpr char verb[] = "CMD_startgame";
    QByteArray name;
    QByteArray rounds;
    QByteArray seconds;
    template <class C, class M>
    static void layout(C &c, M &m) { c.leadingText(m.name, 3); c.text(m.rounds); c.text(m.seconds); c.end(); }
    friend bool operator==(const StartGame &, const StartGame &) = default;
};

// The start as the host announces it: the starter's name, the rounds and seconds it plays and a
// fourth, empty field, each followed by "+" (hence "++" before the terminator).
struct GameStarted {
    static constexpr char verb[] = "CMD_startgame";
    QByteArray name;
    QByteArray rounds;
    QByteArray seconds;
    QByteArray fourth;
    template <class C, class M>
    static void layout(C &c, M &m)
    {
        c.leadingText(m.name, 4);
        c.text(m.rounds);
        c.text(m.seconds);
        c.text(m.fourth);
        c.end();
    }
    friend bool operator==(const GameStarted &, const GameStarted &) = default;
};

// A seat starts watching (StartWatching) or plays again (PlayAgain), both ways.
struct JustWatch {
    static constexpr char verb[] = "CMD_justwatch";
    int seat = 0;
    int flag = 0;
    template <class C, class M>
    static void layout(C &c, M &m) { c.seat(m.seat); c.number(m.flag); }
    friend bool operator==(const JustWatch &, const JustWatch &) = default;
};

struct JustWatching {
    static constexpr char verb[] = "CMD_justwatching";
    int seat = 0;
    int flag = 0;
    template <class C, class M>
    static void layout(C &c, M &m) { c.seat(m.seat); c.number(m.flag); }
    friend bool operator==(const JustWatching &, const JustWatching &) = default;
};

// A submitted word: the five letter codes, each after its position number (1 to 5), which the
// host reads past.
struct MyWord {
    static constexpr char verb[] = "CMD_myword";
    int seat = 0;
    std::array<int, proto::kWordLength> codes {};
    template <class C, class M>
    static void layout(C &c, M &m)
    {
        c.seat(m.seat);
        for (int position = 1; position <= proto::kWordLength; ++position) {
            c.ignored(position);
            c.number(m.codes[size_t(position - 1)]);
        }
    }
    friend bool operator==(const MyWord &, const MyWord &) = default;
};

struct Pass {
    static constexpr char verb[] = "CMD_pass";
    int seat = 0;
    template <class C, class M>
    static void layout(C &c, M &m) { c.seat(m.seat); c.end(); }
    friend bool operator==(const Pass &, const Pass &) = default;
};

// A chatter sound ("wave" and its number), both ways: the host relays it unchanged.
struct PlayASound {
    static constexpr char verb[] = "CMD_playasound";
    int seat = 0;
    QByteArray wave;
    template <class C, class M>
    static void layout(C &c, M &m) { c.seat(m.seat); c.text(m.wave); c.end(); }
    friend bool operator==(const PlayASound &, const PlayASound &) = default;
};

// ================================================================ host to clients

// The seat a new connection got.
struct SendLoginInfo {
    static constexpr char verb[] = "CMD_sendlogininfo";
    int seat = 0;
    template <class C, class M>
    static void layout(C &c, M &m) { c.seat(m.seat); }
    friend bool operator==(const SendLoginInfo &, const SendLoginInfo &) = default;
};

// No seat is free; the host drops the connection.
struct Full {
    static constexpr char verb[] = "CMD_full";
    template <class C, class M>
    static void layout(C &, M &) {}
    friend bool operator==(const Full &, const Full &) = default;
};

// A seat logged in: to everybody, the newcomer included.
struct NewPlayerInfo {
    static constexpr char verb[] = "CMD_newplayerinfo";
    int seat = 0;
    QByteArray name;
    template <class C, class M>
    static void layout(C &c, M &m) { c.seat(m.seat); c.rest(m.name); }
    friend bool operator==(const NewPlayerInfo &, const NewPlayerInfo &) = default;
};

// To a newcomer, once for every other seat in use.
struct ExistingPlayers {
    static constexpr char verb[] = "CMD_existingplayers";
    int seat = 0;
    QByteArray name;
    template <class C, class M>
    static void layout(C &c, M &m) { c.seat(m.seat); c.rest(m.name); }
    friend bool operator==(const ExistingPlayers &, const ExistingPlayers &) = default;
};

// To the hosting player: a newcomer has another version.
struct HaveWrongVersion {
    static constexpr char verb[] = "CMD_havewrongversion";
    QByteArray name;
    template <class C, class M>
    static void layout(C &c, M &m) { c.rest(m.name); }
    friend bool operator==(const HaveWrongVersion &, const HaveWrongVersion &) = default;
};

// To the newcomer with another version.
struct WrongVersion {
    static constexpr char verb[] = "CMD_wrongversion";
    template <class C, class M>
    static void layout(C &, M &) {}
    friend bool operator==(const WrongVersion &, const WrongVersion &) = default;
};

// A seat's connection closed; the name is empty when it never logged in.
struct PlayerDisconnected {
    static constexpr char verb[] = "CMD_playerdisconnected";
    int seat = 0;
    QByteArray name;
    template <class C, class M>
    static void layout(C &c, M &m) { c.seat(m.seat); c.rest(m.name); }
    friend bool operator==(const PlayerDisconnected &, const PlayerDisconnected &) = default;
};

struct StartRound {
    static constexpr char verb[] = "CMD_startround";
    int round = 0;
    template <class C, class M>
    static void layout(C &c, M &m) { c.number(m.round); c.end(); }
    friend bool operator==(const StartRound &, const StartRound &) = default;
};

// A seat's first word of a round; an onlooker gets seat 1, word 0 and "*".
struct NextPlayer {
    static constexpr char verb[] = "CMD_nextplayer";
    int seat = 0;
    int wordNumber = 0;
    QByteArray masked;
    template <class C, class M>
    static void layout(C &c, M &m) { c.seat(m.seat); c.number(m.wordNumber); c.text(m.masked); c.end(); }
    static NextPlayer forSpectator() { return {1, 0, "*"}; }
    friend bool operator==(const NextPlayer &, const NextPlayer &) = default;
};

// The seat's next word: after an accepted word (done is its word number) or a pass (done 0).
struct NewWord {
    static constexpr char verb[] = "CMD_newword";
    int seat = 0;
    int done = 0;
    int wordNumber = 0;
    QByteArray masked;
    template <class C, class M>
    static void layout(C &c, M &m) { c.seat(m.seat); c.number(m.done); c.number(m.wordNumber); c.text(m.masked); c.end(); }
    friend bool operator==(const NewWord &, const NewWord &) = default;
};

// The seat has no unfilled word left; after a pass there is no done field.
struct AllFilled {
    static constexpr char verb[] = "CMD_allfilled";
    int seat = 0;
    std::optional<int> done;
    template <class C, class M>
    static void layout(C &c, M &m) { c.seat(m.seat); c.optional(m.done); c.end(); }
    friend bool operator==(const AllFilled &, const AllFilled &) = default;
};

// A refused word, with its proto::Verdict.
struct Invalid {
    static constexpr char verb[] = "CMD_invalid";
    int seat = 0;
    int verdict = 0;
    template <class C, class M>
    static void layout(C &c, M &m) { c.seat(m.seat); c.number(m.verdict); c.end(); }
    friend bool operator==(const Invalid &, const Invalid &) = default;
};

// A seat's count of accepted words this round.
struct HisCount {
    static constexpr char verb[] = "CMD_hiscount";
    int seat = 0;
    int count = 0;
    template <class C, class M>
    static void layout(C &c, M &m) { c.seat(m.seat); c.number(m.count); c.end(); }
    friend bool operator==(const HisCount &, const HisCount &) = default;
};

// Every active player has filled all ten words.
struct AllDone {
    static constexpr char verb[] = "CMD_alldone";
    template <class C, class M>
    static void layout(C &, M &) {}
    friend bool operator==(const AllDone &, const AllDone &) = default;
};

// The word phase ran out; each seat is sent its own number. The clients do not need it, so a
// message without one is read too.
struct TimeUp {
    static constexpr char verb[] = "CMD_timeup";
    std::optional<int> seat;
    template <class C, class M>
    static void layout(C &c, M &m)
    {
        c.optional(m.seat);
        if (m.seat)
            c.end();
    }
    friend bool operator==(const TimeUp &, const TimeUp &) = default;
};

// The round's results: the fastest seat (0 for none), then entries of seat, proto::ScoreKind and
// value (a word, or a number for the scores).
struct ScoreEntry {
    int seat = 0;
    int kind = 0;
    QByteArray value;
    template <class C, class M>
    static void layout(C &c, M &m) { c.number(m.seat); c.number(m.kind); c.text(m.value); }
    friend bool operator==(const ScoreEntry &, const ScoreEntry &) = default;
};
struct PostScores {
    static constexpr char verb[] = "CMD_postscores";
    int fastestSeat = 0;
    QList<ScoreEntry> entries;
    template <class C, class M>
    static void layout(C &c, M &m) { c.number(m.fastestSeat); c.each(m.entries); }
    friend bool operator==(const PostScores &, const PostScores &) = default;
};

// The game's winner; the name may hold "+" of its own.
struct Winner {
    static constexpr char verb[] = "CMD_winner";
    QByteArray name;
    template <class C, class M>
    static void layout(C &c, M &m) { c.restBeforeEnd(m.name); c.end(); }
    friend bool operator==(const Winner &, const Winner &) = default;
};

// A late joiner's catch-up: the game's settings, the clock, the round and phase, then the total
// score and word count of the player seats.
struct SeatStats {
    int seat = 0;
    int score = 0;
    int count = 0;
    template <class C, class M>
    static void layout(C &c, M &m) { c.number(m.seat); c.number(m.score); c.number(m.count); }
    friend bool operator==(const SeatStats &, const SeatStats &) = default;
};
struct LoadStats {
    static constexpr char verb[] = "CMD_loadstats";
    int seat = 0;
    int seconds = 0;
    int remaining = 0; // the host's countdown minus the word phase's lead; may be negative
    int rounds = 0;
    int round = 0;
    int phase = 0;
    QList<SeatStats> seats;
    template <class C, class M>
    static void layout(C &c, M &m)
    {
        c.seat(m.seat);
        c.number(m.seconds);
        c.number(m.remaining);
        c.number(m.rounds);
        c.number(m.round);
        c.number(m.phase);
        c.each(m.seats);
    }
    friend bool operator==(const LoadStats &, const LoadStats &) = default;
};

// ================================================================ extensions
// Messages that copies of the classic game do not know. Both ends ignore verbs they do not know,
// so a classic copy on either side simply goes without them.

// Host to client, right after the client's own announcement: the seat key, a random secret (32
// hexadecimal digits, 128 bits) that gives this seat back to this player alone when its connection
// drops during a game. Good for one game on one host.
struct SeatKey {
    static constexpr char verb[] = "CMD_seatkey";
    int seat = 0;
    QByteArray key;
    template <class C, class M>
    static void layout(C &c, M &m) { c.seat(m.seat); c.text(m.key); c.end(); }
    friend bool operator==(const SeatKey &, const SeatKey &) = default;
};

// Both ways, for a player coming back after a drop. Client to host: the seat it held and that
// seat's key, sent as soon as the connection is made (a table that is otherwise full reads it
// before it refuses anybody) and again before the login that answers every seat assignment until
// the host has answered. Host to client: the same two fields, when the key opened the seat (kept
// for the player, or still held by its old connection, which is closed): the player's own seat,
// score and words, assigned next with "CMD_sendlogininfo". A login that answered an earlier
// assignment is then dropped as one for another seat. Without this answer the client is a
// newcomer in whatever game it reached, and starts from a clean board.
struct ReclaimSeat {
    static constexpr char verb[] = "CMD_reclaimseat";
    int seat = 0;
    QByteArray key;
    template <class C, class M>
    static void layout(C &c, M &m) { c.seat(m.seat); c.text(m.key); c.end(); }
    friend bool operator==(const ReclaimSeat &, const ReclaimSeat &) = default;
};

// Host to every client, just before it closes their connections: the host is ending the game
// (a hosting copy closing, a dedicated host stopping). Nobody should come back.
struct HostEnding {
    static constexpr char verb[] = "CMD_hostending";
    template <class C, class M>
    static void layout(C &, M &) {}
    friend bool operator==(const HostEnding &, const HostEnding &) = default;
};

} // namespace msg
