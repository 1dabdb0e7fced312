#pragma once

#include "app/startup/game_choice_dialog.h"

class QSpinBox;
class RecentGames;

// "Host a Game...": the player's name (the last one used, to begin with) and the port the game
// is hosted on, 7772 unless changed.
class Thostgame : public GameChoiceDialog
{
    Q_OBJECT
public:
    Thostgame(const RecentGames &recent, QWidget *mainWindow);

    QSpinBox *portBox() const { return edit_port; }
    // Shows the dialog with the last name used.
    void showDialog();
    // The port asked for is taken: the dialog comes back as the player left it, saying so, with
    // the port that is free (`suggestion`, 0 for none) in the port field, selected.
    void showPortTaken(const QString &problem, int suggestion);

signals:
    void hostRequested(const QString &name, int port);

protected:
    void go() override;

private:
    const RecentGames &recent_;
    QSpinBox *edit_port = nullptr;
};
