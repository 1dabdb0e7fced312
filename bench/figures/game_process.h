#pragma once

#include "host_process.h"

#include <string>

// The game `vrel` started for a benchmark: hosting ("vrel Ann 127.0.0.1 true --port 0") in a
// folder of its own (VREL_HOME), on the offscreen platform or on the X display `display`, telling
// on stderr when its window is shown and its login complete (VREL_STARTUP_TRACE).
class GameProcess
{
public:
    explicit GameProcess(std::string display = {});
    ~GameProcess();

    bool start();
    bool waitForWindow(int timeoutMs) { return game_.waitForLog("vrel: startup: window shown", timeoutMs); }
    bool waitForLogin(int timeoutMs) { return game_.waitForLog("vrel: startup: logged in", timeoutMs); }
    HostProcess &process() { return game_; }

private:
    std::string display_;
    std::string home_;
    HostProcess game_;
};

// An X server of our own (Xvfb) for as long as this lives; display() is empty when Xvfb is not
// installed or does not start.
class VirtualDisplay
{
public:
    VirtualDisplay();
    const std::string &display() const { return display_; }

private:
    HostProcess server_;
    std::string display_;
};
