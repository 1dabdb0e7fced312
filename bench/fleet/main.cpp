// A hundred games on one machine, as a community that hosts Vrel for the public runs them. Each
// game is a vrel-host started as its systemd template unit starts it (the unit's own ExecStart=
// line with the instance as its port, the unit's watchdog time, a working folder of its own like
// its StateDirectory), and tells ready, its status, its watchdog pings and its stopping to a
// notify socket of this benchmark's. A full table plays each game: six players typing a word every
// 3 to 8 s and three onlookers chatting every 5 to 15 s, in games of 10 rounds of 40 s. It prints
// each game's processor load and memory over the run (median, 90th percentile, the highest), the
// machine's total, and how the games ended on SIGTERM.
//
//   vrel-bench-fleet [--games N] [--base-port P] [--seconds S] [--unit FILE] [--host PATH]
//   (100 games on ports 7773 to 7872, 60 s measured, the unit packaging/vrel-host.service.in)

#include "figures.h"
#include "host_process.h"
#include "latency_client.h"
#include "unit_launch.h"

#include "tests/support/notify_socket.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kTable = 9; // six players, three onlookers

std::string fixed(double value, const char *unit, int decimals = 2)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.*f %s", decimals, value, unit);
    return text;
}

// What each game told the benchmark's notify socket, by the process that sent it.
struct Told {
    bool ready = false;
    bool stopping = false;
    int watchdogs = 0;
    std::string status;
};

std::map<pid_t, Told> toldBy(const NotifySocket &inbox)
{
    std::map<pid_t, Told> told;
    for (const NotifySocket::Datagram &datagram : inbox.received()) {
        Told &game = told[datagram.sender];
        for (const QByteArray &field : datagram.text.split('\n')) {
            game.ready = game.ready || field == "READY=1";
            game.stopping = game.stopping || field == "STOPPING=1";
            game.watchdogs += field == "WATCHDOG=1";
            if (field.startsWith("STATUS="))
                game.status = field.mid(7).toStdString();
        }
    }
    return told;
}

struct Game {
    int port = 0;
    pid_t pid = -1; // kept once the process has ended
    std::unique_ptr<HostProcess> host;
    std::vector<std::unique_ptr<LatencyClient>> table;
    double cpuBefore = 0;
};

// Runs every table and reads the notify socket until `done` says so or the time is up.
template <class Done>
bool runUntil(std::vector<Game> &games, NotifySocket &inbox, Clock::time_point deadline, Done done)
{
    Clock::time_point lastLogRead = Clock::now();
    while (!done()) {
        Clock::time_point now = Clock::now();
        if (now >= deadline)
            return false;
        std::vector<pollfd> fds {{inbox.fd(), POLLIN, 0}};
        std::vector<LatencyClient *> clients {nullptr};
        for (Game &game : games) {
            for (auto &client : game.table) {
                client->act(now);
                fds.push_back({client->fd(), client->closed() ? short(0) : client->pollEvents(), 0});
                clients.push_back(client.get());
            }
        }
        ::poll(fds.data(), nfds_t(fds.size()), 10);
        now = Clock::now();
        if (fds[0].revents)
            inbox.drain();
        for (size_t i = 1; i < fds.size(); ++i) {
            if (fds[i].revents && !clients[i]->closed())
                clients[i]->onEvents(fds[i].revents, now);
        }
        // What the games log is read now and then, so that none blocks on a full pipe.
        if (now - lastLogRead > std::chrono::seconds(1)) {
            lastLogRead = now;
            for (Game &game : games)
                game.host->readLog();
        }
    }
    return true;
}

// A median, a 90th percentile and the highest of `values`, with their unit.
std::string spread(const std::vector<double> &values, const char *unit)
{
    double highest = 0;
    for (double v : values)
        highest = std::max(highest, v);
    return fixed(percentile(values, 0.5), unit) + " median, " + fixed(percentile(values, 0.9), unit) + " p90, "
        + fixed(highest, unit) + " highest";
}

} // namespace

int main(int argc, char **argv)
{
    const int count = std::stoi(option(argc, argv, "--games", "100"));
    const int basePort = std::stoi(option(argc, argv, "--base-port", "7773"));
    const int seconds = std::stoi(option(argc, argv, "--seconds", "60"));
    const std::string unitFile = option(argc, argv, "--unit", VREL_SOURCE_DIR "/packaging/vrel-host.service.in");
    const std::string program = option(argc, argv, "--host", besideThisProgram("vrel-host"));

    UnitLaunch unit;
    if (!unit.read(unitFile, program)) {
        std::fprintf(stderr, "no ExecStart= in %s\n", unitFile.c_str());
        return 1;
    }
    char folderTemplate[] = "/tmp/vrel-fleet-XXXXXX";
    const std::string folder = ::mkdtemp(folderTemplate) ? folderTemplate : "";
    if (folder.empty())
        return 1;
    // The games' folders go when the benchmark ends, however it ends; the games before them.
    struct Removed {
        std::string folder;
        ~Removed() { std::filesystem::remove_all(folder); }
    } removed {folder};
    NotifySocket inbox;
    std::vector<std::string> environment {"NOTIFY_SOCKET=" + inbox.name().toStdString(), "VREL_LOCAL_ONLY=1"};
    if (unit.watchdogUsec > 0)
        environment.push_back("WATCHDOG_USEC=" + std::to_string(unit.watchdogUsec));

    // Every game started at once, as a machine's boot starts its enabled units.
    std::vector<Game> games(static_cast<size_t>(count));
    const Clock::time_point launched = Clock::now();
    for (int g = 0; g < count; ++g) {
        Game &game = games[size_t(g)];
        game.port = basePort + g;
        const std::string instance = std::to_string(game.port);
        const std::string state = folder + "/" + instance;
        ::mkdir(state.c_str(), 0700);
        game.host = std::make_unique<HostProcess>();
        if (!game.host->spawn(unit.commandFor(instance), environment, state)) {
            std::fprintf(stderr, "cannot start %s\n", unit.commandFor(instance).front().c_str());
            return 1;
        }
        game.pid = game.host->pid();
        inbox.drain(); // as a service manager does, it reads what the first games say meanwhile
    }
    const auto allReady = [&] {
        std::map<pid_t, Told> told = toldBy(inbox);
        for (Game &game : games) {
            if (!told[game.pid].ready)
                return false;
        }
        return true;
    };
    if (!runUntil(games, inbox, launched + std::chrono::seconds(120), allReady)) {
        std::map<pid_t, Told> told = toldBy(inbox);
        for (Game &game : games) {
            if (!told[game.pid].ready)
                std::fprintf(stderr, "the game on port %d did not say it was ready\n", game.port);
        }
        return 1;
    }
    const double readyAfter = std::chrono::duration<double>(Clock::now() - launched).count();

    // The tables sit down one seat at a time in every game, so that seats go in order.
    LatencyClient::Pace pace {3000, 8000, 5000, 15000};
    for (int seat = 1; seat <= kTable; ++seat) {
        for (Game &game : games) {
            const std::string name = (seat <= 6 ? "Player" : "Onlooker") + std::to_string(seat);
            game.table.push_back(std::make_unique<LatencyClient>(name, game.port, unsigned(game.port * 10 + seat),
                                                             seat <= 6 ? LatencyClient::Role::Player : LatencyClient::Role::Watcher, pace));
            if (!game.table.back()->connect()) {
                std::fprintf(stderr, "cannot reach the game on port %d\n", game.port);
                return 1;
            }
        }
        const bool seated = runUntil(games, inbox, Clock::now() + std::chrono::seconds(30), [&] {
            for (Game &game : games) {
                if (!game.table.back()->loggedIn())
                    return false;
            }
            return true;
        });
        if (!seated) {
            std::fprintf(stderr, "seat %d was not taken in every game\n", seat);
            return 1;
        }
    }
    for (Game &game : games)
        game.table.front()->startGames();
    runUntil(games, inbox, Clock::now() + std::chrono::seconds(3), [] { return false; });

    // The run measured.
    for (Game &game : games) {
        game.host->readLog();
        game.cpuBefore = game.host->cpuSeconds();
    }
    std::map<pid_t, Told> toldBefore = toldBy(inbox);
    const Clock::time_point start = Clock::now();
    runUntil(games, inbox, start + std::chrono::seconds(seconds), [] { return false; });
    const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();

    std::map<pid_t, Told> toldDuring = toldBy(inbox);
    std::vector<double> loads, resident, proportional, peaks, pings;
    double totalLoad = 0, totalProportional = 0;
    int playing = 0;
    for (Game &game : games) {
        const double load = 100 * (game.host->cpuSeconds() - game.cpuBefore) / elapsed;
        loads.push_back(load);
        totalLoad += load;
        resident.push_back(double(game.host->residentKiB()) / 1024);
        proportional.push_back(double(game.host->proportionalKiB()) / 1024);
        totalProportional += proportional.back();
        peaks.push_back(double(game.host->peakResidentKiB()) / 1024);
        pings.push_back(toldDuring[game.pid].watchdogs - toldBefore[game.pid].watchdogs);
        bool seated = true;
        for (auto &client : game.table)
            seated = seated && !client->closed() && client->loggedIn();
        playing += seated;
    }
    const std::string sample = toldDuring[games.front().pid].status;

    // SIGTERM to every game at once, as stopping the machine's units does.
    const Clock::time_point stopping = Clock::now();
    for (Game &game : games)
        ::kill(game.pid, SIGTERM);
    int cleanEnds = 0;
    for (int running = count; running > 0;) {
        inbox.drain();
        running = 0;
        for (Game &game : games)
            running += !game.host->ended();
        pollfd told {inbox.fd(), POLLIN, 0};
        ::poll(&told, 1, 10);
    }
    const double stoppedAfter = std::chrono::duration<double>(Clock::now() - stopping).count();
    for (Game &game : games)
        cleanEnds += game.host->exitStatus() == 0;
    inbox.drain();
    std::map<pid_t, Told> toldAtTheEnd = toldBy(inbox);
    int toldStopping = 0;
    for (Game &game : games)
        toldStopping += toldAtTheEnd[game.pid].stopping;

    std::printf("%d games, each a vrel-host from %s, played by full tables for %.0f s (machine: %ld cores)\n", count,
                unitFile.c_str(), elapsed, ::sysconf(_SC_NPROCESSORS_ONLN));
    std::printf("  a game's status while played: \"%s\"\n", sample.c_str());
    report("games ready (READY=1)", std::to_string(count) + " after " + fixed(readyAfter, "s", 1), "all", true);
    report("games played through the run", std::to_string(playing) + " of " + std::to_string(count), "all", playing == count);
    report("processor load per game", spread(loads, "% of a core"), "under 0.4% of a core", percentile(loads, 0.9) < 0.4);
    report("processor load, all games", fixed(totalLoad, "% of a core", 1), "under 40% of a core", totalLoad < 40);
    report("resident memory per game", spread(resident, "MiB"), "the Fleet's request, 24 MiB", percentile(resident, 1) <= 24);
    report("memory per game, shared pages split", spread(proportional, "MiB"), "under 16 MiB", percentile(proportional, 0.9) < 16);
    report("memory, all games", fixed(totalProportional, "MiB", 0), "what the machine gives them", true);
    report("peak memory per game", spread(peaks, "MiB"), "the Fleet's limit, 64 MiB", percentile(peaks, 1) <= 64);
    const double expectedPings = unit.watchdogUsec > 0 ? elapsed / (double(unit.watchdogUsec) / 2e6) : 0;
    double fewest = 1e9;
    for (double p : pings)
        fewest = std::min(fewest, p);
    report("watchdog pings per game", fixed(fewest, "at least", 0) + " of " + fixed(expectedPings, "due", 0),
           "every one due", fewest + 1 >= expectedPings);
    report("games stopped on SIGTERM", std::to_string(cleanEnds) + " cleanly, " + std::to_string(toldStopping)
               + " told STOPPING=1, all within " + fixed(stoppedAfter, "s", 1), "all, within 10 s",
           cleanEnds == count && toldStopping == count && stoppedAfter < 10);
    return playing == count ? 0 : 1;
}
