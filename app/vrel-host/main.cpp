// vrel-host: a game host without a window. It runs the host engine alone, so that a game can be
// hosted from a machine without a screen, and so that tests have a real peer to talk to.

#include "engine/tserver.h"
#include "net/error_sink.h"
#include "net/esock_exception.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QStringList>

#include <csignal>
#include <cstdio>
#include <optional>
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
    std::fprintf(stderr, "usage: vrel-host [--port N]   (default port 7772; 0 picks a free one)\n");
}

std::optional<int> parsePort(const QString &text)
{
    bool ok = false;
    const int port = text.toInt(&ok);
    if (!ok || port < 0 || port > 65535)
        return std::nullopt;
    return port;
}

// The port asked for on the command line, 7772 without one; nothing when the options are bad.
std::optional<int> portFromArguments(const QStringList &arguments)
{
    int port = 7772;
    for (int i = 1; i < arguments.size(); ++i) {
        const QString &arg = arguments.at(i);
        QString value;
        if (arg == QLatin1String("--port") && i + 1 < arguments.size())
            value = arguments.at(++i);
        else if (arg.startsWith(QLatin1String("--port=")))
            value = arg.mid(7);
        else {
            say(QStringLiteral("unknown option: %1").arg(arg));
            return std::nullopt;
        }
        const std::optional<int> parsed = parsePort(value);
        if (!parsed) {
            say(QStringLiteral("not a port number: %1").arg(value));
            return std::nullopt;
        }
        port = *parsed;
    }
    return port;
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

    const QStringList arguments = app.arguments();
    if (arguments.contains(QLatin1String("--help")) || arguments.contains(QLatin1String("-h"))) {
        usage();
        return 0;
    }
    const std::optional<int> port = portFromArguments(arguments);
    if (!port) {
        usage();
        return 2;
    }
    vrel::setErrorSink(say);
    if (!watchTerminationSignals(app))
        say(QStringLiteral("cannot watch for SIGINT/SIGTERM; stop with SIGKILL"));

    TServer server;
    QObject::connect(&server, &TServer::activity, &app, say);
    server.Sock1.setPortName(QString::number(*port));
    try {
        server.Sock1.setListen(true);
    } catch (const ESockException &e) {
        say(QStringLiteral("cannot listen on port %1: %2 (is another host running?)").arg(*port).arg(e.text()));
        return 1;
    }
    say(QStringLiteral("listening on port %1").arg(server.Sock1.boundPort()));
    const int status = app.exec();
    say(QStringLiteral("stopped"));
    return status;
}
