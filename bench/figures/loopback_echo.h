#pragma once

#include <chrono>
#include <vector>

// The floor of every round trip over loopback: a small message sent to an echo on another thread
// of this process and read back, `samples` times with `pause` between them (so that both ends
// sleep in between, as a host between a player's messages). Milliseconds per round trip; empty
// when the echo could not be set up.
std::vector<double> loopbackEchoMs(int samples, std::chrono::milliseconds pause);
