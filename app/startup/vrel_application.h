#pragma once

#include <QApplication>

// The game's application object: an error that escapes any event handler is shown in a message
// box "Vrel", and the program goes on. Qt is given the program's name alone: the player's
// parameters are the game's (a player may well be called "-platform"), and Qt's own settings come
// through the environment (QT_QPA_PLATFORM, QT_SCALE_FACTOR, ...).
class VrelApplication : public QApplication
{
public:
    explicit VrelApplication(char *programName);
    bool notify(QObject *receiver, QEvent *event) override;
};
