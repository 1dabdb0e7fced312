#pragma once

#include <string>
#include <vector>

// What systemd runs for an instance of a template unit, read from the unit file itself: its
// ExecStart= line with the instance put in for %i, and its watchdog time. The program of a unit
// not yet installed (@VREL_HOST_PROGRAM@, @VREL_UNIT_PORT@ of packaging/vrel-host.service.in) is
// the one given.
struct UnitLaunch {
    std::vector<std::string> execStart; // with "%i" where the instance goes
    long long watchdogUsec = 0;         // 0: none

    // False when the file cannot be read or has no ExecStart=.
    bool read(const std::string &unitFile, const std::string &program);
    // The command line of instance `instance`.
    std::vector<std::string> commandFor(const std::string &instance) const;
};

// A systemd time span ("10s", "500ms", "2min", "10") in microseconds; -1 when it is none.
long long timeSpanUsec(const std::string &text);
