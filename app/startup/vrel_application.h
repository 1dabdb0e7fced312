#pragma once

#include <QApplication>

// The game's application object: an error that escapes any event handler is shown in a message
// box "Vrel", and the program goes on.
class VrelApplication : public QApplication
{
public:
    VrelApplication(int &argc, char **argv);
    bool notify(QObject *receiver, QEvent *event) override;
};
