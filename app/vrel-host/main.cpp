// vrel-host: a game host without a window. It runs the host engine alone, so that a game can be
// hosted from a machine without a screen, and so that tests have a real peer to talk to.

#include "app/command_line/command_line.h"
#include "app/reach/host_reach.h"
#include "app/termination/termination_signals.h"
#include "app/vrel-host/host_service.h"
#include "engine/tserver.h"
#include "net/error_sink.h"
#include "net/esock_exception.h"
#include "net/orderly_end.h"
#include "portmap/router_jobs.h"

#include <QCoreApplication>
#include <QSysInfo>

#include <cstdio>
#include <functional>
#include <memory>

namespace {

const char kProgram[] = "vrel-host";
// How long the host waits at most for its players' connections to end when it stops.
constexpr int kLastEndsMs = 2000;

const char kHelp[] =
    "Usage: vrel-host [--port N] [--open-port]\n"
    "A Vrel game host without a window: players join it with \"vrel NAME HOST x\".\n"
    "It logs its activity on stderr and stops cleanly on SIGINT or SIGTERM, telling its\n"
    "players that the game ends. The game is published on the local network (DNS-SD\n"
    "\"_vrel._tcp\", through Avahi). Run by systemd (NOTIFY_SOCKET, LISTEN_FDS) or by Agones\n"
    "(AGONES_SDK_HTTP_PORT), it tells them how it is doing; see vrel-host(6).\n"
    "\n"
    "  --port N      listen on TCP port N (default 7772; 0 picks a free one)\n"
    "  --open-port   ask the router (NAT-PMP, then UPnP) to forward the port while the\n"
    "                host runs\n"
    "  -h, --help    print this help and exit\n"
    "  --version     print the version and exit\n";

void say(const QString &line)
{
    std::fprintf(stderr, "vrel-host: %s\n", qPrintable(line));
    std::fflush(stderr);
}

} // namespace

int main(int argc, char **argv)
{
    const HostCommandLine commandLine = parseHostCommandLine(argumentsOf(argc, argv));
    if (const std::optional<int> status = answeredWithoutRunning(commandLine, kProgram, kHelp))
        return *status;

    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QString::fromLatin1(kProgram));
    vrel::setErrorSink(say);
    std::function<void()> stop = [&app] { app.quit(); };
    const bool watching = watchTerminationSignals(&app, [&stop] {
        say(QStringLiteral("stopping"));
        stop();
    });
    if (!watching)
        say(QStringLiteral("cannot watch for SIGINT/SIGTERM; stop with SIGKILL"));

    TServer server;
    QObject::connect(&server, &TServer::activity, &app, say);
    // For the latency benchmark, which measures the former dispatch rule beside the present one.
    bool numeric = false;
    const int perTick = qEnvironmentVariableIntValue("VREL_HOST_MESSAGES_PER_TICK", &numeric);
    if (numeric && perTick > 0)
        server.setMessagesPerTick(perTick);
    // For the flood benchmark, which measures windows under a host that relays every line.
    if (qEnvironmentVariableIntValue("VREL_HOST_UNPACED_RELAYS") == 1)
        server.setRelaysPaced(false);
    HostService service(server);
    QObject::connect(&service, &HostService::activity, &app, say);
    quint16 port = 0;
    try {
        port = service.listen(commandLine.port);
    } catch (const ESockException &e) {
        say(QStringLiteral("cannot listen on port %1: %2 (is another host running?)").arg(commandLine.port).arg(e.text()));
        return 1;
    }
    say(QStringLiteral("listening on port %1%2").arg(port).arg(service.handedOver() ? " (a socket handed over by the service manager)" : ""));
    service.start();
    HostReach reach(server, QStringLiteral("Vrel host on %1").arg(QSysInfo::machineHostName()), QString());
    QObject::connect(&reach.portMapper(), &PortMapper::activity, &app, say);
    QObject::connect(&reach.publisher(), &GamePublisher::publishedChanged, &app, [&reach](bool published) {
        if (published)
            say(QStringLiteral("published on the local network as \"%1\"").arg(reach.publisher().publishedName()));
    });
    reach.start(port, commandLine.openPort);
    // The router's forwarding goes back while the players are told that the game ends and the
    // manager hears of it; the program ends once its players' connections have ended and the
    // manager has answered (or each wait has run out: the two waits run side by side).
    stop = [&service, &server, &reach] {
        reach.portMapper().close();
        auto waits = std::make_shared<int>(2);
        auto oneDone = [waits] {
            if (--*waits == 0)
                QCoreApplication::quit();
        };
        service.stop(oneDone);
        orderlyend::whenEnded(&server, kLastEndsMs, oneDone);
    };
    const int status = app.exec();
    // The router gets a moment to take its forwarding back, never more.
    reach.portMapper().close();
    portmap::finishRouterJobs();
    say(QStringLiteral("stopped"));
    return status;
}
