#pragma once

#include "session/client_session.h"

#include <QMainWindow>

#include <functional>
#include <memory>
#include <optional>

class Board;
class PhraseButtons;
class SettingsFile;
class Tphrases;
class QAction;
class QActionGroup;
class QMenu;
class QPushButton;
class ResultsPanel;
class RoundDisplay;
class SeatRows;
class TileMenu;
class Tspylist;
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

    ClientSession &session() const { return session_; }

    QWidget *board() const { return board_; }
    SeatRows &seatRows() const { return *seatRows_; }
    Tspylist *spylist() const { return spylist_; }
    chat::ChatView *mainchat() const { return mainchat_; }
    chat::ChatEntry *mychat() const { return mychat_; }
    QPushButton *startButton() const { return button_start; }
    QAction *startGameAction() const { return StartGame1; }
    QMenu *optionsMenu() const { return optionsMenu_; }
    QAction *autoEraseAction() const { return AutoErase1; }
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
    Tphrases *phraseEditor() const { return phraseEditor_; }

    // The Start button and "Start Game": the start dialog, or "You are not connected".
    void button_startClick();
    void TextColor1Click();
    void N14Click(int size);
    // The three "Bot Speed" items: their tag (2000, 1000 or 500) becomes the bot speed.
    void Fast1Click(int tag);
    // Back to left 3, top 3, 775 by 577; saved with the next save.
    void ResetScreenLocation1Click();
    void PrhaseList1Click();
    // The window's left, top, width and height, as the settings file keeps them.
    QRect bounds() const;
    void placeWindow(const QRect &bounds);
    // Tests replace the colour chooser: it gets the current colour, answers nothing on Cancel.
    std::function<std::optional<quint32>(quint32 current)> chooseColour;

signals:
    // The window is on screen for the first time: start-up hosts or joins now.
    void firstShown();
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
    void connectSession();
    void connectInput();
    void draw(ClientSession::Parts parts);
    void drawOptions();

    ClientSession &session_;
    Tspylist *spylist_ = nullptr;
    QWidget *gamestart_ = nullptr;

    QWidget *central_ = nullptr;
    QWidget *board_ = nullptr;
    std::unique_ptr<SeatRows> seatRows_;
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
    QAction *AutoErase1 = nullptr;
    QAction *SpyList1 = nullptr;
    QActionGroup *textSizes_ = nullptr;
    QMenu *BotSpeed1 = nullptr;
    QActionGroup *botSpeeds_ = nullptr;
    QAction *ResetScreenLocation1 = nullptr;
    QAction *PrhaseList1 = nullptr;
    bool shown_ = false;
    bool ended_ = false;
};
