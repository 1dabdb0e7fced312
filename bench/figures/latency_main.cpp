// Latency over loopback: a real vrel-host and nine clients (six players, three watchers) that
// chat all the time while a game runs, the players submitting words. It prints the median and
// 99th percentile of the submission-to-verdict and chat round-trip delays, and the host's peak
// memory and processor load during the run.
//
//   vrel-bench-latency [--seconds N] [--host PATH]     (default 30 seconds, vrel-host beside it)

#include "figures.h"
#include "host_process.h"
#include "latency_client.h"

#include <poll.h>

#include <cstdio>
#include <cstring>
#include <memory>

namespace {

std::string fixed(double value, const char *unit, int decimals = 1)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.*f %s", decimals, value, unit);
    return text;
}

// Runs the clients' loop until `done` says so or the deadline passes; false at the deadline.
template <class Done>
bool runUntil(std::vector<std::unique_ptr<LatencyClient>> &clients, Clock::time_point deadline, Done done)
{
    while (!done()) {
        Clock::time_point now = Clock::now();
        if (now >= deadline)
            return false;
        for (auto &client : clients)
            client->act(now);
        std::vector<pollfd> fds;
        for (auto &client : clients)
            fds.push_back({client->fd(), client->closed() ? short(0) : client->pollEvents(), 0});
        ::poll(fds.data(), nfds_t(fds.size()), 5);
        now = Clock::now();
        for (size_t i = 0; i < clients.size(); ++i) {
            if (fds[i].revents && !clients[i]->closed())
                clients[i]->onEvents(fds[i].revents, now);
        }
    }
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    const int seconds = std::stoi(option(argc, argv, "--seconds", "30"));
    HostProcess host;
    if (!startHost(host, argc, argv))
        return 1;
    std::vector<std::unique_ptr<LatencyClient>> clients;
    for (int i = 1; i <= 9; ++i) {
        clients.push_back(std::make_unique<LatencyClient>((i <= 6 ? "Player" : "Watcher") + std::to_string(i), host.port(), unsigned(i)));
        // One after another, so that the seats are taken in order: the first six play.
        if (!clients.back()->connect() || !runUntil(clients, Clock::now() + std::chrono::seconds(5), [&] { return clients.back()->loggedIn(); })) {
            std::fprintf(stderr, "client %d could not log in\n", i);
            return 1;
        }
    }
    // The figures are taken with a game running: its start (dealing every round) is not counted.
    clients.front()->startGames();
    runUntil(clients, Clock::now() + std::chrono::seconds(2), [] { return false; });
    for (auto &client : clients)
        client->record();

    host.readLog();
    const double cpuBefore = host.cpuSeconds();
    const Clock::time_point start = Clock::now();
    runUntil(clients, start + std::chrono::seconds(seconds), [&] {
        host.readLog();
        return false;
    });
    const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
    const double load = 100 * (host.cpuSeconds() - cpuBefore) / elapsed;
    const long peakKiB = host.peakResidentKiB();

    std::vector<double> chats, verdicts;
    long games = 0;
    bool allStayed = true;
    for (auto &client : clients) {
        chats.insert(chats.end(), client->chatMs.begin(), client->chatMs.end());
        verdicts.insert(verdicts.end(), client->verdictMs.begin(), client->verdictMs.end());
        games += client->gamesStarted;
        allStayed = allStayed && !client->closed();
    }
    host.stop();

    std::printf("latency over loopback, %.0f s, nine clients (six players, three watchers), %ld game(s) started\n",
                elapsed, games);
    // The host handles one message every 10 ms tick, the connections taking turns: a message
    // waits for the tick (up to 10 ms), and at worst for one message of each of the eight other
    // connections before its own turn comes round.
    const double verdict50 = percentile(verdicts, 0.5), verdict99 = percentile(verdicts, 0.99);
    const double chat50 = percentile(chats, 0.5), chat99 = percentile(chats, 0.99);
    report("verdict p50/p99 (" + std::to_string(verdicts.size()) + " words)",
           fixed(verdict50, "ms /") + " " + fixed(verdict99, "ms"),
           "p50 within two host ticks (20 ms), p99 within ten (100 ms)", verdict50 <= 20 && verdict99 <= 100);
    report("chat round trip p50/p99 (" + std::to_string(chats.size()) + " lines)",
           fixed(chat50, "ms /") + " " + fixed(chat99, "ms"),
           "p50 within two host ticks (20 ms), p99 within ten (100 ms)", chat50 <= 20 && chat99 <= 100);
    report("vrel-host processor load", fixed(load, "% of a core"), "under 10% while nine clients chat", load < 10);
    report("vrel-host peak memory", fixed(double(peakKiB) / 1024, "MiB"), "under 64 MiB", peakKiB < 64 * 1024);
    return verdicts.empty() || chats.empty() || !allStayed ? 1 : 0;
}
