#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

class ClientSession;

// Keeps a joining copy in its game: when the connection is lost without the player asking, it
// connects again under the same name after 1, 2, 4, 8 ... seconds, up to two minutes, and the
// host gives the seat back with its score and words. It tells the player what happens as system
// lines, and tells the window when the host has ended the game (the first attempt is refused at
// once: nothing listens any more) and when a join never came about.
class Rejoiner : public QObject
{
    Q_OBJECT
public:
    explicit Rejoiner(ClientSession &session, QObject *parent = nullptr);

    // Tests let the schedule's seconds pass faster.
    void setMillisecondsPerSecond(int ms) { msPerSecond_ = ms; }
    // Attempts are being made (or waited for).
    bool active() const { return active_; }
    // The player stops trying: the window stays as it is.
    void stop();
    // The address of the last join that never came about ("10.0.0.5:7772"), for trying again.
    const QString &failedAddress() const { return failedAddress_; }

signals:
    void activeChanged(bool active);
    // "The host has ended the game.": the window tells the player and closes.
    void hostEnded();
    // A join (not a rejoin) never came about; its failure is told as a system line.
    void joinFailed(const QString &addressText);

private:
    void lost();
    void failed(int wsaCode);
    void attempt();
    void attemptOver();
    void scheduleNext();
    void finish(const QString &line);
    void setActive(bool active);

    ClientSession &session_;
    QTimer next_;       // the next attempt
    QTimer attemptEnd_; // an attempt that neither connects nor fails is given up
    QElapsedTimer sinceLoss_;
    int msPerSecond_ = 1000;
    int attempts_ = 0;
    bool active_ = false;
    bool attemptRunning_ = false;
    QString failedAddress_;
};
