#pragma once

#include <QDialog>
#include <QSpinBox>

class QLabel;
class QLineEdit;
class ClientSession;
class QPushButton;

// A number box whose value changes only through its arrows (the buttons or the arrow keys): the
// text cannot be edited and the mouse wheel does nothing.
class ArrowsOnlySpinBox : public QSpinBox
{
    Q_OBJECT
public:
    ArrowsOnlySpinBox(const QString &upDownName, const QString &editName, QWidget *parent);
    QLineEdit *edit() const { return lineEdit(); }

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
};

// The game options dialog: the hosting player picks the rounds per game and the seconds per
// round and starts the game. It is shown from the main window's Start button and hidden again
// when the game is started.
class Tgamestart : public QDialog
{
    Q_OBJECT
public:
    Tgamestart(ClientSession &session, QWidget *mainWindow);

    ArrowsOnlySpinBox *UpDown1 = nullptr; // rounds per game; its text box is edit_playtoscore
    ArrowsOnlySpinBox *UpDown2 = nullptr; // seconds per round; its text box is edit_creationtime
    QPushButton *startButton() const { return button_start; }

    void button_startClick();

protected:
    void showEvent(QShowEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void draw();

    ClientSession &session_;
    QWidget *mainWindow_;
    QPushButton *button_start = nullptr;
};
