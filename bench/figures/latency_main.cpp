// Latency over loopback against a real vrel-host, with the host's former dispatch rule and the
// present one side by side in one run. The former rule (VREL_HOST_MESSAGES_PER_TICK=11 in the
// host's environment) handles the next message of every connection on a 10 ms tick that starts
// again a whole tick after a message reaches an idle host; the present one handles each message
// as it arrives, at most one a connection every 10 ms. Measured for each:
//  - a lone round trip: one client alone at the host, a chat line sent 20 ms after its last came
//    back, to its relay;
//  - a full table: nine clients while a game runs, six players submitting a word 300 ms after
//    each verdict and three watchers chatting: the verdicts and chat round trips, the host's
//    processor load and peak memory.
// Beside them the floor: a 64-byte echo over loopback, also 20 ms apart, in the same run.
//
//   vrel-bench-latency [--seconds N] [--lone N] [--host PATH]
//       (default 30 s of full table and 300 lone round trips a rule, vrel-host beside it)

#include "figures.h"
#include "full_table.h"
#include "loopback_echo.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr auto kLonePause = std::chrono::milliseconds(20);

std::string fixed(double value, const char *unit, int decimals = 2)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.*f %s", decimals, value, unit);
    return text;
}

struct RuleFigures {
    std::vector<double> lone;
    TableFigures table;
};

// One client alone at a host started with `environment`: its chat round trips.
std::optional<std::vector<double>> loneRoundTrips(int argc, char **argv, int samples, const std::vector<std::string> &environment)
{
    HostProcess host;
    if (!startHost(host, argc, argv, environment))
        return std::nullopt;
    LatencyClient chatter("Alone", host.port(), 1, LatencyClient::Role::Chatter);
    ClientLoop loop;
    loop.add(&chatter);
    if (!chatter.connect() || !loop.runUntil(Clock::now() + std::chrono::seconds(5), [&] { return chatter.loggedIn(); })) {
        std::fprintf(stderr, "the lone client could not log in\n");
        return std::nullopt;
    }
    loop.runFor(std::chrono::milliseconds(200));
    chatter.record();
    loop.runUntil(Clock::now() + samples * (kLonePause + std::chrono::milliseconds(30)),
                  [&] { return int(chatter.chatMs.size()) >= samples; });
    return chatter.chatMs;
}

std::optional<RuleFigures> measure(int argc, char **argv, int seconds, int lone, const std::vector<std::string> &environment)
{
    const std::optional<std::vector<double>> trips = loneRoundTrips(argc, argv, lone, environment);
    const std::optional<TableFigures> table = measureTables(argc, argv, 1, seconds, environment);
    if (!trips || trips->empty() || !table)
        return std::nullopt;
    return RuleFigures {*trips, *table};
}

std::string delays(const std::vector<double> &values)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.2f / %.2f ms", percentile(values, 0.5), percentile(values, 0.99));
    return text;
}

void row(const char *rule, const RuleFigures &f)
{
    std::printf("  %-34s %-18s %-18s %-18s %5.2f%%\n", rule, delays(f.lone).c_str(), delays(f.table.verdicts).c_str(),
                delays(f.table.chats).c_str(), f.table.load);
}

} // namespace

int main(int argc, char **argv)
{
    const int seconds = std::stoi(option(argc, argv, "--seconds", "30"));
    const int lone = std::max(1, std::stoi(option(argc, argv, "--lone", "300")));
    const std::vector<double> echo = loopbackEchoMs(lone, kLonePause);
    const std::optional<RuleFigures> before = measure(argc, argv, seconds, lone, {"VREL_HOST_MESSAGES_PER_TICK=11"});
    const std::optional<RuleFigures> after = measure(argc, argv, seconds, lone, {"VREL_HOST_MESSAGES_PER_TICK="});
    if (echo.empty() || !before || !after)
        return 1;

    const double floor = percentile(echo, 0.5);
    std::printf("latency over loopback, %d lone round trips and %.0f s of a full table a rule (nine clients: six "
                "players submitting words, three watchers chatting)\n", lone, after->table.elapsed);
    std::printf("  loopback echo p50/p99: %s\n", delays(echo).c_str());
    std::printf("  %-34s %-18s %-18s %-18s %s\n", "p50/p99", "lone round trip", "full-table verdict", "full-table chat",
                "host CPU");
    row("before, a 10 ms tick for all:", *before);
    row("after, each message as it arrives:", *after);

    const auto times = [floor](double ms) { return fixed(ms, "ms", 3) + " (" + fixed(ms / floor, "loopback round trips)", 1); };
    const double lone50 = percentile(after->lone, 0.5), lone99 = percentile(after->lone, 0.99);
    const double verdict99 = percentile(after->table.verdicts, 0.99), chat99 = percentile(after->table.chats, 0.99);
    report("lone round trip p50", times(lone50), "within a few loopback round trips (5)", lone50 <= 5 * floor);
    report("lone round trip p99", times(lone99), "1 ms on an idle machine", lone99 <= 1);
    report("full-table verdict p99", times(verdict99), "1 ms on an idle machine", verdict99 <= 1);
    report("full-table chat p99", times(chat99), "1 ms on an idle machine", chat99 <= 1);

    // Every figure at least as good as with the former rule.
    std::string worse;
    const auto compare = [&worse](const char *name, double now, double then) {
        if (now > then)
            worse += std::string(worse.empty() ? "" : ", ") + name;
    };
    for (const double p : {0.5, 0.99}) {
        const std::string at = p == 0.5 ? " p50" : " p99";
        compare(("lone" + at).c_str(), percentile(after->lone, p), percentile(before->lone, p));
        compare(("verdict" + at).c_str(), percentile(after->table.verdicts, p), percentile(before->table.verdicts, p));
        compare(("chat" + at).c_str(), percentile(after->table.chats, p), percentile(before->table.chats, p));
    }
    compare("host CPU", after->table.load, before->table.load);
    report("against the former rule", worse.empty() ? "no figure worse" : "worse: " + worse, "no figure worse", worse.empty());
    report("vrel-host peak memory", fixed(double(after->table.peakKiB) / 1024, "MiB", 1), "under 64 MiB",
           after->table.peakKiB < 64 * 1024);
    const bool complete = !after->table.verdicts.empty() && !after->table.chats.empty() && after->table.allStayed
        && before->table.allStayed;
    return complete ? 0 : 1;
}
