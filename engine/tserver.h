#pragma once

#include "net/drivable_timer.h"
#include "net/link.h"
#include "net/tsock.h"
#include "protocol/constants.h"
#include "protocol/messages.h"
#include "protocol/wire.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QQueue>

#include <array>
#include <memory>
#include <random>

class TDictn;

// The host engine: the seat table, accepting and seating connections, login and version check,
// relays, and the game itself (dealing, words, rounds, scores, the winner). It is a plain
// object, not a window; its rules talk to seats through Link and run on timers that tests can
// drive one tick at a time (socktimerTimer, timer1Timer, logintimerTimer).
class TServer : public QObject
{
    Q_OBJECT
public:
    static constexpr int kSeatTableSize = 11; // seats 1 to 11; seat 0 is not used
    static constexpr int kDealtRounds = 20;
    // What one connection may have waiting to be handled; a connection that sends more is
    // flooding and is closed.
    static constexpr int kMaxQueuedPerConnection = 256;
    static constexpr qsizetype kMaxQueuedBytesPerConnection = 1024 * 1024;
    // What may wait to go out to one connection; one that does not read is closed beyond it.
    static constexpr int kMaxUnsentBytes = 1024 * 1024;
    // A connection that has not logged in this long after it was accepted is closed.
    static constexpr int kLoginSeconds = 30;

    struct Seat {
        QByteArray name;
        bool inUse = false;
        Link *link = nullptr;
        int totalScore = 0;
        int roundScore = 0;
        bool watching = false;
        QByteArray defaultName;
        int currentWord = 0;
        std::array<QByteArray, proto::kWordsPerRound + 1> words; // by word number 1-10
        int filledCount = 0;
    };

    struct Puzzle {
        QByteArray source;
        QByteArray masked;
    };

    explicit TServer(QObject *parent = nullptr);
    // A host that looks words up in a dictionary it shares with others (many hosts in one
    // process, as a fuzzer makes them, need not each write the word list file).
    explicit TServer(std::shared_ptr<const TDictn> dictionary, QObject *parent = nullptr);
    ~TServer() override;

    // ---- connection side
    // Starts taking players on `port` (0 lets the system pick one) and returns the port bound.
    // A port that cannot be bound throws ESockException ("Listen - Error Binding Socket").
    quint16 listen(int port);
    bool listening() const;
    quint16 listeningPort() const;
    void Sock1Accept(TSock *listener);
    // Seats a connection; returns its seat, or 0 when the game was full and it was refused.
    int seatConnection(std::unique_ptr<Link> link);
    void Sock1Read(Link *link, const QByteArray &bytes);
    void tempsockDisconnect(Link *link);
    void tempsockInfo(Link *link);
    void socktimerTimer();
    // One second of the login clock: closes connections that took too long to log in.
    void logintimerTimer();
    // Removes a seat's player: its connection is reset.
    void disconnectsock(int seat);
    // The starter, who may start a game and remove players: the lowest player seat (1-6) that is
    // logged in, 0 when there is none. It moves on at once when the starter leaves.
    int starterSeat() const;

    // ---- message handlers; the dispatcher has checked that the seat a message names is the
    // seat of the connection it came in on
    void receivedlogininfo(const msg::LoginInfo &m);
    void kickhim(const msg::KickHim &m);
    void chat(const msg::Chat &m);
    void action(const msg::Action &m);
    void justwatch(const msg::JustWatch &m);
    void playasound(const msg::PlayASound &m);
    void startgame(const msg::StartGame &m);
    void myword(const msg::MyWord &m);
    void pass(const msg::Pass &m);

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
    proto::Phase phase() const { return phase_; }
    qint64 countdown() const { return countdown_; }
    int roundNumber() const { return roundNumber_; }
    int roundsPerGame() const { return roundsPerGame_; }
    int turnSeconds() const { return turnSeconds_; }
    int fastestSeat() const { return fastestSeat_; }
    Puzzle &puzzle(int row, int wordNumber) { return puzzles_[size_t(row)][size_t(wordNumber)]; }
    const QList<QByteArray> &wordPool() const { return listbox_words; }
    int queuedMessages() const;
    bool timer1Running() const { return timer1_.running(); }
    // The dispatcher runs only while messages wait, the login clock only while a connection has
    // not logged in: an idle host does not wake.
    bool socktimerRunning() const { return socktimer.running(); }
    bool logintimerRunning() const { return logintimer_.running(); }
    void seedRandom(unsigned seed) { random_.seed(seed); }
    // With a manual clock the phase countdown and the login clock move only when timer1Timer and
    // logintimerTimer are called, so a test can play a whole game in moments without the real
    // second ticking in between.
    void setManualClock(bool manual);
    // With a manual dispatcher received messages are handled only when socktimerTimer is called.
    void setManualDispatch(bool manual) { socktimer.setManualClock(manual); }

signals:
    // A line about what the host is doing, for a log (the headless host prints them).
    void activity(const QString &line);

private:
    // A seat's connection and the messages received on it that wait for their turn.
    struct Connection {
        std::unique_ptr<Link> link;
        proto::StreamCutter cutter {proto::StreamCutter::Overlong::Dropped};
        QQueue<QByteArray> received;
        qsizetype receivedBytes = 0;
        bool loggedIn = false;
        int secondsWithoutLogin = 0;
    };

    bool inSeatTable(int n) const { return n >= 1 && n <= kSeatTableSize; }
    bool acceptsWordFrom(int seat) const;
    bool listComplete(int seat) const;
    template <class M>
    bool senderMayUse(const M &message, int from) const;
    template <class M, void (TServer::*handler)(const M &)>
    void decodeAndHandle(const QByteArray &data, int from);
    void dispatch(const QByteArray &verb, const QByteArray &data, int from);
    void sendToSeat(int seat, const QByteArray &message);
    void sendToAll(const QByteArray &message);
    int seatOf(const Link *link) const;
    void lateJoin(int seat);
    void restartTimer1(qint64 countdown, proto::Phase phase);
    void forgetReceived(Connection &connection);

    TSock Sock1;
    std::array<Seat, kSeatTableSize + 1> seats_ {};
    std::array<Connection, kSeatTableSize + 1> connections_ {};
    int nextTurn_ = 1; // the seat whose connection is looked at first on the next tick
    int seatCount_ = 0;

    bool gameRunning_ = false;
    qint64 countdown_ = 0; // wide enough for any turn seconds a start can name
    proto::Phase phase_ = proto::NoPhase; // the Tag of timer1
    int roundNumber_ = 0;
    int roundsPerGame_ = 0;
    int turnSeconds_ = 0;
    int fastestSeat_ = 0;
    std::array<std::array<Puzzle, proto::kWordsPerRound + 1>, kDealtRounds + 1> puzzles_ {};
    DrivableTimer timer1_ {proto::timing::kPhaseClockMs, [this] { timer1Timer(); }};
    DrivableTimer logintimer_ {proto::timing::kPhaseClockMs, [this] { logintimerTimer(); }};
    DrivableTimer socktimer {proto::timing::kHostDispatchMs, [this] { socktimerTimer(); }};
    QList<QByteArray> listbox_words;
    std::shared_ptr<const TDictn> spell;
    std::mt19937 random_;
};
