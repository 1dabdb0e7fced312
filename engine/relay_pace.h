#pragma once

#include <QtGlobal>

// How fast one connection's lines are passed on to everybody (chat lines, actions and chatter
// sounds): a burst of kBurst at once, then kPerSecond a second. A player typing as fast as anyone
// types, or clicking the phrase buttons (closed for a second and a half after each) and the
// chatter sounds, stays well within it; a connection that sends faster has the rest dropped.
class RelayPace
{
public:
    static constexpr int kBurst = 10;
    static constexpr int kPerSecond = 3;

    enum class Verdict {
        Relay,
        Drop,       // dropped
        DropAndTell // dropped, the first of a flood: the sender is told, once until it has slowed
                    // down long enough to have its whole burst again
    };

    // A line sent at nowMs (a monotonic clock): relayed or dropped.
    Verdict take(qint64 nowMs);

private:
    static constexpr qint64 kUnit = 1000; // a line, in thousandths: kPerSecond of them refill per ms
    static constexpr qint64 kFull = kBurst * kUnit;

    qint64 credit_ = kFull;
    qint64 lastMs_ = 0;
    bool started_ = false;
    bool told_ = false;
};
