#pragma once

#include "client/dialog_window.h"

#include <QStringList>

#include <array>

class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class TallyTable;

// The tally window: the overall record, the players at the board (ticked when tallied, a tick
// adds them), the players being tallied (removing a tick removes them, after a question) and the
// record of the one selected, over all runs and this run. It draws the tally and changes it only
// as the player asks.
class Ttallylist : public DialogWindow
{
    Q_OBJECT
public:
    Ttallylist(TallyTable &tally, QWidget *mainWindow);

    // Players In Current Game: the names at the board besides the local player's (the main
    // window's loadchecklist fills it).
    void setRoster(const QStringList &names);
    // One finished game, counted for the players of the roster as it stands.
    void addgame(const QString &winner, bool localWins);

    QListWidget *checklist() const { return checklist_; }
    QListWidget *tallyList() const { return listbox_tally; }
    QPushButton *resetButton() const { return button_reset; }

    void checklistClickCheck(int row);
    void listbox_tallyClick();
    void listbox_tallyClickCheck(int row);
    void button_resetClick();
    void button_doneClick() { close(); }

private:
    void buildLists();
    void buildRecord();
    void draw();
    void drawRoster();
    void drawTallied();
    void drawPlayer();

    TallyTable &tally_;
    QStringList roster_;
    QListWidget *checklist_ = nullptr;
    QListWidget *listbox_tally = nullptr;
    QLabel *label_totalgames = nullptr;
    QLabel *label_yourwins = nullptr;
    QLabel *label_playertally = nullptr;
    QLabel *label_theirwins = nullptr;
    std::array<QLabel *, 4> totals_ {};
    std::array<QLabel *, 4> session_ {};
    QPushButton *button_reset = nullptr;
    bool drawing_ = false;
};
