#pragma once

#include <QDeadlineTimer>

#include <algorithm>
#include <atomic>
#include <memory>

namespace portmap {

// How long a router may keep us waiting, and whether whoever asked still wants the answer: every
// wait on a router is cut into short slices, so that a stopped request ends at once.
class Patience
{
public:
    // Waits of a few milliseconds each, so that a stop is noticed at once.
    static constexpr int kSliceMs = 50;

    explicit Patience(int ms, std::shared_ptr<const std::atomic_bool> stop = {})
        : deadline_(ms)
        , stop_(std::move(stop))
    {
    }

    bool stopped() const { return stop_ && stop_->load(); }
    bool over() const { return stopped() || deadline_.hasExpired(); }
    // How long the next wait may take: a slice at most, 0 when patience is over.
    int nextWaitMs() const { return over() ? 0 : int(std::min<qint64>(kSliceMs, deadline_.remainingTime())); }
    // The same stop, with at most `ms` more.
    Patience atMost(int ms) const
    {
        Patience shorter(ms, stop_);
        if (deadline_.deadline() < shorter.deadline_.deadline())
            shorter.deadline_ = deadline_;
        return shorter;
    }

private:
    QDeadlineTimer deadline_;
    std::shared_ptr<const std::atomic_bool> stop_;
};

} // namespace portmap
