#pragma once

#include "client/dialog_window.h"

#include <QSpinBox>

class QLabel;
class QLineEdit;
class ClientSession;
class QPushButton;

// A number box that takes typed digits as well as its arrows (the buttons or the arrow keys); a
// number typed outside its range becomes the nearest one it allows. The mouse wheel does
// nothing, so that scrolling past the dialog changes no value.
class NumberBox : public QSpinBox
{
    Q_OBJECT
public:
    NumberBox(const QString &upDownName, const QString &editName, QWidget *parent);
    QLineEdit *edit() const { return lineEdit(); }

protected:
    void wheelEvent(QWheelEvent *event) override;
};

// The game options dialog: the hosting player picks the rounds per game and the seconds per
// round and starts the game. It is shown from the main window's Start button and hidden again
// when the game is started.
class Tgamestart : public DialogWindow
{
    Q_OBJECT
public:
    Tgamestart(ClientSession &session, QWidget *mainWindow);

    NumberBox *UpDown1 = nullptr; // rounds per game; its text box is edit_playtoscore
    NumberBox *UpDown2 = nullptr; // seconds per round; its text box is edit_creationtime
    QPushButton *startButton() const { return button_start; }

    void button_startClick();

private:
    void draw();

    ClientSession &session_;
    QPushButton *button_start = nullptr;
};
