#pragma once

#include "app/lobby/lobby_config.h"

#include <QByteArrayView>
#include <QDialog>

#include <functional>
#include <optional>

class QLabel;
class QPushButton;
class THttpCli;

// The lobby window, shown when a solo game starts. Three ways on: keep playing solo, open the
// lobby application if it is installed, or download the lobby installer and run it. The last two
// end the game when they succeed (exitGame()). It is a tool window on top of the others and never
// holds up the game: the download runs while the game goes on.
class Tdownload : public QDialog
{
    Q_OBJECT
public:
    explicit Tdownload(LobbyConfig config, QWidget *mainWindow = nullptr);

    static constexpr char kNoLobbyText[] = "Please close the game and open the Kovren Lobby using the icon on your "
                                           "desktop or using the your Window's start-up menu.";
    static constexpr char kErrorText[] = "An Error has Occurred.";

    // The download panel.
    QLabel *picture = nullptr;
    QPushButton *getbutton = nullptr;
    QPushButton *abortbutton = nullptr;
    QLabel *infolabel = nullptr;  // progress; its Tag tells how the last download ended
    QLabel *infolabel2 = nullptr; // hidden: the installer's file name
    QLabel *infolabel3 = nullptr; // phase
    // The solo and lobby panels.
    QPushButton *Button1 = nullptr;
    QPushButton *Button2 = nullptr;
    THttpCli *HttpCli1 = nullptr;
    // The free bytes in a folder's file system; tests stand in for a nearly full disk.
    std::function<std::optional<qint64>(const QString &folder)> freeSpace;

    // 1 while a download runs or after it ended normally, 2 after it was stopped or failed.
    int infoTag() const;
    const LobbyConfig &config() const { return config_; }

    void Button1Click();
    void Button2Click();
    void getbuttonClick();
    void abortbuttonClick();
    // Closing the window (its close button, Escape, "Play Solo Game") stops a running download.
    void reject() override;

signals:
    // The main window's "Exit": the lobby or its installer takes over and the game ends.
    void exitGame();

protected:
    void showEvent(QShowEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void buildDownloadPanel();
    void buildSoloPanel();
    void buildLobbyPanel();
    void setInfoTag(int tag);
    void HttpCli1HeaderData();
    void HttpCli1DocBegin();
    void HttpCli1DocData(qint64 count);
    bool downloadInto(const QString &target);
    void showFailure(const QString &why);

    LobbyConfig config_;
    QString downloadFolder_; // where the running download goes
};
