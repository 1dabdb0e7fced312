#pragma once

#include "client/dialog_window.h"

class QLabel;
class QPushButton;
class QStackedWidget;
class QTextBrowser;

// The help window: page buttons down the left, the page's heading and the page itself on the
// right. It keeps the page last chosen while it is hidden.
class Thelp : public DialogWindow
{
    Q_OBJECT
public:
    Thelp(QWidget *mainWindow, QWidget *about);

    QLabel *caption() const { return label_caption; }
    // The page in front.
    QTextBrowser *frontPage() const;
    // The page button of that caption ("Overview", ..., "Documentation"), or none.
    QPushButton *pageButton(const QString &caption) const;

    // A page button: its page ("memo" and its number) comes to the front under its caption.
    void SelButton1Click(QPushButton *button);
    void button_aboutClick();
    void button_doneClick() { hide(); }

private:
    QWidget *about_;
    QLabel *label_caption = nullptr;
    QStackedWidget *pages_ = nullptr;
};
