#pragma once

#include "client/dialog_window.h"

class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;

// What the host and join dialogs share: a heading, the player's name, the rows each adds, a line
// that says in words what is wrong with what was typed, and the button that goes ahead beside
// Cancel. Going ahead with a problem shows the problem and keeps the dialog open.
class GameChoiceDialog : public DialogWindow
{
    Q_OBJECT
public:
    QLineEdit *nameEdit() const { return edit_name; }
    QPushButton *goButton() const { return button_go; }
    QLabel *problemLabel() const { return label_problem; }
    // The name typed, without the blanks around it; empty (with the problem shown) when none.
    QString typedName();
    void showProblem(const QString &problem);

protected:
    GameChoiceDialog(const QString &objectName, const QString &title, const QString &heading, const QString &goText,
                     QSize size, QWidget *mainWindow);
    // A label and its field on the next row; Tab reaches the fields in their rows' order.
    void addRow(const QString &labelName, const QString &labelText, QWidget *field);
    QGridLayout *rows() const { return rows_; }
    // The player pressed the go button (or Enter).
    virtual void go() = 0;

private:
    QGridLayout *rows_ = nullptr;
    QLineEdit *edit_name = nullptr;
    QLabel *label_problem = nullptr;
    QPushButton *button_go = nullptr;
    QPushButton *button_cancel = nullptr;
    QWidget *lastField_ = nullptr;
};
