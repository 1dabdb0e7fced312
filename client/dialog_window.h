#pragma once

#include <QDialog>

// A small window of the game (tally, help, about, phrase editor, game options): the main window's look behind its controls,
// and centred on the main window whenever it is shown. Never modal.
class DialogWindow : public QDialog
{
    Q_OBJECT
public:
    DialogWindow(const QString &objectName, const QString &title, QSize size, QWidget *mainWindow);

protected:
    void showEvent(QShowEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    QWidget *mainWindow_;
};

// Shows a window of the game in front of the others; nothing for none.
void showWindow(QWidget *window);
