#pragma once

#include "engine/wire.h"
#include "net/drivable_timer.h"
#include "net/tsock.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QQueue>
#include <QTimer>

#include <array>
#include <memory>
#include <random>

class SeatLink;
class TDictn;

// The host engine: the seat table, accepting and seating connections, login and version check,
// relays, and the game itself (dealing, words, rounds, scores, the winner). It is a plain
// object, not a window; its rules talk to seats through SeatLink and run on two timers that
// tests can drive one tick at a time (socktimerTimer, timer1Timer).
class TServer : public QObject
{
    Q_OBJECT
public:
    static constexpr int kSeatTableSize = 11;  // seats 1 to 11; seat 0 is not used
    static constexpr int kMaxPlayers = 6;
    static constexpr int kLastSpectatorSeat = 9;
    static constexpr int kWordsPerRound = 10;
    static constexpr int kDealtRounds = 20;
    static constexpr int kMaxQueuedPerConnection = 256;
    static constexpr int kTimer1Ms = 1000; // the phase clock: one tick a second

    struct Seat {
        QByteArray name;
        bool inUse = false;
        SeatLink *link = nullptr;
        int totalScore = 0;
        int roundScore = 0;
        bool watching = false;
        QByteArray defaultName;
        int currentWord = 0;
        std::array<QByteArray, kWordsPerRound + 1> words; // by word number 1-10
        int filledCount = 0;
    };

    struct Puzzle {
        QByteArray source;
        QByteArray masked;
    };

    enum Phase { NoPhase = 0, WordPhase = 1, ResultsPhase = 2, AllDonePause = 3 };

    explicit TServer(QObject *parent = nullptr);
    ~TServer() override;

    // ---- connection side
    TSock Sock1;
    void Sock1Accept(TSock *listener);
    // Seats a connection; returns its seat, or 0 when the game was full and it was refused.
    int seatConnection(std::unique_ptr<SeatLink> link);
    void Sock1Read(SeatLink *link, const QByteArray &bytes);
    void tempsockDisconnect(SeatLink *link);
    void tempsockInfo(SeatLink *link);
    void socktimerTimer();
    void disconnectsock(int seat);

    // ---- message handlers (data after the verb's "+"); `from` is the seat of the connection
    void receivedlogininfo(const QByteArray &data);
    void kickhim(const QByteArray &data);
    void chat(const QByteArray &data);
    void action(const QByteArray &data);
    void justwatch(const QByteArray &data);
    void playasound(const QByteArray &data);
    void startgame(const QByteArray &data);
    void myword(const QByteArray &data);
    void pass(const QByteArray &data);

    // ---- the game
    void setboards();
    void startround();
    void findplayer();
    static QByteArray converttoletter(int code);
    int findnextempty(int seat, int from) const;
    bool checkforfirst(int seat) const;
    bool checkforalldone() const;
    void timer1Timer();
    void endround();
    int checkforplaying() const;
    bool checkforwin();

    // ---- state, for the program around the engine and for tests
    const Seat &seat(int n) const { return seats_[size_t(n)]; }
    Seat &seat(int n) { return seats_[size_t(n)]; }
    int seatCount() const { return seatCount_; }
    bool gameRunning() const { return gameRunning_; }
    int phase() const { return phase_; }
    int countdown() const { return countdown_; }
    int roundNumber() const { return roundNumber_; }
    int roundsPerGame() const { return roundsPerGame_; }
    int turnSeconds() const { return turnSeconds_; }
    int fastestSeat() const { return fastestSeat_; }
    Puzzle &puzzle(int row, int wordNumber) { return puzzles_[size_t(row)][size_t(wordNumber)]; }
    const QList<QByteArray> &wordPool() const { return listbox_words; }
    int queuedMessages() const { return int(receivedlist_.size()); }
    bool timer1Running() const { return timer1_.running(); }
    void seedRandom(unsigned seed) { random_.seed(seed); }
    // With a manual clock the phase countdown moves only when timer1Timer is called, so a test
    // can play a whole game in moments without the real second ticking in between.
    void setManualClock(bool manual);

    QTimer socktimer;

signals:
    // A line about what the host is doing, for a log (the headless host prints them).
    void activity(const QString &line);

private:
    struct Connection {
        std::unique_ptr<SeatLink> link;
        quint64 serial = 0;
        wire::StreamCutter cutter;
        int queued = 0;
    };
    struct Received {
        QByteArray line;
        int seat = 0;
        quint64 serial = 0;
    };

    bool isSeat(int n) const { return n >= 1 && n <= kSeatTableSize; }
    bool isPlayerSeat(int n) const { return n >= 1 && n <= kMaxPlayers; }
    bool isCurrent(int seat, quint64 serial) const;
    std::optional<int> readSeat(wire::FieldReader &fields) const;
    std::optional<int> wordPhaseSeat(wire::FieldReader &fields) const;
    bool listComplete(int seat) const;
    bool senderMayUse(const QByteArray &verb, const QByteArray &data, int from) const;
    void sendToSeat(int seat, const QByteArray &message);
    void sendToAll(const QByteArray &message);
    void dispatch(const QByteArray &verb, const QByteArray &data);
    int seatOf(const SeatLink *link) const;
    void lateJoin(int seat);
    void restartTimer1(int countdown, Phase phase);

    std::array<Seat, kSeatTableSize + 1> seats_ {};
    std::array<Connection, kSeatTableSize + 1> connections_ {};
    quint64 nextSerial_ = 1;
    QQueue<Received> receivedlist_;
    int seatCount_ = 0;

    bool gameRunning_ = false;
    int countdown_ = 0;
    int phase_ = NoPhase; // the Tag of timer1
    int roundNumber_ = 0;
    int roundsPerGame_ = 0;
    int turnSeconds_ = 0;
    int fastestSeat_ = 0;
    std::array<std::array<Puzzle, kWordsPerRound + 1>, kDealtRounds + 1> puzzles_ {};
    DrivableTimer timer1_ {kTimer1Ms, [this] { timer1Timer(); }};
    QList<QByteArray> listbox_words;
    std::unique_ptr<TDictn> spell;
    std::mt19937 random_;
};
