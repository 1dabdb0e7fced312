// Latency over loopback: a real vrel-host and nine clients while a game runs, six players each
// submitting a word 300 ms after the last verdict and three watchers chatting. It prints the
// median and 99th percentile of the submission-to-verdict and chat round-trip delays, and the
// host's peak memory and processor load during the run.
//
// The run is made twice, side by side: first with the host handling one message a 10 ms tick for
// all connections together (the former rule, which VREL_HOST_MESSAGES_PER_TICK=1 brings back),
// then with the present rule, a message of every connection each tick.
//
//   vrel-bench-latency [--seconds N] [--host PATH]     (default 30 s a rule, vrel-host beside it)

#include "figures.h"
#include "host_process.h"
#include "latency_client.h"

#include <poll.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

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

struct Figures {
    std::vector<double> verdicts, chats;
    double load = 0;
    long peakKiB = 0;
    double elapsed = 0;
    bool allStayed = false;
};

// One run against a host started with `environment`; nothing when the clients could not join.
std::optional<Figures> measure(int argc, char **argv, int seconds, const std::vector<std::string> &environment)
{
    HostProcess host;
    if (!startHost(host, argc, argv, environment))
        return std::nullopt;
    std::vector<std::unique_ptr<LatencyClient>> clients;
    for (int i = 1; i <= 9; ++i) {
        clients.push_back(std::make_unique<LatencyClient>((i <= 6 ? "Player" : "Watcher") + std::to_string(i), host.port(), unsigned(i)));
        // One after another, so that the seats are taken in order: the first six play.
        if (!clients.back()->connect() || !runUntil(clients, Clock::now() + std::chrono::seconds(5), [&] { return clients.back()->loggedIn(); })) {
            std::fprintf(stderr, "client %d could not log in\n", i);
            return std::nullopt;
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
    Figures figures;
    figures.elapsed = std::chrono::duration<double>(Clock::now() - start).count();
    figures.load = 100 * (host.cpuSeconds() - cpuBefore) / figures.elapsed;
    figures.peakKiB = host.peakResidentKiB();
    figures.allStayed = true;
    for (auto &client : clients) {
        figures.chats.insert(figures.chats.end(), client->chatMs.begin(), client->chatMs.end());
        figures.verdicts.insert(figures.verdicts.end(), client->verdictMs.begin(), client->verdictMs.end());
        figures.allStayed = figures.allStayed && !client->closed();
    }
    host.stop();
    return figures;
}

std::string delays(const std::vector<double> &values)
{
    return fixed(percentile(values, 0.5), "ms /") + " " + fixed(percentile(values, 0.99), "ms") + " ("
        + std::to_string(values.size()) + ")";
}

} // namespace

int main(int argc, char **argv)
{
    const int seconds = std::stoi(option(argc, argv, "--seconds", "30"));
    const std::optional<Figures> before = measure(argc, argv, seconds, {"VREL_HOST_MESSAGES_PER_TICK=1"});
    const std::optional<Figures> after = measure(argc, argv, seconds, {});
    if (!before || !after)
        return 1;

    std::printf("latency over loopback, %.0f s a rule, nine clients: six players submitting words, three "
                "watchers chatting\n", after->elapsed);
    std::printf("  before, one message a tick for all:    verdict p50/p99 %s, chat p50/p99 %s\n",
                delays(before->verdicts).c_str(), delays(before->chats).c_str());
    std::printf("  after, a message of every connection:  verdict p50/p99 %s, chat p50/p99 %s\n",
                delays(after->verdicts).c_str(), delays(after->chats).c_str());
    // Every connection's next message is handled at the next 10 ms tick: a message waits for that
    // tick at most, two when the dispatcher was idle and starts again.
    const double verdict99 = percentile(after->verdicts, 0.99), chat99 = percentile(after->chats, 0.99);
    report("verdict p99", fixed(verdict99, "ms"), "within two host ticks (20 ms)", verdict99 <= 20);
    report("chat round trip p99", fixed(chat99, "ms"), "within two host ticks (20 ms)", chat99 <= 20);
    report("vrel-host processor load", fixed(after->load, "% of a core"), "under 10% while nine clients play",
           after->load < 10);
    report("vrel-host peak memory", fixed(double(after->peakKiB) / 1024, "MiB"), "under 64 MiB",
           after->peakKiB < 64 * 1024);
    const bool complete = !after->verdicts.empty() && !after->chats.empty() && after->allStayed && before->allStayed;
    return complete ? 0 : 1;
}
