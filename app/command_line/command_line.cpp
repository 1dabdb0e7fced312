#include "app/command_line/command_line.h"

#include "joining/game_address.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr int kExitUsage = 2;
const QLatin1String kEndOfOptions("--");

enum class PortOption { Absent, Read, Malformed };

// Reads the port option at arguments[i]: "--port N" moves i onto N. Absent when arguments[i]
// is something else; Malformed with `error` set when the value is missing or not a port.
PortOption readPortOption(const QStringList &arguments, int &i, int &port, QString &error)
{
    const QString &argument = arguments.at(i);
    QString value;
    if (argument == QLatin1String("--port")) {
        if (i + 1 >= arguments.size()) {
            error = QStringLiteral("--port needs a port number");
            return PortOption::Malformed;
        }
        value = arguments.at(++i);
    } else if (argument.startsWith(QLatin1String("--port="))) {
        value = argument.mid(7);
    } else {
        return PortOption::Absent;
    }
    bool ok = false;
    const int number = value.toInt(&ok);
    if (!ok || number < 0 || number > 65535) {
        error = QStringLiteral("Not a port number: %1").arg(value);
        return PortOption::Malformed;
    }
    port = number;
    return PortOption::Read;
}

// How many arguments at the head of the game's line are options (a port option's value
// included); the first parameter or a lone "--" ends them.
int optionsLength(const QStringList &arguments)
{
    int i = 0;
    while (i < arguments.size() && looksLikeOption(arguments.at(i)))
        i += arguments.at(i) == QLatin1String("--port") ? 2 : 1;
    return std::min(i, int(arguments.size()));
}

} // namespace

QString unknownOption(const QString &argument)
{
    return QStringLiteral("Unknown option: %1").arg(argument);
}

bool isLongOption(const QString &argument)
{
    return argument.size() > 2 && argument.startsWith(kEndOfOptions);
}

bool looksLikeOption(const QString &argument)
{
    return isLongOption(argument) || argument == QLatin1String("-h");
}

Request requestOf(const QStringList &arguments)
{
    for (const QString &argument : arguments) {
        if (argument == kEndOfOptions)
            break;
        if (argument == QLatin1String("--help") || argument == QLatin1String("-h"))
            return Request::Help;
        if (argument == QLatin1String("--version"))
            return Request::Version;
    }
    return Request::Run;
}

CommandLine::Mode CommandLine::mode() const
{
    if (parameters.isEmpty())
        return Mode::Solo;
    if (parameters.size() == 1 && isInviteLink(parameters.at(0)))
        return Mode::Invite;
    if (parameters.size() < 3)
        return Mode::Waiting;
    return parameters.at(2) == QLatin1String("true") ? Mode::Host : Mode::Join;
}

CommandLine parseCommandLine(const QStringList &arguments)
{
    CommandLine line;
    line.request = requestOf(arguments.mid(0, optionsLength(arguments)));
    if (line.request != Request::Run)
        return line;
    for (int i = 0; i < arguments.size(); ++i) {
        if (arguments.at(i) == kEndOfOptions) {
            line.parameters << arguments.mid(i + 1);
            break;
        }
        // The first parameter ends the options: the rest are parameters as they stand.
        if (!looksLikeOption(arguments.at(i))) {
            line.parameters << arguments.mid(i);
            break;
        }
        if (arguments.at(i) == QLatin1String("--find-games")) {
            line.findGames = true;
            continue;
        }
        switch (readPortOption(arguments, i, line.port, line.error)) {
        case PortOption::Absent:
            if (isLongOption(arguments.at(i))) {
                line.error = unknownOption(arguments.at(i));
                return line;
            }
            line.parameters << arguments.at(i);
            break;
        case PortOption::Read:
            break;
        case PortOption::Malformed:
            return line;
        }
    }
    return line;
}

HostCommandLine parseHostCommandLine(const QStringList &arguments)
{
    HostCommandLine line;
    line.request = requestOf(arguments);
    if (line.request != Request::Run)
        return line;
    for (int i = 0; i < arguments.size(); ++i) {
        if (arguments.at(i) == QLatin1String("--open-port")) {
            line.openPort = true;
            continue;
        }
        switch (readPortOption(arguments, i, line.port, line.error)) {
        case PortOption::Absent:
            line.error = unknownOption(arguments.at(i));
            return line;
        case PortOption::Read:
            break;
        case PortOption::Malformed:
            return line;
        }
    }
    return line;
}

QStringList argumentsOf(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

int answerRequest(Request request, const char *program, const char *help)
{
    if (request == Request::Help)
        std::fputs(help, stdout);
    else
        std::printf("%s %s\n", program, proto::kVersion);
    std::fflush(stdout);
    return 0;
}

int refuseCommandLine(const char *program, const QString &error)
{
    std::fprintf(stderr, "%s: %s\nTry '%s --help' for more information.\n", program, qPrintable(error), program);
    return kExitUsage;
}
