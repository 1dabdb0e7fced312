#pragma once

#include "host_process.h"
#include "latency_client.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// The clients of any number of hosts, served in one poll loop.
class ClientLoop
{
public:
    void add(LatencyClient *client) { clients_.push_back(client); }
    // Runs the clients until `done` says so or the deadline passes; false at the deadline.
    bool runUntil(Clock::time_point deadline, const std::function<bool()> &done);
    void runFor(Clock::duration span)
    {
        runUntil(Clock::now() + span, [] { return false; });
    }

private:
    std::vector<LatencyClient *> clients_;
};

// A full table: vrel-host and nine clients in seat order, six players and three watchers, the
// first player starting a game whenever none runs.
class FullTable
{
public:
    static constexpr int kClients = 9;

    // Starts the host (the one named by --host on the command line, or the one beside the
    // benchmark) with `environment` added to ours.
    bool startHost(int argc, char **argv, const std::vector<std::string> &environment);
    // Connects the client of seat `seat` (1 to 9) to the host.
    bool connect(int seat, ClientLoop &loop);
    bool loggedIn(int seat) const { return clients_[size_t(seat - 1)]->loggedIn(); }
    void startGames() { clients_.front()->startGames(); }
    void record();
    // The delays recorded so far, added to the lists; false when a client lost its connection.
    bool collect(std::vector<double> &verdicts, std::vector<double> &chats) const;
    HostProcess &host() { return host_; }

private:
    HostProcess host_;
    std::vector<std::unique_ptr<LatencyClient>> clients_;
};

// What a run of some full tables measured.
struct TableFigures {
    std::vector<double> verdicts, chats; // milliseconds
    double load = 0;                     // the hosts' processor time, percent of a core
    long peakKiB = 0;                    // the largest host's peak memory
    double elapsed = 0;                  // seconds
    bool allStayed = false;
};

// `tables` full tables side by side, each host started with `environment`; the figures of
// `seconds` with games running. Nothing when a host did not start or a client could not log in.
std::optional<TableFigures> measureTables(int argc, char **argv, int tables, int seconds,
                                          const std::vector<std::string> &environment);
