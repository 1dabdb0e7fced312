#pragma once

#include <QObject>

class ClientSession;
class QAction;
class QMenu;
class QPoint;
class SeatRows;

// "Remove From Game" of the seat menu and of the spy list: the starter is asked first, with what
// the removal does, and the seat is removed only on Yes.
void removeAfterAsking(ClientSession &session, QWidget *window, int seat);

// The seat menu on the six name labels: the hosting copy removes a player or switches them to
// watching and back. Every other copy sees it with all three entries disabled.
class SeatMenu : public QObject
{
    Q_OBJECT
public:
    SeatMenu(ClientSession &session, SeatRows &rows, QWidget *window);

    QMenu *menu() const { return popup_kick; }
    QAction *removeFromGame() const { return RemoveFromGame1; }
    QAction *setToJustWatch() const { return SettoJustWatch1; }
    QAction *unsetJustWatch() const { return UnsetJustWatch1; }
    int targetSeat() const { return target_; }

    // The menu is about to open on seat's name label.
    void label_playername1ContextPopup(int seat);
    void SettoJustWatch1Click();
    void UnsetJustWatch1Click();
    void RemoveFromGame1Click();

private:
    ClientSession &session_;
    QWidget *window_;
    QMenu *popup_kick;
    QAction *RemoveFromGame1;
    QAction *SettoJustWatch1;
    QAction *UnsetJustWatch1;
    int target_ = 0;
};
