#include "client/dialog_window.h"

#include "client/board_controls.h"
#include "resources/art/art.h"
#include "resources/art/palette.h"

#include <QPainter>

DialogWindow::DialogWindow(const QString &objectName, const QString &title, QSize size, QWidget *mainWindow)
    : QDialog(mainWindow)
    , mainWindow_(mainWindow)
{
    setObjectName(objectName);
    setWindowTitle(title);
    setFixedSize(size);
    setModal(false);
    setPalette(art::windowPalette());
}

void DialogWindow::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (mainWindow_)
        centreOver(this, mainWindow_);
}

void DialogWindow::paintEvent(QPaintEvent *)
{
    QPainter(this).drawPixmap(0, 0, art::dialogBackground(size()));
}

void showWindow(QWidget *window)
{
    if (!window)
        return;
    window->show();
    window->raise();
    window->activateWindow();
}
