#pragma once

#include <QObject>
#include <QTimer>

#include <functional>

// A timer that runs a handler every interval while it is running. With a manual clock the real
// timer stays still and only explicit calls of the handler move time, so a test can play through
// minutes of a game in moments. Running or not is the same either way.
class DrivableTimer : public QObject
{
public:
    DrivableTimer(int intervalMs, std::function<void()> onTick, QObject *parent = nullptr);

    void start();
    void stop();
    bool running() const { return running_; }
    void setManualClock(bool manual);

private:
    QTimer timer_;
    bool running_ = false;
    bool manual_ = false;
};
