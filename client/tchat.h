#pragma once

#include "session/client_session.h"

#include <QMainWindow>

#include <functional>
#include <memory>
#include <optional>

class AccessibleVoice;
class Announcer;
class Board;
class BoardStage;
class PhraseButtons;
class Rejoiner;
class SettingsFile;
class Tphrases;
class QAction;
class QActionGroup;
class QMenu;
class QPushButton;
class ResultsPanel;
class RoundDisplay;
class SeatMenu;
class SeatRows;
class Tabout;
class Thelp;
class TileMenu;
class Tspylist;
class Ttallylist;
class WinnerBanner;
namespace chat {
class ChatEntry;
class ChatView;
class SmileyButton;
}

// The main window: everything a player sees. It draws the session's state whenever the session
// reports a change and hands the player's keys, clicks and menu choices to the session; it keeps
// no game state of its own.
class Tchat : public QMainWindow
{
    Q_OBJECT
public:
    explicit Tchat(ClientSession &session, QWidget *parent = nullptr);
    ~Tchat() override;
    // The windows created after the main window that it works with: the spy list and the game
    // options dialog.
    void attach(Tspylist *spylist, QWidget *gamestart);
    // The settings file that keeps the options and the window's place, and the phrase editor.
    void attachSettings(SettingsFile *settings, Tphrases *phraseEditor);
    // The tally window, and the help and about windows.
    void attachTallyList(Ttallylist *tallylist);
    void attachHelp(Thelp *help, Tabout *about);
    // What keeps a joining copy in its game: File gets "Stop Connecting" while a join connects
    // and "Stop Rejoining" while it rejoins, the status line tells how the connection comes on,
    // and the host's end of the game is told in a message box; the window stays.
    void attachRejoiner(Rejoiner *rejoiner);
    QAction *stopRejoiningAction() const { return StopRejoining1; }

    ClientSession &session() const { return session_; }

    QWidget *board() const { return board_; }
    // How much larger than at the starting size the board is drawn (the window's size decides).
    qreal boardScale() const;
    SeatRows &seatRows() const { return *seatRows_; }
    Tspylist *spylist() const { return spylist_; }
    chat::ChatView *mainchat() const { return mainchat_; }
    chat::ChatEntry *mychat() const { return mychat_; }
    QPushButton *startButton() const { return button_start; }
    QAction *startGameAction() const { return StartGame1; }
    // File's "Host a Game...", "Join a Game..." and "Copy Invite Link"; start-up answers them.
    QAction *hostGameAction() const { return HostaGame1; }
    QAction *joinGameAction() const { return JoinaGame1; }
    QAction *copyInviteLinkAction() const { return CopyInviteLink1; }
    QMenu *optionsMenu() const { return optionsMenu_; }
    QAction *autoEraseAction() const { return AutoErase1; }
    QAction *openPortAction() const { return OpenPort1; }
    TileMenu &tileMenu() const { return *tileMenu_; }
    QWidget *gameStartDialog() const { return gamestart_; }
    Board &puzzleBoard() const { return *puzzleBoard_; }
    RoundDisplay &roundDisplay() const { return *roundDisplay_; }
    ResultsPanel &resultsPanel() const { return *resultsPanel_; }
    WinnerBanner &winnerBanner() const { return *winnerBanner_; }
    PhraseButtons &phraseButtons() const { return *phraseButtons_; }
    // b_phrase10, at the foot of the phrase buttons.
    QPushButton *chatterSoundButton() const;
    QMenu *botSpeedMenu() const { return BotSpeed1; }
    QMenu *turnSoundMenu() const { return TurnSound1; }
    Tphrases *phraseEditor() const { return phraseEditor_; }
    SeatMenu &seatMenu() const { return *seatMenu_; }
    QAction *justWatchAction() const { return JustWatch1; }
    QAction *viewTallyAction() const { return ViewTally1; }
    QAction *helpAction() const { return Help2; }
    QAction *aboutAction() const { return About1; }
    QAction *readChatAloudAction() const { return ReadChatAloud1; }
    QAction *boardSummaryAction() const { return BoardSummary1; }
    // Speaks the game's events to a player with a screen reader.
    Announcer &announcer() const { return *announcer_; }
    AccessibleVoice &accessibleVoice() const { return *voice_; }
    QWidget *logo() const { return image_logo; }
    Ttallylist *tallylist() const { return tallylist_; }
    Thelp *help() const { return help_; }
    Tabout *about() const { return about_; }

    // The Start button and "Start Game": the start dialog, or "You are not connected".
    void button_startClick();
    void TextColor1Click();
    void N14Click(int size);
    // The three "Bot Speed" items: their tag (2000, 1000 or 500) becomes the bot speed.
    void Fast1Click(int tag);
    // "Play Sounds" and "Play Chatter Sounds" switch their option.
    void PlaySounds1Click();
    void PlayChatterSounds1Click();
    // The two "Turn Sound" items: "Classic" (tag 0) or "New" (tag 1).
    void Classic1Click(int tag);
    // An item of the chatter-sound menu: its number, 0 for "<Cancel>".
    void wave12Click(int number);
    // Back to left 3, top 3, 775 by 577; saved with the next save.
    void ResetScreenLocation1Click();
    void PrhaseList1Click();
    // The window's left, top, width and height, as the settings file keeps them.
    QRect bounds() const;
    void placeWindow(const QRect &bounds);
    void JustWatch1Click();
    // Fills the tally window's Players In Current Game from the board.
    void loadchecklist();
    void ViewTally1Click();
    void Help2Click();
    void About1Click();
    // The logo on the board opens the game's web page.
    void image_logoClick();
    // "Join a Game...", its address field holding `address` (empty: the most recent one).
    void JoinaGame1Click(const QString &address = QString());
    // Tests replace the colour chooser: it gets the current colour, answers nothing on Cancel.
    std::function<std::optional<quint32>(quint32 current)> chooseColour;

signals:
    // The window is on screen for the first time: start-up hosts or joins now.
    void firstShown();
    // The window closed: the program ends.
    void ended();
    // The player asked to join a game, the address field to hold this address.
    void joinGameAsked(const QString &address);

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildBoard();
    void buildChat();
    void buildMenus();
    void buildSoundMenu();
    void buildWatchingAndHelpMenus(QMenu *view);
    void connectSession();
    void connectInput();
    void draw(ClientSession::Parts parts);
    void drawOptions();
    void scaleBoard(qreal scale);
    // The keyboard focus to the board while it has the keys, else to the chat entry.
    void focusWhereKeysGo();
    // Exit, or the window's close button: while this copy hosts a running game with others at
    // the table the player is asked first, with what leaving does to them. True to go on.
    bool mayLeaveGame();
    // Tab walks the window's controls in their order on the screen.
    void orderTabs();

    ClientSession &session_;
    Tspylist *spylist_ = nullptr;
    QWidget *gamestart_ = nullptr;
    Ttallylist *tallylist_ = nullptr;
    Thelp *help_ = nullptr;
    Tabout *about_ = nullptr;

    BoardStage *central_ = nullptr;
    QWidget *board_ = nullptr;
    std::unique_ptr<SeatRows> seatRows_;
    SeatMenu *seatMenu_ = nullptr;
    QWidget *image_logo = nullptr;
    TileMenu *tileMenu_ = nullptr;
    Board *puzzleBoard_ = nullptr;
    RoundDisplay *roundDisplay_ = nullptr;
    ResultsPanel *resultsPanel_ = nullptr;
    WinnerBanner *winnerBanner_ = nullptr;
    PhraseButtons *phraseButtons_ = nullptr;
    SettingsFile *settings_ = nullptr;
    Tphrases *phraseEditor_ = nullptr;
    chat::ChatView *mainchat_ = nullptr;
    chat::ChatEntry *mychat_ = nullptr;
    chat::SmileyButton *button_smilies = nullptr;
    QPushButton *button_start = nullptr;

    QMenu *optionsMenu_ = nullptr;
    QAction *StartGame1 = nullptr;
    QAction *HostaGame1 = nullptr;
    QAction *JoinaGame1 = nullptr;
    QAction *CopyInviteLink1 = nullptr;
    QAction *StopRejoining1 = nullptr;
    QAction *AutoErase1 = nullptr;
    QAction *OpenPort1 = nullptr; // "Open My Port on the Router"
    QAction *SpyList1 = nullptr;
    QAction *JustWatch1 = nullptr;
    QAction *ViewTally1 = nullptr;
    QAction *Help2 = nullptr;
    QAction *About1 = nullptr;
    QActionGroup *textSizes_ = nullptr;
    QAction *PlaySounds1 = nullptr;
    QAction *PlayChatterSounds1 = nullptr;
    QMenu *TurnSound1 = nullptr;
    QActionGroup *turnSounds_ = nullptr;
    QMenu *BotSpeed1 = nullptr;
    QActionGroup *botSpeeds_ = nullptr;
    QAction *ResetScreenLocation1 = nullptr;
    QAction *PrhaseList1 = nullptr;
    QAction *ReadChatAloud1 = nullptr;
    QAction *BoardSummary1 = nullptr;
    AccessibleVoice *voice_ = nullptr;
    Announcer *announcer_ = nullptr;
    bool keysOnBoard_ = false;
    bool shown_ = false;
    bool ended_ = false;
};
