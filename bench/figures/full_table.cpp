#include "full_table.h"

#include "figures.h"

#include <poll.h>

#include <cstdio>

bool ClientLoop::runUntil(Clock::time_point deadline, const std::function<bool()> &done)
{
    std::vector<pollfd> fds;
    while (!done()) {
        Clock::time_point now = Clock::now();
        if (now >= deadline)
            return false;
        fds.clear();
        for (LatencyClient *client : clients_) {
            client->act(now);
            fds.push_back({client->fd(), client->closed() ? short(0) : client->pollEvents(), 0});
        }
        ::poll(fds.data(), nfds_t(fds.size()), 5);
        now = Clock::now();
        for (size_t i = 0; i < clients_.size(); ++i) {
            if (fds[i].revents && !clients_[i]->closed())
                clients_[i]->onEvents(fds[i].revents, now);
        }
    }
    return true;
}

bool FullTable::startHost(int argc, char **argv, const std::vector<std::string> &environment)
{
    return ::startHost(host_, argc, argv, environment);
}

bool FullTable::connect(int seat, ClientLoop &loop)
{
    using Role = LatencyClient::Role;
    const bool player = seat <= 6;
    clients_.push_back(std::make_unique<LatencyClient>((player ? "Player" : "Watcher") + std::to_string(seat), host_.port(),
                                                       unsigned(seat), player ? Role::Player : Role::Watcher));
    loop.add(clients_.back().get());
    return clients_.back()->connect();
}

void FullTable::record()
{
    for (auto &client : clients_)
        client->record();
}

bool FullTable::collect(std::vector<double> &verdicts, std::vector<double> &chats) const
{
    bool stayed = true;
    for (const auto &client : clients_) {
        verdicts.insert(verdicts.end(), client->verdictMs.begin(), client->verdictMs.end());
        chats.insert(chats.end(), client->chatMs.begin(), client->chatMs.end());
        stayed = stayed && !client->closed();
    }
    return stayed;
}

std::optional<TableFigures> measureTables(int argc, char **argv, int tables, int seconds,
                                          const std::vector<std::string> &environment)
{
    std::vector<std::unique_ptr<FullTable>> all;
    for (int t = 0; t < tables; ++t) {
        all.push_back(std::make_unique<FullTable>());
        if (!all.back()->startHost(argc, argv, environment))
            return std::nullopt;
    }
    // Seat by seat over all tables, so that every host hands out its seats in order: the first
    // six play.
    ClientLoop loop;
    for (int seat = 1; seat <= FullTable::kClients; ++seat) {
        for (auto &table : all) {
            if (!table->connect(seat, loop))
                return std::nullopt;
        }
        const auto seated = [&] {
            for (auto &table : all) {
                if (!table->loggedIn(seat))
                    return false;
            }
            return true;
        };
        if (!loop.runUntil(Clock::now() + std::chrono::seconds(10 + tables / 10), seated)) {
            std::fprintf(stderr, "the clients of seat %d could not all log in\n", seat);
            return std::nullopt;
        }
    }
    // The figures are taken with games running: their start (dealing every round) is not counted.
    for (auto &table : all)
        table->startGames();
    loop.runFor(std::chrono::seconds(2));
    for (auto &table : all)
        table->record();

    double cpuBefore = 0;
    for (auto &table : all) {
        table->host().readLog();
        cpuBefore += table->host().cpuSeconds();
    }
    const Clock::time_point start = Clock::now();
    Clock::time_point nextLogRead = start;
    loop.runUntil(start + std::chrono::seconds(seconds), [&] {
        // The hosts' logs are drained now and then, so that none blocks on a full pipe.
        if (Clock::now() >= nextLogRead) {
            for (auto &table : all)
                table->host().readLog();
            nextLogRead += std::chrono::milliseconds(200);
        }
        return false;
    });
    TableFigures figures;
    figures.elapsed = std::chrono::duration<double>(Clock::now() - start).count();
    double cpuAfter = 0;
    figures.allStayed = true;
    for (auto &table : all) {
        cpuAfter += table->host().cpuSeconds();
        figures.peakKiB = std::max(figures.peakKiB, table->host().peakResidentKiB());
        figures.allStayed = table->collect(figures.verdicts, figures.chats) && figures.allStayed;
    }
    figures.load = 100 * (cpuAfter - cpuBefore) / figures.elapsed;
    return figures;
}
