// vrel-host: a game host without a window. It runs the host engine alone, so that a game can be
// hosted from a machine without a screen, and so that tests have a real peer to talk to.

#include "app/command_line/command_line.h"
#include "engine/tserver.h"
#include "net/error_sink.h"
#include "net/esock_exception.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int signalPipe[2] = {-1, -1};

void onSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] ssize_t written = ::write(signalPipe[1], &byte, 1);
}

void say(const QString &line)
{
    std::fprintf(stderr, "vrel-host: %s\n", qPrintable(line));
    std::fflush(stderr);
}

void usage()
{
    std::fprintf(stderr, "usage: vrel-host [--port N]   (default port %d; 0 picks a free one)\n", proto::kDefaultPort);
}

bool watchTerminationSignals(QCoreApplication &app)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalPipe) != 0)
        return false;
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    auto *notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, [&app] {
        say(QStringLiteral("stopping"));
        app.quit();
    });
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vrel-host"));

    const HostCommandLine commandLine = parseHostCommandLine(app.arguments().mid(1));
    if (commandLine.help) {
        usage();
        return 0;
    }
    if (!commandLine.error.isEmpty()) {
        say(commandLine.error);
        usage();
        return 2;
    }
    vrel::setErrorSink(say);
    if (!watchTerminationSignals(app))
        say(QStringLiteral("cannot watch for SIGINT/SIGTERM; stop with SIGKILL"));

    TServer server;
    QObject::connect(&server, &TServer::activity, &app, say);
    quint16 port = 0;
    try {
        port = server.listen(commandLine.port);
    } catch (const ESockException &e) {
        say(QStringLiteral("cannot listen on port %1: %2 (is another host running?)").arg(commandLine.port).arg(e.text()));
        return 1;
    }
    say(QStringLiteral("listening on port %1").arg(port));
    const int status = app.exec();
    say(QStringLiteral("stopped"));
    return status;
}
