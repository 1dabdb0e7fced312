#pragma once

#include "host_process.h"

#include <string>
#include <vector>

// The game `vrel` started for a benchmark, in a folder of its own (VREL_HOME), on the offscreen
// platform or on the X display `display`, telling on stderr when its window is shown and its login
// complete (VREL_STARTUP_TRACE). It keeps to this computer (VREL_LOCAL_ONLY) unless told to reach
// others: then a hosted game is published and the router asked for its port.
class GameProcess
{
public:
    explicit GameProcess(std::string display = {}, bool reachOthers = false);
    ~GameProcess();

    // Starts "vrel --port PORT PARAMETERS..." (options come before the parameters), by default
    // hosting on a free port as Ann; `environment` is added to ours.
    bool start(const std::vector<std::string> &parameters = {"Ann", "127.0.0.1", "true"}, int port = 0,
               const std::vector<std::string> &environment = {});
    bool waitForWindow(int timeoutMs) { return game_.waitForLog("vrel: startup: window shown", timeoutMs); }
    bool waitForLogin(int timeoutMs) { return game_.waitForLog("vrel: startup: logged in", timeoutMs); }
    HostProcess &process() { return game_; }

private:
    std::string display_;
    bool reachOthers_;
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
