#include "net/drivable_timer.h"

#include "net/error_sink.h"

#include <algorithm>

DrivableTimer::DrivableTimer(int intervalMs, std::function<void()> onTick, QObject *parent)
    : QObject(parent)
    , onTick_(std::move(onTick))
    , interval_(std::chrono::milliseconds(intervalMs))
{
    connect(&timer_, &QTimer::timeout, this, [this] {
        if (once_)
            running_ = false;
        else
            due_ = now() + interval_;
        vrel::guarded(onTick_);
    });
}

DrivableTimer::Duration DrivableTimer::now() const
{
    return manual_ ? manualNow_ : std::chrono::steady_clock::now().time_since_epoch();
}

void DrivableTimer::start()
{
    once_ = false;
    due_ = now() + interval_;
    running_ = true;
    arm();
}

void DrivableTimer::startOnce(Duration delay)
{
    once_ = true;
    due_ = now() + std::max(delay, Duration::zero());
    running_ = true;
    arm();
}

void DrivableTimer::arm()
{
    if (manual_)
        return;
    timer_.setSingleShot(once_);
    if (once_) {
        // Whole milliseconds, rounded up: a precise timer never runs before its moment.
        const auto delay = std::chrono::ceil<std::chrono::milliseconds>(due_ - now());
        timer_.setTimerType(Qt::PreciseTimer);
        timer_.start(int(std::max<qint64>(0, delay.count())));
    } else {
        timer_.setTimerType(Qt::CoarseTimer);
        timer_.start(int(std::chrono::duration_cast<std::chrono::milliseconds>(interval_).count()));
    }
}

void DrivableTimer::stop()
{
    timer_.stop();
    running_ = false;
}

void DrivableTimer::setManualClock(bool manual)
{
    if (manual == manual_)
        return;
    // Time goes on from where the other clock was.
    const Duration at = now();
    manual_ = manual;
    manualNow_ = at;
    if (manual)
        timer_.stop();
    else if (running_)
        arm();
}

void DrivableTimer::advance(Duration by)
{
    if (!manual_)
        return;
    const Duration until = manualNow_ + by;
    while (running_ && due_ <= until) {
        manualNow_ = std::max(manualNow_, due_);
        if (once_)
            running_ = false;
        else
            due_ += interval_;
        vrel::guarded(onTick_);
    }
    manualNow_ = until;
}
