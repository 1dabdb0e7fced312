#pragma once

#include <QList>

// When a lost connection is tried again: after 1, 2, 4, 8 ... seconds, the last attempt two
// minutes after the loss.
namespace rejoinschedule {

constexpr int kGiveUpSeconds = 120;
// An attempt that neither connects nor fails in this time is given up for the next one.
constexpr int kAttemptSeconds = 10;

// The seconds from the loss to each attempt, in order: 1, 3, 7, 15, 31, 63, 120.
QList<int> attemptTimes();

} // namespace rejoinschedule
