#pragma once

#include "client/dialog_window.h"
#include "client/turl.h"

class QLabel;

// The about window: the logo, the game's web link and the version. The version label shows the
// text every client logs in with; the label after it adds the release's fourth number.
class Tabout : public DialogWindow
{
    Q_OBJECT
public:
    explicit Tabout(QWidget *mainWindow);

    TURL URL1;

    QLabel *versionLabel() const { return version; }
    QLabel *releaseLabel() const { return label_release; }
    QLabel *link() const { return Label7; }

    void Label7Click();
    void Button1Click() { close(); }

private:
    QLabel *version = nullptr;
    QLabel *label_release = nullptr;
    QLabel *Label7 = nullptr;
};
