#include "rejoin/rejoin_schedule.h"

namespace rejoinschedule {

QList<int> attemptTimes()
{
    QList<int> times;
    int at = 0;
    for (int wait = 1; at + wait < kGiveUpSeconds; wait *= 2) {
        at += wait;
        times << at;
    }
    times << kGiveUpSeconds;
    return times;
}

} // namespace rejoinschedule
