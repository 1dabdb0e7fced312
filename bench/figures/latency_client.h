#pragma once

#include "protocol/wire.h"

#include <QByteArray>

#include <chrono>
#include <random>
#include <string>
#include <vector>

using Clock = std::chrono::steady_clock;

// How fast a client plays: a player's next word this long after the verdict on its last, a
// watcher's next chat line this long after its last came back (each drawn between the two).
struct ClientPace {
    int wordMinMs = 300, wordMaxMs = 300;
    int chatMinMs = 200, chatMaxMs = 600;
};

// A peer of the latency runs, speaking the wire protocol through the protocol's own builders and
// parsers over a non-blocking socket. It logs in; then a player submits a word 300 ms after each
// verdict while its word phase is open, a watcher chats one line at a time, 200 to 600 ms after
// each of its lines came back, and a chatter (alone at its host) does the same 20 ms after. One
// player starts games. The fleet run plays slower (its Pace).
class LatencyClient
{
public:
    enum class Role { Player, Watcher, Chatter };
    using Pace = ClientPace;

    LatencyClient(std::string name, int port, unsigned seed, Role role, Pace pace = {});

    bool connect();
    int fd() const { return fd_; }
    short pollEvents() const;
    bool loggedIn() const { return loggedIn_; }
    bool closed() const { return fd_ < 0; }
    // From now on this client starts a game whenever none runs.
    void startGames() { startsGames_ = true; }
    // Only from now on delays are recorded (the clients chat from their login on).
    void record() { recording_ = true; }

    void act(Clock::time_point now);
    void onEvents(short revents, Clock::time_point now);

    std::vector<double> chatMs;    // own chat line sent to relayed back
    std::vector<double> verdictMs; // word submitted to the host's answer on it
    long gamesStarted = 0;

private:
    void send(const QByteArray &message);
    void flush();
    void handle(const QByteArray &line, Clock::time_point now);
    int randomMs(int low, int high);
    QByteArray guess();

    std::string name_;
    int port_;
    Role role_;
    Pace pace_;
    std::mt19937 random_;
    int fd_ = -1;
    proto::StreamCutter cutter_;
    QByteArray out_;
    int seat_ = 0;
    bool loggedIn_ = false;
    bool startsGames_ = false;
    bool recording_ = false;
    bool gameRunning_ = false;

    long chatSerial_ = 0;
    bool chatOutstanding_ = false;
    Clock::time_point chatSentAt_ {};
    Clock::time_point nextChatAt_ {};

    QByteArray masked_;
    bool wordPhase_ = false;
    bool wordOutstanding_ = false;
    Clock::time_point wordSentAt_ {};
    Clock::time_point nextWordAt_ {};
};
