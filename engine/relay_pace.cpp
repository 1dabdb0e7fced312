#include "engine/relay_pace.h"

#include <algorithm>

RelayPace::Verdict RelayPace::take(qint64 nowMs)
{
    if (started_)
        credit_ = std::min(kFull, credit_ + std::max<qint64>(0, nowMs - lastMs_) * kPerSecond);
    started_ = true;
    lastMs_ = nowMs;
    // A sender that slowed down until its whole burst came back is told again next time.
    if (credit_ == kFull)
        told_ = false;
    if (credit_ >= kUnit) {
        credit_ -= kUnit;
        return Verdict::Relay;
    }
    if (told_)
        return Verdict::Drop;
    told_ = true;
    return Verdict::DropAndTell;
}
