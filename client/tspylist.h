#pragma once

#include "session/session_state.h"

#include <QDialog>
#include <QList>

#include <functional>

class QAction;
class QListWidget;
class QMenu;

// The spy-list window: the spectators, one entry "number: name" each. It stays on top of the
// other windows; the hosting copy can remove a spectator from its pop-up menu.
// Where a small window of `size` goes beside the main window's frame `main` on the desktop
// `desk`, so that it covers none of the game: to its right when the desktop has room there, else
// to its left, else at the desktop's right edge.
QPoint besidePlace(const QRect &main, const QSize &size, const QRect &desk);
// Moves a small window beside the main window rather than over it.
void moveBeside(QWidget *window, const QWidget *mainWindow);

class Tspylist : public QDialog
{
    Q_OBJECT
public:
    explicit Tspylist(QWidget *parent = nullptr);

    QListWidget *list() const { return listbox_spys; }
    QAction *removeAction() const { return popup_kickhim; }
    // One entry "number: name" per spectator, in the order they came.
    void draw(const QList<Spectator> &spectators);

    // Called with the spectator's number when "Remove From Game" is chosen.
    std::function<void(int seat)> onRemove;
    int hoveredIndex() const { return hoveredIndex_; }

    void listbox_spysMouseMove(const QPoint &position);
    void popup_kickhimClick();
    void button_doneClick() { close(); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    QListWidget *listbox_spys;
    QMenu *popup_;
    QAction *popup_kickhim;
    int hoveredIndex_ = -1;
    QList<Spectator> shown_;
};
