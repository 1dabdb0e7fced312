#pragma once

#include "client/client_state.h"
#include "engine/wire.h"
#include "net/tsock.h"

#include <QByteArray>
#include <QMainWindow>
#include <QQueue>
#include <QStringList>
#include <QTimer>

#include <array>
#include <functional>
#include <memory>
#include <vector>

class Board;
class QAction;
class QActionGroup;
class QLabel;
class QMenu;
class QPushButton;
class ResultsPanel;
class RoundDisplay;
class SeatRows;
class TileSet;
class TServer;
class Tspylist;
class WinnerBanner;
namespace chat {
class ChatEntry;
class ChatView;
class SmileyButton;
}

// The main window: everything a player sees, and the client's session with the host. Every
// copy of the program is a client, the hosting one included; it owns no game state beyond its
// seat: what it knows is what the board shows.
class Tchat : public QMainWindow
{
    Q_OBJECT
public:
    using Handler = std::function<void(const QByteArray &data)>;

    struct Startup {
        QStringList parameters; // positional: name, host address, "true" to host
        int port = 7772;        // the game's port, for hosting and joining alike
    };

    explicit Tchat(Startup startup, QWidget *parent = nullptr);
    ~Tchat() override;
    // The windows created after the main window that it works with: the spy list, the game
    // options dialog and the hidden host engine that every copy carries.
    void attach(Tspylist *spylist, QWidget *gamestart, TServer *server);

    ClientState &state() { return state_; }
    const ClientState &state() const { return state_; }
    TSock sock;   // the connection to the host
    TSock Sock11; // the link to the lobby application: opened, never used

    QWidget *board() const { return board_; }
    SeatRows &seatRows() const { return *seatRows_; }
    Tspylist *spylist() const { return spylist_; }
    chat::ChatView *mainchat() const { return mainchat_; }
    chat::ChatEntry *mychat() const { return mychat_; }
    QPushButton *startButton() const { return button_start; }
    QAction *startGameAction() const { return StartGame1; }
    QMenu *optionsMenu() const { return optionsMenu_; }
    QMenu *tilesMenu() const { return tilesMenu_; }
    QAction *autoEraseAction() const { return AutoErase1; }
    QActionGroup *tileSetGroup() const { return tileSets_; }
    QWidget *gameStartDialog() const { return gamestart_; }
    Board &puzzleBoard() const { return *puzzleBoard_; }
    RoundDisplay &roundDisplay() const { return *roundDisplay_; }
    ResultsPanel &resultsPanel() const { return *resultsPanel_; }
    WinnerBanner &winnerBanner() const { return *winnerBanner_; }

    // ---- start-up
    void processparams();
    void hostpress();
    void joinpress();

    // ---- the session
    void sockRead(TSock *sender, int count);
    void sockInfo(TSock *sender, TSocketInfo info, const QString &text);
    void processsocktimer();
    // Sends a whole message on the connection to the host.
    void send(const QByteArray &message);
    // Sets the handler of a verb in the dispatcher's table; the table's verbs and their order
    // are fixed, so an unknown verb is refused.
    bool setHandler(const QByteArray &verb, Handler handler);
    const std::vector<QByteArray> &dispatchOrder() const;
    // Messages received and not yet handled.
    int queuedMessages() const { return int(receivedlist_.size()); }

    void sendloginfo(const QByteArray &data);
    void newplayerinfo(const QByteArray &data);
    void playerdisconnected(const QByteArray &data);
    void gameIsFull();

    // Column swap: the results column that shows a seat's results (1 to 6).
    void sortstuff(int seat);
    void movestuff(int fromColumn, int toColumn);
    int columnOfSeat(int seat) const;

    // ---- chat
    void sendit();
    void chatrecieved(const QByteArray &data);
    void addlinetochat(const QString &line, quint32 colour);
    void systemLine(const QString &text);
    quint32 textColour() const { return textColour_; }
    void setTextColour(quint32 colour);
    void TextColor1Click();
    void N14Click(int size);
    // Tests replace the colour chooser: it gets the current colour, answers nothing on Cancel.
    std::function<std::optional<quint32>(quint32 current)> chooseColour;

    // ---- sounds, requested by name; the player is attached from outside
    void playsounds(const QString &name);

    // ---- the board and letter entry (tchat_board.cpp)
    // The window's key handler: sees every key press of the window before the focused control;
    // true when the board consumed the key. keyCode is a code of keys::.
    bool FormShortCut(int keyCode);
    void hitdone();
    void hitclear();
    void hitpass();
    void settyping();
    // The keyboard goes to the chat entry (the mode is switched on if it was off) or to the board.
    void switchToChat();
    void switchToBoard();
    void setword(int wordNumber, const QByteArray &masked);
    void newword(const QByteArray &data);
    void invalid(const QByteArray &data);
    void grouptilesmenu();
    void creategrouptilesmenu(const QString &name);
    void grouptilesmenuClick(QAction *entry);
    void loadgrouptiles(const QString &name);
    void redrawtiles();
    void autoeraseClick();
    bool autoErase() const;
    QString currentTileSet() const { return currentTileSet_; }

    // ---- rounds, clock, scores and the winner (tchat_rounds.cpp)
    void button_startClick();
    void turntimeTimer();
    // With a manual turn clock the seconds move only when turntimeTimer() is called.
    void setManualTurnClock(bool manual);
    void clearall();
    void startthegame(const QByteArray &data);
    void startround(const QByteArray &data);
    void getnextplayer(const QByteArray &data);
    void loadstats(const QByteArray &data);
    void hiscount(const QByteArray &data);
    void allfilled(const QByteArray &data);
    void alldone(const QByteArray &data);
    void timeup(const QByteArray &data);
    void postscores(const QByteArray &data);
    void winner(const QByteArray &data);

signals:
    void soundRequested(const QString &name);
    // The window closed: the program ends.
    void ended();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildBoard();
    void buildChat();
    void buildMenus();
    void connectGame();
    void startTurn(); // the keyboard, the buttons and the sound of a player's turn
    void placeChat();
    void dispatch(const QByteArray &line);

    ClientState state_;
    Startup startup_;
    TServer *server_ = nullptr;
    Tspylist *spylist_ = nullptr;
    QAction *SpyList1 = nullptr;

    QWidget *central_ = nullptr;
    QWidget *board_ = nullptr;
    std::unique_ptr<SeatRows> seatRows_;
    std::unique_ptr<TileSet> tiles_;
    Board *puzzleBoard_ = nullptr;
    RoundDisplay *roundDisplay_ = nullptr;
    ResultsPanel *resultsPanel_ = nullptr;
    WinnerBanner *winnerBanner_ = nullptr;
    QWidget *gamestart_ = nullptr;
    chat::ChatView *mainchat_ = nullptr;
    chat::ChatEntry *mychat_ = nullptr;
    chat::SmileyButton *button_smilies = nullptr;
    QPushButton *button_start = nullptr;

    QMenu *optionsMenu_ = nullptr;
    QMenu *tilesMenu_ = nullptr;
    QAction *StartGame1 = nullptr;
    QAction *AutoErase1 = nullptr;
    QActionGroup *textSizes_ = nullptr;
    QActionGroup *tileSets_ = nullptr;
    QString currentTileSet_;              // empty until a set is loaded
    QAction *tileEntryChecked_ = nullptr; // the Tiles entry of the set in use, if it has one
    QString turnSound_ = QStringLiteral("turn"); // "turnnew" with the New turn sound

    wire::StreamCutter cutter_;
    QQueue<QByteArray> receivedlist_;
    QTimer Timer1;
    std::vector<std::pair<QByteArray, Handler>> table_;
    std::array<int, 7> columnOfSeat_ {0, 1, 2, 3, 4, 5, 6};
    quint32 textColour_ = 0; // black
    bool shown_ = false;
    bool endingAfterNotice_ = false;
    bool connectionClosed_ = false;
    bool ended_ = false;
};
