#pragma once

#include "chat/outgoingline.h"
#include "net/drivable_timer.h"
#include "net/sock_address.h"
#include "protocol/messages.h"
#include "protocol/wire.h"
#include "session/arrival_order.h"
#include "session/board_state.h"
#include "session/chat_backlog.h"
#include "session/player_options.h"
#include "session/session_state.h"
#include "session/turn_clock.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QQueue>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <array>
#include <chrono>
#include <memory>

class Link;

// The client's side of a game: its connection to the host, the queue of received messages and
// the dispatcher that hands them to their handlers as they come, and everything the client knows
// of the game (seats, onlookers, the board, the clock, the results, the winner). It takes the
// player's actions as calls and sends what they ask for. It has no window: the main window draws
// it from its state whenever changed() names a part, so a whole game can be played without one.
class ClientSession : public QObject
{
    Q_OBJECT
public:
    // The parts of the state that a change touched.
    enum Part {
        Seats = 0x01,
        Spectators = 0x02,
        Board = 0x04,
        Clock = 0x08,
        Results = 0x10,
        Winner = 0x20,
        Controls = 0x40, // the Start button and entry
        Options = 0x80,  // the player's options and phrases
    };
    Q_DECLARE_FLAGS(Parts, Part)

    // The options the player changes one at a time; each change is saved.
    enum class Option {
        TextSize,
        TextColour,
        GameOptions, // rounds per game and seconds per round, saved when a game is started
        BotSpeed,
        TurnSound,
        TileSet,
        PlaySounds,
        AutoErase,
        ChatterSounds,
        OpenPort,
        ReadChatAloud,
    };
    Q_ENUM(Option)

    // How long the phrase lock stays closed after a phrase is sent (about a second and a half).
    static constexpr std::chrono::milliseconds kPhraseLock {proto::timing::kPhraseLockMs};

    explicit ClientSession(QObject *parent = nullptr);
    ~ClientSession() override;

    // ---- the connection
    // The player's name, and the host's address when joining (set at start-up).
    void setPlayer(const QString &name, const QString &hostAddress);
    // This copy hosts: its own client connects to the host engine listening on the port.
    void hostpress(int port);
    // Connects to the host's address on the port.
    void joinpress(int port);
    // Leaves the game as closing the window does, without closing it: the connection ends
    // without a word (the host frees the seat), whatever was received and not yet handled is
    // dropped, and everything known of the game is forgotten. The player's options stay. The
    // session can then host or join another game.
    void leaveGame();
    // Connects again to the host it joined, under the same name, after the connection was lost,
    // and shows the host its seat key: the host gives the seat back with its score and words. A
    // host that knows nothing of the key (a new game on the address) seats it as a newcomer, and
    // the board starts clean. A name that no longer resolves throws ESockException.
    void rejoin();
    // The same over a link given (a test's).
    void rejoinOver(std::unique_ptr<Link> link);
    // Lets the connection of an attempt go without a word (one that took too long).
    void dropConnection();
    // Gives the game's connection up for good (a rejoin or a join given up, a removal, the
    // host's end): no more rejoining, and chat lines still waiting are told as not sent.
    void giveUp();
    // The address joined and its port, as a player writes them ("10.0.0.5:7772", "[::1]:7772").
    QString hostAddressText() const;
    int hostPort() const { return hostPort_; }
    // Talks to the host over this link from now on (the TCP link, or a test's).
    void setLink(std::unique_ptr<Link> link);
    bool hasLink() const { return link_ != nullptr; }
    // The address and port this client's connection comes from (invalid before it connects).
    SockAddress connectedFrom() const;
    // The host's name is resolved (or was an address): the connection is being made.
    bool hostKnown() const;
    // Joins over a connection already made to the host, with the bytes already read from it: the
    // game was tried before the one this session was in was left.
    void joinOver(int port, std::unique_ptr<Link> link, const QByteArray &received);
    // Sends a whole message to the host; nothing once the connection has ended.
    void send(const QByteArray &message);

    // ---- receiving and dispatching
    // A host that keeps this client further behind than this is broken or hostile: the session
    // ends with a word to the player rather than falling ever further behind.
    static constexpr int kMaxQueuedMessages = 10000;
    static constexpr qsizetype kMaxQueuedBytes = 16 * 1024 * 1024;
    // One pass of the dispatcher, which runs as soon as messages arrive: they are handled oldest
    // first, as many as fit in the pass's time budget (at least one); what is left gets the next
    // pass, after the window has drawn and taken the player's input.
    void processsocktimer();
    // Handles one received line at once, as a pass would.
    void dispatch(const QByteArray &line);
    int queuedMessages() const { return int(receivedlist_.size()); }
    // The verbs the dispatcher knows, in the order it compares them.
    static const QList<QByteArray> &dispatchOrder();
    static bool handles(const QByteArray &verb);
    // With a manual clock the session's time (the dispatcher's and the phrase lock's) stands
    // still: received messages are handled when processsocktimer() is called or
    // advanceDispatchClock() moves time on; the turn clock moves only when turntimeTimer() is
    // called.
    void setManualDispatch(bool manual) { Timer1.setManualClock(manual); }
    void advanceDispatchClock(DrivableTimer::Duration by) { Timer1.advance(by); }
    // A pass is due only while messages wait.
    bool dispatcherRunning() const { return Timer1.running(); }
    // The former rule, for a benchmark that measures it beside the present one: passes come on a
    // tick every `ms`, the first a whole tick after a message reaches an idle session. 0, the
    // default, handles messages as they arrive.
    void setDispatchTick(int ms) { dispatchTick_ = std::chrono::milliseconds(std::max(0, ms)); }
    void setManualTurnClock(bool manual) { clock_.setManualClock(manual); }

    // ---- the state
    int localSeat() const { return localSeat_; }
    bool connected() const { return connected_; }
    bool hostFlag() const { return hostFlag_; }
    // The starter may start a game and remove players: the hosting copy, or, on a host without a
    // window, the player who has been at the table longest. The host tells a newcomer who is there
    // in that order, and everybody else of every login as it happens, so every window follows
    // the order of arrival that the host keeps.
    bool isStarter() const;
    // Between the loss of the connection and a rejoin.
    bool rejoining() const { return rejoining_; }
    // The key of the seat the host gave this player, and that seat ("" and 0 from a classic host).
    const QByteArray &seatKey() const { return seatKey_; }
    int keySeat() const { return keySeat_; }
    const QString &playerName() const { return playerName_; }
    bool isPlayer() const { return proto::isPlayerSeat(localSeat_); }
    bool isSpectator() const { return localSeat_ > proto::kPlayerSeats; }
    const SeatRow &seat(int n) const { return seats_[size_t(n - 1)]; }
    const QList<Spectator> &spectators() const { return spectators_; }
    const BoardState &board() const { return board_; }
    const TurnClock &clock() const { return clock_; }
    const ResultsState &results() const { return results_; }
    const WinnerState &winnerState() const { return winner_; }
    int entrySeat() const { return entrySeat_; }
    bool ownsBoard() const { return entrySeat_ != 0 && entrySeat_ == localSeat_; }
    // The board has the keyboard: the player's turn in board mode, the wait for the host's answer
    // to a submitted word included.
    bool boardHasKeys() const { return !board_.typeInChat && (ownsBoard() || wordSent_); }
    // A game runs, as far as this client knows: from its start to its winner.
    bool gameRunning() const { return gameOn_; }
    int round() const { return round_; }
    int phase() const { return phase_; }
    bool startOffered() const { return startOffered_; }
    const PlayerOptions &options() const { return options_; }
    bool autoErase() const { return options_.autoErase; }
    quint32 textColour() const { return options_.textColour; }
    // A phrase button's phrase (1 to 9).
    const QString &phrase(int button) const { return options_.phrases[size_t(button - 1)]; }
    // Closed for a while after each phrase sent (see b_phrase1Click).
    bool phraseLocked() const { return Timer1.now() < phraseLockedUntil_; }
    // The check mark of "Just Watch": the local player watches, as the host last said.
    bool justWatching() const { return justWatch_; }
    // The names at the board besides the local player's own seat, seats 1 to 6 in order.
    QStringList opponents() const;
    // The results column that shows a seat's results (1 to 6).
    int columnOfSeat(int seat) const;

    // ---- options: each setter reports the change with optionChanged(), which saves it
    void setAutoErase(bool on);
    void setTextColour(quint32 colour);
    // A size outside kMinTextSize to kMaxTextSize changes nothing.
    void setTextSize(int size);
    void setBotSpeed(int speed);
    void setTurnSound(int tag);
    void setPlaySounds(bool on);
    void setChatterSounds(bool on);
    void setOpenPort(bool on);
    void setReadChatAloud(bool on);
    void setTileSet(const QString &name);
    // The start dialog's values as its arrows move them (clamped to their ranges); they are
    // saved when a game is started.
    void setGameOptions(int rounds, int seconds);
    // A phrase button's phrase (1 to 9); the phrase editor stores them itself.
    void setPhrase(int button, const QString &phrase);

    // ---- the player's actions
    // What the board does with a key now (keyCode is one of keys::); None lets the key go on to
    // the focused control.
    enum class BoardKey { None, Typing, Pass, Submit, Backspace, Clear, Letter };
    BoardKey boardKey(int keyCode) const;
    // The window's key handler: sees every key press before the focused control (and before the
    // window's shortcuts); true when the board took the key.
    bool FormShortCut(int keyCode);
    void hitdone();
    void hitclear();
    void hitpass();
    void settyping();
    // The player moved to the chat entry (a click, Tab) or to the board (a click, Escape in the
    // entry): during the player's turn the keys follow; outside it nothing changes.
    void chooseChat();
    void chooseBoard();
    // A phrase button (1 to 9) was clicked: its phrase goes to everybody as an action, unless the
    // phrase lock is closed. The lock closes for kPhraseLock. Without any
    // connection to send on, the socket's "Send - Socket Not Connected" is thrown.
    void b_phrase1Click(int button);
    // A chatter sound chosen in the sound menu (1 to 20; 0 is "<Cancel>") goes to everybody,
    // the sender included, through the host. Spectators and a copy not yet logged in send
    // nothing.
    void wave12Click(int number);
    // Sends the chat entry's text as a line or an action; what the entry does with its text.
    // While the connection is being rejoined the line waits, and goes out once the seat is back
    // (or is told as not sent when it never comes back).
    chat::OutgoingLine::Kind sendit(const QString &entryText);
    // "Just Watch": asks the host to let the local player watch, or to play again when watching.
    void JustWatch1Click();
    // The seat menu's "Set to Just Watch" (StartWatching) and "Unset Just Watch" (PlayAgain).
    void setJustWatch(int seat, proto::WatchFlag flag);
    // Asks the host to remove a seat from the game; only the starter asks, and never for its own
    // seat.
    void kicking(int seat);
    // The question put to the starter before a seat is removed, naming what happens to it; empty
    // for a seat nobody holds.
    QString removalQuestion(int seat) const;
    // What the hosting copy's leaving does while a game runs with others at the table: "This ends
    // the game for the other 3 players."; empty when it ends nobody's game.
    QString leavingEndsTheGame() const;
    // The hosting player starts a game with the start dialog's rounds and seconds.
    void startgame(const QByteArray &rounds, const QByteArray &seconds);
    // The tile pictures changed: every tile is shown again from its code.
    void redrawtiles();
    // One second of the turn clock.
    void turntimeTimer();
    void systemLine(const QString &text);

    // ---- handlers of the host's messages
    void sendloginfo(const msg::SendLoginInfo &m);
    void newplayerinfo(const msg::NewPlayerInfo &m);
    // An empty name is a seat that never logged in (a host of the classic game announces those):
    // it counts for nothing.
    void newplayerinfo(const msg::ExistingPlayers &m);
    void havewrongversion(const msg::HaveWrongVersion &m);
    void wrongversion(const msg::WrongVersion &m);
    void playerdisconnected(const msg::PlayerDisconnected &m);
    void full(const msg::Full &m);
    void chatrecieved(const msg::Chat &m);
    void chatrecieved(const msg::Action &m);
    void startthegame(const msg::GameStarted &m);
    void startround(const msg::StartRound &m);
    void getnextplayer(const msg::NextPlayer &m);
    void loadstats(const msg::LoadStats &m);
    void newword(const msg::NewWord &m);
    void invalid(const msg::Invalid &m);
    void hiscount(const msg::HisCount &m);
    void allfilled(const msg::AllFilled &m);
    void alldone(const msg::AllDone &m);
    void timeup(const msg::TimeUp &m);
    void postscores(const msg::PostScores &m);
    void winner(const msg::Winner &m);
    void justwatching(const msg::JustWatching &m);
    void seatkey(const msg::SeatKey &m);
    // The host's answer to the key: the seat held before is this player's again.
    void reclaimseat(const msg::ReclaimSeat &m);
    void hostending(const msg::HostEnding &m);
    // A chatter sound: heard when "Play Chatter Sounds" is on (whatever "Play Sounds" says),
    // otherwise told as a system line.
    void playasound(const msg::PlayASound &m);

    // Column swap: the local seat's results go to the leftmost column.
    void sortstuff(int seat);
    void movestuff(int fromColumn, int toColumn);
    // The board reset of a game start.
    void clearall();
    void setword(int wordNumber, const QByteArray &masked);

signals:
    void changed(ClientSession::Parts parts);
    // The host announced this client's own seat ("You are Connected."): the login is complete and
    // the settings are read now.
    void loggedIn();
    void optionChanged(ClientSession::Option option);
    // A chat line, "seat+text", in its colour.
    void lineAdded(const QString &line, quint32 colour);
    // A sound to play now: a game sound while "Play Sounds" is on, or a chatter sound.
    void soundRequested(const QString &name);
    // The keyboard goes to the chat entry (true) or to the board.
    void typingChanged(bool typeInChat);
    // "Game is full": the window tells the player, then closes.
    void gameIsFull();
    // The session ended for the reason given (the host sent what this client cannot take): the
    // window tells the player, then closes.
    void endedWithNotice(const QString &reason);
    // The connection to the host ended for good (never logged in, or the hosting copy's own):
    // the window closes.
    void connectionClosed();
    // The host removed this player (it sent the player its own departure): the connection is
    // over and is not rejoined; the board stays as it was.
    void removedFromGame();
    // The host said it ends the game: the connection is over and is not rejoined.
    void hostEnded();
    // The connection of a joining copy ended without the player asking, after it had logged in:
    // the board stays, and the copy may rejoin().
    void connectionLost();
    // A connection to the host never came about (refused, unreachable, timed out), with the
    // Windows Sockets code of the reason.
    void connectionFailed(int wsaCode);
    // The host's name was resolved: hostKnown() is true from now on.
    void hostResolved();
    // A join (joinpress) started to connect to its host.
    void connecting();
    // The login after rejoin() is complete: the seat is back (ownSeat), or the host knew nothing
    // of it and this copy is a newcomer in the game there, on a clean board.
    void rejoined(bool ownSeat);
    // What happens to the local player as it happens, for players who follow the game by ear; each
    // comes after the board shows its outcome.
    // The player's turn began (at a round's start, or on joining while the words are made).
    void turnStarted();
    // The host accepted the player's word for that word number, or the player passed: the board
    // shows the next word, or the list is complete.
    void wordAccepted(int wordNumber, const QString &word);
    void wordPassed();
    // A word was refused, by the host or before it was sent (not five letters); the reason is the
    // status line's ("Invalid Word", "Invalid Match").
    void wordRefused(const QString &word, const QString &reason);
    // A second of the turn clock went by.
    void secondsLeft(int seconds);
    void timeIsUp();
    // The round's results are shown.
    void roundScored();
    // The winner's line ("You have Won the Game!", "Ann has Won the Game!").
    void winnerShown(const QString &text);
    // Somebody else arrived or left, told as the chat tells it ("Ann is Connected.").
    void playerCameOrWent(const QString &line);
    // A game ended with a winner while the local player held a seat (spectators count nothing);
    // localWins when the winner's name is the one on the local player's seat.
    void gameWon(const QString &winnerName, bool localWins);

private:
    void sockRead(const QByteArray &bytes);
    void sockInfo();
    void sockFailed(int wsaCode);
    void refreshStarter();
    void enqueue(const QByteArray &line);
    void forgetReceived();
    void announce(int seat, const QString &name, bool arrivedEarlier);
    // The line in place of a seat's chat lines that were not shown.
    void showHiddenLines(int seat);
    void endWithNotice(const QString &reason);
    // The host ended this connection in words (a removal, its end of the game).
    void toldToLeave();
    void sendLine(const chat::OutgoingLine &line);
    // Chat lines typed while the connection was down: sent now, or told as not sent.
    void sendWaitingLines();
    void tellUnsentLines();
    // Everything known of the game goes; the chat and the player's options stay.
    void forgetTheGame();
    void touch(Parts parts) { emit changed(parts); }
    void optionSet(Option option);
    template <class T>
    void setOption(T PlayerOptions::*field, const T &value, Option option);
    void wakeDispatcher();
    // A game sound, unless "Play Sounds" is off.
    void playsounds(const QString &name);
    void addlinetochat(const QString &line, quint32 colour);
    void showChat(int seat, const QByteArray &text);
    SeatRow &row(int n) { return seats_[size_t(n - 1)]; }
    void startTurn();
    void switchToChat();
    void switchToBoard();
    // The word sent was accepted (done word number) or passed (0): told once the board shows it.
    void answered(int doneWordNumber);
    // Clears the wait for an answer to a sent word along with it.
    void setEntrySeat(int seat);

    std::unique_ptr<Link> link_;
    proto::StreamCutter cutter_;
    QQueue<QByteArray> receivedlist_;
    qsizetype queuedBytes_ = 0;
    ChatBacklog chatBacklog_;
    DrivableTimer Timer1;
    DrivableTimer::Duration dispatchTick_ {};
    bool connectionClosed_ = false;
    bool toldToLeave_ = false; // removed, or the host ended the game: not rejoined
    bool loggedInOnce_ = false;
    bool rejoining_ = false;
    QByteArray seatKey_;
    int keySeat_ = 0;
    bool reclaimed_ = false;   // the host answered the key: the seat held is back
    QList<chat::OutgoingLine> waitingLines_; // typed while the connection was down
    bool gameOn_ = false;      // a game runs, as far as this client knows
    bool starter_ = false;     // isStarter() when the controls were last drawn
    int hostPort_ = 0;
    bool endingAfterNotice_ = false;

    QString playerName_;
    QString hostAddress_;
    int localSeat_ = 0;
    bool connected_ = false;
    bool hostFlag_ = false;
    bool startOffered_ = false;
    int entrySeat_ = 0;
    bool wordSent_ = false; // a word is with the host; its answer gives the board back
    QString sentWord_;      // the last word sent, in capitals
    int round_ = 0;
    int phase_ = proto::NoPhase;
    PlayerOptions options_;
    DrivableTimer::Duration phraseLockedUntil_ = DrivableTimer::Duration::min();
    bool justWatch_ = false;

    std::array<SeatRow, proto::kPlayerSeats> seats_ {};
    ArrivalOrder arrivals_; // the seats announced, in the order the host keeps of their arrival
    QList<Spectator> spectators_;
    std::array<int, proto::kPlayerSeats + 1> columnOfSeat_ {0, 1, 2, 3, 4, 5, 6};
    BoardState board_;
    TurnClock clock_;
    ResultsState results_;
    WinnerState winner_;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(ClientSession::Parts)
