// Soak run of the host: vrel-host under seven steady players who chat as fast as the host passes
// one player's lines on and play their words while games run one after another, two more who come and go, one client
// that logs in and then never reads, and one that floods (legal chat lines as fast as the
// connection takes them, or 100 KB lines). Every 30 seconds it prints the host's resident memory,
// open descriptors and processor load, and how long the well-behaved clients' chat lines took to
// come back; at the end it sums up the run after its first minute.
//
//   vrel-soak-host [--minutes N] [--host PATH]     (default 5 minutes, vrel-host beside it)

#include "figures.h"
#include "host_process.h"
#include "soak_client.h"

#include "dictionary/embeddedwords.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>
#include <memory>
#include <poll.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

struct Sample {
    double seconds;
    long residentKiB;
    int descriptors;
};

} // namespace

int main(int argc, char **argv)
{
    const double minutes = std::stod(option(argc, argv, "--minutes", "5"));
    HostProcess host;
    if (!startHost(host, argc, argv))
        return 1;
    std::printf("vrel-host on port %d, %.1f minutes\n", host.port(), minutes);

    std::vector<std::string> pool;
    for (const QString &word : loadWordPool())
        pool.push_back(word.toStdString());

    const Clock::time_point start = Clock::now();
    std::vector<std::unique_ptr<SoakClient>> clients;
    using Kind = SoakClient::Kind;
    for (int i = 1; i <= 7; ++i)
        clients.push_back(std::make_unique<SoakClient>(Kind::Steady, "Steady" + std::to_string(i), host.port(), i == 1, i, pool));
    clients.push_back(std::make_unique<SoakClient>(Kind::Silent, "Silent", host.port(), false, 8, pool));
    clients.push_back(std::make_unique<SoakClient>(Kind::Flooder, "Flooder", host.port(), false, 9, pool));
    for (int i = 1; i <= 2; ++i) {
        clients.push_back(std::make_unique<SoakClient>(Kind::Churner, "Churner" + std::to_string(i), host.port(), false, 9 + i, pool));
        clients.back()->startAt(start + std::chrono::seconds(10 * i));
    }
    for (size_t i = 0; i < 9; ++i)
        clients[i]->startAt(start + std::chrono::milliseconds(50 * int(i))); // seat 1 is Steady1

    SoakCounts counts;
    std::vector<Sample> samples;
    std::vector<double> allDelays;
    const Clock::time_point end = start + std::chrono::milliseconds(long(minutes * 60000));
    Clock::time_point nextSample = start;
    Clock::time_point nextReport = start + std::chrono::seconds(30);
    double lastCpu = 0;
    Clock::time_point lastCpuAt = start;
    std::vector<int> freedSeats;

    std::printf("%6s %9s %5s %5s %7s %22s %6s %6s %5s %7s\n", "t(s)", "RSS(MiB)", "fds", "cpu%", "chats",
                "delay p50/p99/max(ms)", "flood", "silent", "full", "log");
    while (Clock::now() < end && host.running()) {
        Clock::time_point now = Clock::now();
        for (auto &client : clients)
            client->act(now, counts);

        std::vector<pollfd> fds;
        std::vector<SoakClient *> owners;
        for (auto &client : clients) {
            if (client->fd() >= 0) {
                fds.push_back({client->fd(), client->pollEvents(), 0});
                owners.push_back(client.get());
            }
        }
        fds.push_back({host.logDescriptor(), POLLIN, 0});
        ::poll(fds.data(), nfds_t(fds.size()), 5);
        now = Clock::now();
        for (size_t i = 0; i < owners.size(); ++i) {
            if (fds[i].revents)
                owners[i]->onEvents(fds[i].revents, now, counts, freedSeats);
        }
        for (const int seat : freedSeats) {
            for (auto &client : clients)
                client->seatFreedByHost(seat, counts);
        }
        freedSeats.clear();
        host.readLog();

        if (now >= nextSample) {
            samples.push_back({std::chrono::duration<double>(now - start).count(), host.residentKiB(), host.openDescriptors()});
            nextSample += std::chrono::seconds(5);
        }
        if (now >= nextReport) {
            const double cpu = host.cpuSeconds();
            const double load = 100 * (cpu - lastCpu) / std::chrono::duration<double>(now - lastCpuAt).count();
            lastCpu = cpu;
            lastCpuAt = now;
            const std::vector<double> &d = counts.chatDelaysMs;
            const double worst = d.empty() ? 0 : *std::max_element(d.begin(), d.end());
            std::printf("%6.0f %9.1f %5d %5.0f %7zu %8.0f/%5.0f/%7.0f %6ld %6ld %5ld %7ld\n", samples.back().seconds,
                        double(samples.back().residentKiB) / 1024, samples.back().descriptors, load, d.size(),
                        percentile(d, 0.5), percentile(d, 0.99), worst, counts.floodsClosed, counts.silentClosed,
                        counts.fullAnswers, host.logLines());
            std::fflush(stdout);
            allDelays.insert(allDelays.end(), d.begin(), d.end());
            counts.chatDelaysMs.clear();
            nextReport += std::chrono::seconds(30);
        }
    }
    allDelays.insert(allDelays.end(), counts.chatDelaysMs.begin(), counts.chatDelaysMs.end());
    const bool hostAlive = host.running();

    long minRss = LONG_MAX, maxRss = 0;
    int minFds = INT_MAX, maxFds = 0;
    for (const Sample &s : samples) {
        if (s.seconds < 60)
            continue;
        minRss = std::min(minRss, s.residentKiB);
        maxRss = std::max(maxRss, s.residentKiB);
        minFds = std::min(minFds, s.descriptors);
        maxFds = std::max(maxFds, s.descriptors);
    }
    const double worst = allDelays.empty() ? 0 : *std::max_element(allDelays.begin(), allDelays.end());
    std::printf("\nafter the first minute: resident %.1f to %.1f MiB, descriptors %d to %d\n", double(minRss) / 1024,
                double(maxRss) / 1024, minFds, maxFds);
    std::printf("well-behaved chat lines relayed: %zu, delay median %.0f ms, 99th percentile %.0f ms, worst %.0f ms\n",
                allDelays.size(), percentile(allDelays, 0.5), percentile(allDelays, 0.99), worst);
    std::printf("games started %ld, won %ld; words and passes sent %ld, accepted %ld, refused %ld; seats taken %ld, "
                "refused full %ld\n",
                counts.gamesStarted, counts.winners, counts.wordsSent, counts.wordsAccepted, counts.verdicts,
                counts.seatsTaken, counts.fullAnswers);
    std::printf("flooder closed by the host %ld times, non-reader closed %ld times; host log %ld lines (%lld bytes)\n",
                counts.floodsClosed, counts.silentClosed, host.logLines(), host.logBytes());
    std::printf("host %s; every well-behaved chat line back within a second: %s\n",
                hostAlive ? "still running" : "ENDED", worst < 1000 ? "yes" : "NO");
    host.stop();
    return hostAlive && worst < 1000 ? 0 : 1;
}
