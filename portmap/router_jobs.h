#pragma once

#include <functional>

// The one thread on which this process talks to routers. Jobs run one after another in the order
// they were posted, so that a mapping is never given back before it was asked for, and whoever
// posts one goes on at once: leaving a game never waits for a router.
namespace portmap {

void postRouterJob(std::function<void()> job);

// How long a program's end waits for the router at most, so that it ends within two seconds of
// being told to stop whatever the router does.
constexpr int kFinishMs = 1200;

// Waits until every job posted so far has run, for at most `ms`; false when some have not. A
// program calls it at its very end, once everything worth keeping is saved, so that the
// mappings it gives back reach the router unless the router keeps it waiting.
bool finishRouterJobs(int ms = kFinishMs);

} // namespace portmap
