#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

class ClientSession;

// Keeps a joining copy in its game: when the connection drops without the player asking, however
// it ends (an end, a reset, a dead path), it connects again under the same name after 1, 2, 4, 8
// ... seconds, up to two minutes, and shows the host its seat key: the host gives the seat back
// with its score and words. It tells the player what happens as system lines, shows how a
// connection (a join or a rejoin) comes on in progress(), lets the player stop it, and tells the
// window when the host has ended the game: the host said so, or every attempt for the whole two
// minutes was refused.
class Rejoiner : public QObject
{
    Q_OBJECT
public:
    explicit Rejoiner(ClientSession &session, QObject *parent = nullptr);

    // Tests let the schedule's seconds pass faster.
    void setMillisecondsPerSecond(int ms) { msPerSecond_ = ms; }
    // Attempts to rejoin are being made (or waited for).
    bool active() const { return active_; }
    // A join (not a rejoin) is connecting to its host.
    bool joining() const { return joining_; }
    // The player stops trying, a join or the attempts to rejoin: the window stays as it is.
    void stop();
    // The address of the last join that never came about ("10.0.0.5:7772"), for trying again.
    const QString &failedAddress() const { return failedAddress_; }
    // How a join or a rejoin comes on, for the status line ("Connecting to 10.0.0.5:7772... 3 s");
    // empty while none is under way.
    const QString &progress() const { return progress_; }

signals:
    void activeChanged(bool active);
    void joiningChanged(bool joining);
    void progressChanged(const QString &text);
    // "The host has ended the game.": the window tells the player.
    void hostEnded();
    // A join (not a rejoin) never came about; its failure is told as a system line.
    void joinFailed(const QString &addressText);

private:
    void lost();
    void failed(int wsaCode);
    void attempt();
    void attemptOver(bool refused);
    void scheduleNext();
    void finish(const QString &line);
    void setActive(bool active);
    void setJoining(bool joining);
    void showProgress();

    ClientSession &session_;
    QTimer next_;       // the next attempt
    QTimer attemptEnd_; // an attempt that neither connects nor fails is given up
    QTimer clock_;      // the progress, once a second
    QElapsedTimer sinceLoss_;
    QElapsedTimer sinceStart_; // of the join or the attempt under way
    int msPerSecond_ = 1000;
    int attempts_ = 0;
    bool allRefused_ = true; // every attempt so far found nothing listening
    bool active_ = false;
    bool joining_ = false;
    bool attemptRunning_ = false;
    QString failedAddress_;
    QString progress_;
};
