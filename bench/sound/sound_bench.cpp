// How long the sounds take to get ready and to start:
//  - decoding every file of the set (PCM and MPEG Layer-3), the whole set and the slowest file;
//  - a play request until the sink is playing, the first one (which also connects to the sound
//    server and decodes) and later ones, on a PulseAudio null sink of our own.

#include "sound/pcm_sound.h"
#include "sound/sound_player.h"
#include "tests/support/pulse_server.h"
#include "tests/support/wait.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace sound;

namespace {

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void decodingTimes(const SoundSet &set)
{
    QHash<QString, QByteArray> files;
    for (const QString &name : set.names())
        files.insert(name, set.read(name));
    constexpr int kRounds = 30;
    std::vector<double> whole;
    QHash<QString, std::vector<double>> each;
    for (int r = 0; r < kRounds; ++r) {
        QElapsedTimer all;
        all.start();
        for (auto it = files.cbegin(); it != files.cend(); ++it) {
            QElapsedTimer one;
            one.start();
            if (!decodeWave(it.value()))
                std::printf("%s does not decode!\n", qPrintable(it.key()));
            each[it.key()].push_back(one.nsecsElapsed() / 1e6);
        }
        whole.push_back(all.nsecsElapsed() / 1e6);
    }
    QString slowest;
    double slowestMs = 0;
    for (auto it = each.cbegin(); it != each.cend(); ++it) {
        if (median(it.value()) > slowestMs) {
            slowestMs = median(it.value());
            slowest = it.key();
        }
    }
    std::printf("decoding the whole set (%lld files, median of %d): %.2f ms; slowest file %s %.2f ms\n",
        qlonglong(files.size()), kRounds, median(whole), qPrintable(slowest), slowestMs);
}

void startTimes(const SoundSet &set)
{
    testing_support::PulseServer server;
    if (!server.ready()) {
        std::printf("no PulseAudio server could be started: no start-up figures\n");
        return;
    }
    testing_support::usePulseServerIn(server.runtimeFolder());
    SoundPlayer player(set, [] {});
    QElapsedTimer clock;
    qint64 startedAt = -1;
    QObject::connect(&player, &SoundPlayer::started, [&] { startedAt = clock.nsecsElapsed(); });

    const auto requestToStart = [&](const QString &name, double *returned) {
        startedAt = -1;
        clock.start();
        player.play(name);
        *returned = clock.nsecsElapsed() / 1e6;
        testing_support::waitUntil([&] { return startedAt >= 0; }, 2000);
        return startedAt >= 0 ? startedAt / 1e6 : -1.0;
    };
    double returned = 0;
    const double first = requestToStart(QStringLiteral("wave20"), &returned);
    std::printf("first request (connects, decodes MPEG wave20): sink playing after %.2f ms, play() returned after %.2f ms\n",
        first, returned);

    std::vector<double> started, returns;
    for (int round = 0; round < 3; ++round) {
        for (const QString &name : set.names()) {
            started.push_back(requestToStart(name, &returned));
            returns.push_back(returned);
            testing_support::settle(20);
        }
    }
    player.stop();
    std::printf("later requests (%zu, each cutting the one before): sink playing after median %.2f ms, max %.2f ms; "
                "play() returned after median %.2f ms, max %.2f ms\n",
        started.size(), median(started), *std::max_element(started.begin(), started.end()), median(returns),
        *std::max_element(returns.begin(), returns.end()));
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const SoundSet set = SoundSet::builtIn();
    decodingTimes(set);
    startTimes(set);
    return 0;
}
