// A player's window under a chat flood. Four players on a real vrel-host each send a line 90
// times a second, stuffed with 100 smilies or with 100 links, while the window's own player chats
// a line every half second. For each flood it runs twice: with the host as it is (a burst of 10,
// then 3 lines a second of each connection are passed on) and with a host that relays every line
// (VREL_HOST_UNPACED_RELAYS=1, as the former rule did). It prints the time from a line typed to
// the window showing it (median, 99th percentile, worst), the processor time of the thread that
// runs the window as a share of one core, the flood lines shown and told as not shown, whether
// the window stayed in the game, and the process's resident memory at the end of the run.
//
//   vrel-bench-flood [--seconds N] [--host PATH]     (default 30 s a run, vrel-host beside it)

#include "app/startup/vrel_program.h"
#include "client/message_box.h"
#include "client/tchat.h"
#include "figures.h"
#include "host_process.h"
#include "session/client_session.h"
#include "tests/support/flooders.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <ctime>
#include <map>
#include <string>

namespace {

double threadCpuSeconds()
{
    timespec now {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

// Runs the event loop for a while as the game does: asleep while nothing happens.
void runEvents(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

struct Figures {
    std::vector<double> latencyMs;
    int probesSent = 0;
    double cpuShare = 0;
    int floodShown = 0;
    int floodHidden = 0;
    bool stayed = false;
    long residentMiB = 0;
    long floodLines = 0;
    int floodersClosed = 0;
};

bool run(int argc, char **argv, int seconds, const QByteArray &body, bool paced, Figures &figures)
{
    HostProcess host;
    std::vector<std::string> environment;
    if (!paced)
        environment.push_back("VREL_HOST_UNPACED_RELAYS=1");
    if (!startHost(host, argc, argv, environment))
        return false;
    VrelProgram ann(CommandLine {{QStringLiteral("Ann"), QStringLiteral("127.0.0.1"), QStringLiteral("x")}, host.port(), {}});
    bool ended = false;
    QObject::connect(&ann.chat(), &Tchat::ended, [&ended] { ended = true; });
    ann.chat().show();
    QElapsedTimer waiting;
    waiting.start();
    while (ann.session().seat(1).name != QLatin1String("Ann") && waiting.elapsed() < 5000)
        runEvents(10);
    if (ann.session().seat(1).name != QLatin1String("Ann")) {
        std::fprintf(stderr, "the window did not log in\n");
        return false;
    }

    std::map<int, QElapsedTimer> probes;
    static const QRegularExpression probe(QStringLiteral("^1\\+Ann chats: probe (\\d+)$"));
    static const QRegularExpression collapsed(QStringLiteral("^0\\+(\\d+) lines? from Flood\\d not shown$"));
    QObject::connect(&ann.session(), &ClientSession::lineAdded, [&](const QString &line, quint32) {
        if (const QRegularExpressionMatch match = probe.match(line); match.hasMatch()) {
            const auto sent = probes.find(match.captured(1).toInt());
            if (sent != probes.end())
                figures.latencyMs.push_back(double(sent->second.nsecsElapsed()) / 1e6);
        } else if (const QRegularExpressionMatch match = collapsed.match(line); match.hasMatch()) {
            figures.floodHidden += match.captured(1).toInt();
        } else if (line.contains(QLatin1String(" chats: ")) && line.section(u'+', 1).startsWith(QLatin1String("Flood"))) {
            ++figures.floodShown;
        }
    });

    testing_support::Flooders flooders(host.port(), 4, body, 90);
    runEvents(1000); // the flood is on
    const double cpuBefore = threadCpuSeconds();
    QElapsedTimer clock;
    clock.start();
    QTimer prober;
    QObject::connect(&prober, &QTimer::timeout, [&] {
        probes[figures.probesSent].start();
        ann.session().sendit(QStringLiteral("probe %1").arg(figures.probesSent++));
    });
    prober.start(500);
    runEvents(seconds * 1000);
    prober.stop();
    figures.cpuShare = (threadCpuSeconds() - cpuBefore) / (double(clock.nsecsElapsed()) / 1e9);
    figures.floodLines = flooders.linesSent;
    figures.floodersClosed = flooders.closedByHost;
    flooders.stop();
    runEvents(2000); // what is on its way is shown or told
    figures.stayed = !ended && ann.session().connected();
    figures.residentMiB = ownResidentKiB() / 1024;
    ann.chat().close();
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("VREL_LOCAL_ONLY", "1");
    QTemporaryDir home;
    qputenv("VREL_HOME", home.path().toUtf8());
    QApplication app(argc, argv);
    messagebox::setPresenter([](QWidget *, const QString &text) { std::fprintf(stderr, "message: %s\n", qPrintable(text)); });
    const int seconds = std::stoi(option(argc, argv, "--seconds", "30"));

    const struct {
        const char *name;
        QByteArray body;
    } floods[] = {{"100 smilies", QByteArray(":)#12").repeated(100)}, {"100 links", QByteArray("www. ").repeated(100)}};
    std::printf("four players sending a line 90 times a second for %d s; a probe line every 500 ms\n", seconds);
    std::printf("%-12s %-17s %26s %10s %16s %7s %9s\n", "flood", "host", "probe latency p50/p99/max", "window CPU",
                "flood shown/told", "stayed", "resident");
    int status = 0;
    for (const auto &flood : floods) {
        for (const bool paced : {true, false}) {
            Figures figures;
            if (!run(argc, argv, seconds, flood.body, paced, figures)) {
                status = 1;
                continue;
            }
            const std::string latency = figures.latencyMs.empty()
                ? std::string("none came back")
                : std::to_string(int(percentile(figures.latencyMs, 0.5))) + " / " + std::to_string(int(percentile(figures.latencyMs, 0.99)))
                    + " / " + std::to_string(int(percentile(figures.latencyMs, 1.0))) + " ms";
            std::printf("%-12s %-17s %26s %9.0f%% %7d / %6d %7s %5ld MiB   (%d of %d probes back, %ld flood lines sent, "
                        "%d flooders closed by the host)\n",
                        flood.name, paced ? "paces relays" : "relays every line", latency.c_str(), figures.cpuShare * 100,
                        figures.floodShown, figures.floodHidden, figures.stayed ? "yes" : "NO", figures.residentMiB,
                        int(figures.latencyMs.size()), figures.probesSent, figures.floodLines, figures.floodersClosed);
            std::fflush(stdout);
            status |= figures.stayed ? 0 : 1;
        }
    }
    return status;
}
