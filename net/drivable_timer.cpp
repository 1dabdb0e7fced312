#include "net/drivable_timer.h"

#include "net/error_sink.h"

DrivableTimer::DrivableTimer(int intervalMs, std::function<void()> onTick, QObject *parent)
    : QObject(parent)
{
    timer_.setInterval(intervalMs);
    connect(&timer_, &QTimer::timeout, this, [handler = std::move(onTick)] { vrel::guarded(handler); });
}

void DrivableTimer::start()
{
    running_ = true;
    if (!manual_)
        timer_.start();
}

void DrivableTimer::stop()
{
    timer_.stop();
    running_ = false;
}

void DrivableTimer::setManualClock(bool manual)
{
    manual_ = manual;
    if (manual)
        timer_.stop();
    else if (running_)
        timer_.start();
}
