#pragma once

#include <chrono>
#include <random>
#include <string>
#include <vector>

using Clock = std::chrono::steady_clock;

// What the crowd has seen, for the report.
struct SoakCounts {
    std::vector<double> chatDelaysMs; // well-behaved chats, sent to relayed back, since the last report
    long chatsRelayed = 0;
    long wordsSent = 0;
    long verdicts = 0;
    long gamesStarted = 0;
    long winners = 0;
    long wordsAccepted = 0;
    long floodsClosed = 0;  // the flooder's connection ended by the host
    long silentClosed = 0;  // the non-reader's connection ended by the host
    long fullAnswers = 0;   // "CMD_full" to a newcomer
    long seatsTaken = 0;
};

// One peer of the soak run, speaking the wire protocol over a non-blocking socket.
// - Steady: logs in, chats as fast as the host relays (one line at a time, each sent when the
//   last came back), plays its words, plays a sound now and then; the first also starts games.
// - Churner: like Steady, but leaves after a while and comes back; refused while the game is full.
// - Silent: logs in and never reads again; the host must close it once it falls too far behind.
// - Flooder: logs in, then sends chat lines as fast as the connection takes them, or (every other
//   time) lines of 100 KB; the host closes it, or drops the lines, and it comes back.
class SoakClient
{
public:
    enum class Kind { Steady, Churner, Silent, Flooder };

    // The players guess their words from the host's word pool, as people who know the game.
    SoakClient(Kind kind, std::string name, int port, bool startsGames, unsigned seed,
               const std::vector<std::string> &wordPool);

    Kind kind() const { return kind_; }
    // The first connection is made no earlier than this.
    void startAt(Clock::time_point when) { connectAt_ = when; }
    int fd() const { return fd_; }
    int seat() const { return seat_; }
    bool loggedIn() const { return loggedIn_; }
    short pollEvents() const;
    // The host reported this seat gone (seen by another client): the silent one comes back.
    void seatFreedByHost(int seat, SoakCounts &counts);

    void act(Clock::time_point now, SoakCounts &counts);
    void onEvents(short revents, Clock::time_point now, SoakCounts &counts, std::vector<int> &freedSeats);

private:
    void connect(Clock::time_point now);
    void hangUp(Clock::time_point now, int waitMs);
    void queue(const std::string &message);
    void flush();
    void handle(const std::string &message, Clock::time_point now, SoakCounts &counts, std::vector<int> &freedSeats);
    void sendChat(Clock::time_point now);
    void sendWord(Clock::time_point now, SoakCounts &counts);
    void flood();
    int randomMs(int low, int high);
    std::string guess();

    Kind kind_;
    std::string name_;
    const std::vector<std::string> &wordPool_;
    int port_;
    bool startsGames_;
    std::mt19937 random_;

    int fd_ = -1;
    bool connecting_ = false;
    bool reading_ = true;
    std::string in_;
    std::string out_;
    int seat_ = 0;
    bool loggedIn_ = false;
    Clock::time_point connectAt_ {};
    Clock::time_point leaveAt_ {};

    long chatSerial_ = 0;
    bool chatOutstanding_ = false;
    Clock::time_point chatSentAt_ {};
    Clock::time_point nextChatAt_ {};
    Clock::time_point nextSoundAt_ {};

    std::string masked_;
    bool wordPending_ = false;
    Clock::time_point wordAt_ {};
    int attempts_ = 0;

    bool gameRunning_ = false;
    Clock::time_point startGameAt_ {};
    int floodMode_ = 0;
};
