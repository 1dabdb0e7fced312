#pragma once

#include "engine/door.h"
#include "engine/relay_pace.h"
#include "engine/seat_reservations.h"
#include "net/drivable_timer.h"
#include "net/link.h"
#include "net/tsock.h"
#include "protocol/constants.h"
#include "protocol/messages.h"
#include "protocol/wire.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QList>
#include <QObject>
#include <QQueue>
#include <QVarLengthArray>

#include <algorithm>
#include <array>
#include <chrono>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <random>

class TDictn;

// The host engine: the seat table, accepting and seating connections, login and version check,
// relays, and the game itself (dealing, words, rounds, scores, the winner). It is a plain
// object, not a window; its rules talk to seats through Link and run on timers that tests can
// drive by hand (socktimerTimer and the dispatcher's clock, timer1Timer, logintimerTimer).
class TServer : public QObject
{
    Q_OBJECT
public:
    static constexpr int kSeatTableSize = 11; // seats 1 to 11; seat 0 is not used
    static constexpr int kDealtRounds = 20;
    // A connection's messages are handled as they arrive, but at most one every pace: faster
    // ones wait for their turn.
    static constexpr std::chrono::milliseconds kPace {proto::timing::kHostPaceMs};
    // What one connection may have waiting to be handled; a connection that sends more is
    // flooding and is closed.
    static constexpr int kMaxQueuedPerConnection = 256;
    static constexpr qsizetype kMaxQueuedBytesPerConnection = 1024 * 1024;
    // What may wait to go out to one connection; one that does not read is closed beyond it.
    static constexpr int kMaxUnsentBytes = 1024 * 1024;
    // The login clock ticks four times a second while a connection has not logged in.
    static constexpr int kLoginClockMs = 250;
    static constexpr int kLoginTicksPerSecond = 1000 / kLoginClockMs;
    // A connection that has not logged in this long after it was accepted is closed.
    static constexpr int kLoginSeconds = 30;
    // While every seat is taken and some are held by connections that have not logged in,
    // newcomers wait at the door in the order they came (at most kMaxWaiting of them; beyond, they
    // are told the game is full). A stranger that has not logged in within this many ticks of the
    // login clock (half a second to three quarters; a real client logs in within milliseconds of
    // being told its seat) then gives its seat to the first one waiting. Order, not speed, decides
    // who gets a seat: a connection that reconnects goes to the back of the line.
    static constexpr int kContestedLoginTicks = 3;
    static constexpr int kMaxWaiting = 32;
    // While every seat is taken, a newcomer may be a player coming back with its seat key: it has
    // this many ticks of the login clock to show it before it is told the game is full.
    static constexpr int kReclaimTicks = 8;

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
    // Takes players on a socket that is already listening (handed over by a service manager) and
    // returns its port; a descriptor that is no listening stream socket throws ESockException.
    quint16 adoptListener(int fd);
    bool listening() const;
    quint16 listeningPort() const;
    void Sock1Accept(TSock *listener);
    // Seats a connection; returns its seat, or 0 when it waits at the door for a seat or the game
    // was full and it was refused.
    int seatConnection(std::unique_ptr<Link> link);
    void Sock1Read(Link *link, const QByteArray &bytes);
    void tempsockDisconnect(Link *link);
    void tempsockInfo(Link *link);
    // The dispatcher: handles every received message whose turn has come, in the order they
    // arrived, and sets its timer for the next turn.
    void socktimerTimer();
    // A tick of the login clock: closes connections that took too long to log in.
    void logintimerTimer();
    // Removes a seat's player: it hears its own departure, then its connection is closed. Its
    // seat is not kept for it.
    void disconnectsock(int seat);
    // The host ends the game: every player logged in is told ("CMD_hostending"), nobody is taken
    // any more, and every connection is closed in an orderly way. The engine stays idle after it.
    void announceEnding();
    // The starter, who may start a game and remove players: on a hosting copy its own player
    // (setOwnClient), elsewhere the player (seats 1-6) who has been at the table longest; 0 when
    // there is none. It moves on at once when the starter leaves.
    int starterSeat() const;
    // This engine runs in a hosting copy whose own client connects from this local address: that
    // connection is the copy's own player, who starts the games.
    void setOwnClient(const SockAddress &clientAddress);
    // The seats logged in, the longest at the table first (a hosting copy's own player before
    // all): the order in which a newcomer is told who is there.
    QList<int> seatsBySeniority() const;

    // ---- message handlers; the dispatcher has checked that the seat a message names is the
    // seat of the connection it came in on
    void receivedlogininfo(const msg::LoginInfo &m);
    void kickhim(const msg::KickHim &m);
    void chat(const msg::Chat &m);
    void action(const msg::Action &m);
    void justwatch(const msg::JustWatch &m);
    void playasound(const msg::PlayASound &m);
    // A player coming back shows its seat key: the connection moves to the seat kept for it.
    void reclaimseat(const msg::ReclaimSeat &m);
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
    int waitingConnections() const { return int(waiting_.size()); }
    // The seat is kept for its player, who dropped during the game.
    bool seatKept(int n) const { return reservations_.kept(n); }
    // A seat whose connection has logged in: it plays (or watches), is dealt words and hears
    // everything. A seat in use that has not logged in yet is told nothing but its seat number.
    bool loggedIn(int n) const { return inSeatTable(n) && seats_[size_t(n)].inUse && connections_[size_t(n)].loggedIn; }
    bool timer1Running() const { return timer1_.running(); }
    // The dispatcher's timer is set only while messages wait, the login clock runs only while a
    // connection has not logged in: an idle host does not wake.
    bool socktimerRunning() const { return socktimer.running(); }
    bool logintimerRunning() const { return logintimer_.running(); }
    void seedRandom(unsigned seed) { random_.seed(seed); }
    // With a manual clock the phase countdown and the login clock move only when timer1Timer and
    // logintimerTimer are called, so a test can play a whole game in moments without the real
    // second ticking in between.
    void setManualClock(bool manual);
    // With a manual dispatcher the dispatcher's time stands still: received messages are handled
    // when advanceDispatchClock moves it on to their turns, or when socktimerTimer is called.
    void setManualDispatch(bool manual) { socktimer.setManualClock(manual); }
    void advanceDispatchClock(DrivableTimer::Duration by) { socktimer.advance(by); }
    // The former rule, for a benchmark that measures it beside the present one: a tick every pace
    // (the first a whole pace after a message reaches an idle host) handles the next message of
    // at most `count` connections. 0, the default, handles messages as they arrive.
    void setMessagesPerTick(int count) { messagesPerTick_ = std::max(0, count); }
    // Relayed lines are paced (RelayPace) unless a benchmark turns that off to measure windows
    // under a host that relays every line, as the former rule did.
    void setRelaysPaced(bool paced) { relaysPaced_ = paced; }
    // The clock (milliseconds, monotonic) that paces relays and keeps the log quiet; tests set
    // one they move by hand.
    void setClock(std::function<qint64()> clock) { clock_ = std::move(clock); }

signals:
    // A line about what the host is doing, for a log (the headless host prints them).
    void activity(const QString &line);

private:
    // A received message, its place in the order of arrival over all connections and the moment
    // it arrived.
    struct Received {
        QByteArray line;
        quint64 arrival = 0;
        DrivableTimer::Duration at {};
    };
    // A seat's connection and the messages received on it that wait for their turn.
    struct Connection {
        std::unique_ptr<Link> link;
        proto::StreamCutter cutter {proto::StreamCutter::Overlong::Dropped};
        QQueue<Received> received;
        qsizetype receivedBytes = 0;
        bool loggedIn = false;
        // Its first login waits to be handled: for the door it is no stranger meanwhile.
        bool loginPending = false;
        bool loginSent = false;
        int ticksWithoutLogin = 0;
        QString address;      // where it comes from, for the log
        QByteArray party;     // see door::partyOf
        bool own = false;     // the hosting copy's own client
        // The order of its player's login among all logins (0 before it); see standingKept.
        quint64 seniority = 0;
        // Its player's departure was announced when the logins so far were this many.
        std::optional<quint64> leftAfterLogins;
        RelayPace pace;
        // A pace after the last message handled: its next message is handled no sooner.
        DrivableTimer::Duration nextTurn = DrivableTimer::Duration::min();
    };

    bool inSeatTable(int n) const { return n >= 1 && n <= kSeatTableSize; }
    bool acceptsWordFrom(int seat) const;
    bool listComplete(int seat) const;
    template <class M>
    bool senderMayUse(const M &message, int from) const;
    template <class M, void (TServer::*handler)(const M &)>
    void decodeAndHandle(const QByteArray &data, int from);
    void dispatch(const QByteArray &verb, const QByteArray &data, int from);
    void handle(int seat);
    DrivableTimer::Duration turnOf(const Connection &connection) const;
    int nextToHandle(DrivableTimer::Duration now);
    QVarLengthArray<int, kSeatTableSize> seatsByArrival() const;
    void wakeDispatcherFor(const Connection &connection);
    void handleATick();
    void sendToSeat(int seat, const QByteArray &message);
    void sendToAll(const QByteArray &message);
    int seatOf(const Link *link) const;
    void lateJoin(int seat);
    QByteArray tableName(int seat, const QByteArray &sent) const;
    void restartTimer1(qint64 countdown, proto::Phase phase);
    void forgetReceived(Connection &connection);
    int freeSeat();
    // Into the seat given, or else the lowest free one.
    int takeSeat(std::unique_ptr<Link> link, int seat = 0);
    bool hasFreeSeat() const;
    bool strangerHoldsASeat() const;
    bool isOwnClient(const SockAddress &peer) const;
    int strangersFrom(const QByteArray &party) const;
    void waitAtTheDoor(std::unique_ptr<Link> link);
    // Tells the connection the game is full and closes it; `why` goes to the log ("the game is
    // full" when empty).
    void refuse(std::unique_ptr<Link> link, door::Log::Kind kind = door::Log::Kind::Full, const QString &why = {});
    // A line for the log about a connection from `party`, said once a minute (door::Log).
    void say(door::Log::Kind kind, const QByteArray &party, const QString &text);
    qint64 now() const { return clock_(); }
    // A chat line, action or chatter sound of this seat may be relayed now (RelayPace); the first
    // one dropped is told to the sender.
    bool paceAllows(int seat);
    void serveTheDoor();
    void makeRoomForTheWaiting();
    // Players coming back (tserver_returns.cpp).
    bool seatTaken(int n) const { return seats_[size_t(n)].inUse || reservations_.kept(n); }
    // The standing the seat's player keeps when it comes back to its seat (0: none, a new one).
    quint64 standingKept(int seat) const;
    void keepOrForget(int seat);
    void freeKeptSeats(const QList<int> &seats, const char *why);
    void awaitReclaim(std::unique_ptr<Link> link);
    void reclaimArrived(Link *link, const QByteArray &bytes);
    void ageReclaims();
    void endOldConnection(int seat);
    void giveBackSeat(int seat);
    void moveConnection(int from, int to, const QByteArray &key);

    TSock Sock1;
    std::array<Seat, kSeatTableSize + 1> seats_ {};
    std::array<Connection, kSeatTableSize + 1> connections_ {};
    std::deque<std::unique_ptr<Link>> waiting_; // at the door, the first comer first
    // Newcomers to a full table, who may show a seat key yet.
    struct Reclaiming {
        std::unique_ptr<Link> link;
        proto::StreamCutter cutter {proto::StreamCutter::Overlong::Dropped};
        int ticks = 0;
    };
    std::deque<Reclaiming> reclaiming_;
    SeatReservations reservations_;
    bool ending_ = false; // announceEnding(): nothing is announced or kept any more
    quint64 arrivals_ = 0;                      // messages received so far, over all connections
    int messagesPerTick_ = 0;
    bool relaysPaced_ = true;
    int sender_ = 0;                            // the seat whose message is being handled
    int seatCount_ = 0;
    quint64 logins_ = 0;         // logins so far: each login's seniority
    quint16 ownClientPort_ = 0;  // the hosting copy's own client's port; 0 for a host without one
    door::Log doorLog_;
    std::function<qint64()> clock_ = [] { return QDeadlineTimer::current().deadline(); };

    bool gameRunning_ = false;
    qint64 countdown_ = 0; // wide enough for any turn seconds a start can name
    proto::Phase phase_ = proto::NoPhase; // the Tag of timer1
    int roundNumber_ = 0;
    int roundsPerGame_ = 0;
    int turnSeconds_ = 0;
    int fastestSeat_ = 0;
    std::array<std::array<Puzzle, proto::kWordsPerRound + 1>, kDealtRounds + 1> puzzles_ {};
    DrivableTimer timer1_ {proto::timing::kPhaseClockMs, [this] { timer1Timer(); }};
    DrivableTimer logintimer_ {kLoginClockMs, [this] { logintimerTimer(); }};
    DrivableTimer socktimer {proto::timing::kHostPaceMs, [this] { socktimerTimer(); }};
    QList<QByteArray> listbox_words;
    std::shared_ptr<const TDictn> spell;
    std::mt19937 random_;
};
