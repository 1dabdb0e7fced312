#pragma once

// The facts both ends of a game agree on: the message format's two special bytes, the port, the
// version text, the seats, the round's shape, the codes carried in messages and the clocks.
namespace proto {

constexpr char kTerminator = '\xFF';
constexpr char kSeparator = '+';

constexpr int kDefaultPort = 7772;

// Compared exactly at login; the same text as the program's version (the build's project version).
inline constexpr char kVersion[] = VREL_VERSION;

// Seats 1 to 6 are players, 7 to 9 onlookers ("spectators").
constexpr int kPlayerSeats = 6;
constexpr int kFirstSpectatorSeat = 7;
constexpr int kLastSeat = 9;
constexpr bool isSeat(int n) { return n >= 1 && n <= kLastSeat; }
constexpr bool isPlayerSeat(int n) { return n >= 1 && n <= kPlayerSeats; }
constexpr bool isSpectatorSeat(int n) { return n >= kFirstSpectatorSeat && n <= kLastSeat; }

// What the host keeps and relays, in characters (Unicode code points): a player's name, and the
// text of a chat line or an action before its "|" and colour. Longer ones are cut; the chat entry
// takes no more than the host relays.
constexpr int kMaxNameChars = 32;
constexpr int kMaxChatChars = 500;

// A game's options as the start dialog offers them and the host keeps to them.
constexpr int kMinRounds = 1;
constexpr int kMaxRounds = 10;
constexpr int kMinTurnSeconds = 30;
constexpr int kMaxTurnSeconds = 120;

// A player whose connection drops during a game finds its seat kept this long, and its place in
// the order of arrival with it.
constexpr int kSeatKeptSeconds = 120;

constexpr int kWordsPerRound = 10;
constexpr int kWordLength = 5;
// Letter codes 1 to 26 stand for "a" to "z"; 0 is no letter (an empty tile).
constexpr int kLetterCodes = 26;

// Why the host refused a word.
enum Verdict : int {
    VerdictMatch = 1, // a letter the masked word shows was changed
    VerdictWord = 2,  // not in the word list
};

// Kinds of the entries of the round results.
enum ScoreKind : int {
    SourceWordKept = 0, // the seat's word is the dealt word (10 points)
    OtherWord = 1,      // another accepted word (5 points), or the masked word of an unfilled place
    RoundScore = 2,     // the seat's points of the round; left out when 0
    TotalScore = 3,     // the seat's points of the game so far
    ListCompleted = 4,  // the seat filled all ten words
    SourceWord = 5,     // a dealt word, seat 0, one per word number in order
};

// The host's round phases.
enum Phase : int {
    NoPhase = 0,
    WordPhase = 1,
    ResultsPhase = 2,
    AllDonePause = 3,
};

// The flag of a watching request and its announcement.
enum WatchFlag : int {
    StartWatching = 1,
    PlayAgain = 2,
};

namespace timing {
constexpr int kHostPaceMs = 10;       // the host handles at most one message of a connection this often
// A phrase button stays locked this long after a phrase is sent (101 dispatch ticks of 15 ms).
constexpr int kPhraseLockMs = 1515;
constexpr int kPhaseClockMs = 1000;   // the host's round phases count seconds
constexpr int kTurnClockMs = 1000;    // the clients' turn clock
// The host's word phase runs this much longer than the turn the clients count down.
constexpr int kWordPhaseLeadSeconds = 4;
constexpr int kAllDonePauseSeconds = 3;
} // namespace timing

} // namespace proto
