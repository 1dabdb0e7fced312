#pragma once

#include "app/startup/found_games_list.h"
#include "app/startup/game_choice_dialog.h"
#include "joining/game_address.h"

class QAbstractItemModel;
class QComboBox;
class QLabel;
class QModelIndex;
class RecentGames;

// "Join a Game...": the player's name (the last one used, to begin with) and the game's address
// as HOST, HOST:PORT or [IPv6]:PORT (or an invite link, vrel://HOST:PORT), typed or picked from
// the last ten games joined. An address
// that does not read is refused in words and the dialog stays open. A list of games found on the
// local network can be shown above the address: picking one fills the address in, a double click
// or Enter on one joins it.
class Tjoingame : public GameChoiceDialog
{
    Q_OBJECT
public:
    Tjoingame(const RecentGames &recent, QWidget *mainWindow);

    QComboBox *addressBox() const { return combo_address; }
    QListView *foundList() const { return list_found; }
    // Shows the dialog with the last name used and the recent addresses, the address field
    // holding `address` (empty: the most recent one). "Try again" after a failed connection and
    // an invite link without a name open it this way.
    void showDialog(const QString &address = QString());
    // The games found on the local network: the list shows the model's display texts, and
    // picking one fills the address in from its `addressRole` (a text readGameAddress takes).
    // Without a model the list is not shown.
    void setFoundGames(QAbstractItemModel *model, int addressRole);
    // Said inside the list while it cannot list anything (e.g. no way to find games); empty
    // to say nothing.
    void setFoundGamesNote(const QString &note);

signals:
    void joinRequested(const QString &name, const GameAddress &address);

protected:
    void go() override;

private:
    void pickFound(const QModelIndex &index);
    void joinFound(const QModelIndex &index);
    void placeFoundNote();

    const RecentGames &recent_;
    QComboBox *combo_address = nullptr;
    QLabel *label_found = nullptr;
    FoundGamesList *list_found = nullptr;
    QLabel *label_found_note = nullptr; // inside the list
    int foundAddressRole_ = Qt::DisplayRole;
};
