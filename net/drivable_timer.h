#pragma once

#include <QObject>
#include <QTimer>

#include <chrono>
#include <functional>

// A timer that runs a handler every interval while it is running, or once at a moment set with
// startOnce (on a precise timer). It keeps the time it goes by: the steady clock, or with a manual
// clock a time that stands still until advance() moves it, so that a test can play through
// minutes of a game in moments and see every moment it asks for. Tests may also call the handler
// themselves. Running or not is the same either way.
class DrivableTimer : public QObject
{
public:
    using Duration = std::chrono::nanoseconds;

    DrivableTimer(int intervalMs, std::function<void()> onTick, QObject *parent = nullptr);

    // Every interval from now until stopped.
    void start();
    // Once, `delay` from now (zero: as soon as the event loop is free), unless it is started or
    // stopped again before.
    void startOnce(Duration delay);
    void stop();
    bool running() const { return running_; }
    // While it runs, the moment it runs next.
    Duration due() const { return due_; }
    void setManualClock(bool manual);

    // Now on this timer's clock, counted from an arbitrary moment.
    Duration now() const;
    // With a manual clock, moves time on by `by`, running the handler at every moment it is due on
    // the way (and leaving time there while it runs).
    void advance(Duration by);

private:
    void arm();

    QTimer timer_;
    std::function<void()> onTick_;
    Duration interval_;
    bool running_ = false;
    bool once_ = false;
    Duration due_ {};
    bool manual_ = false;
    Duration manualNow_ {};
};
