#pragma once

#include "protocol/constants.h"

#include <QString>
#include <QStringList>

#include <optional>

// The command lines of the three programs. The game and the headless host take the option
// --port N (also --port=N), read by one reader; a port is a number from 0 to 65535, 0 letting the
// system pick. All three answer --help (or -h) and --version.

// What a program is asked to do: its work, or print its help or its version and stop. --help and
// --version win over everything else on the line, wherever they stand (before a "--"); the first
// of them counts.
enum class Request { Run, Help, Version };

// Whether an argument has the form of a long option ("--name" or "--name=value"); a lone "--"
// does not.
bool isLongOption(const QString &argument);

// "Unknown option: ARGUMENT"
QString unknownOption(const QString &argument);

// Whether an argument is read as an option where options may stand: a long option or "-h".
bool looksLikeOption(const QString &argument);

// Finds --help, -h or --version among `arguments` (without the program's own name), up to a
// lone "--".
Request requestOf(const QStringList &arguments);

// The game's command line: up to three positional parameters (player name, host address, and
// "true" to host) and the port option, which is not a parameter. Options are read only before
// the first parameter ("vrel Ann 10.0.0.2 -h" joins as "-h"); every argument after a lone "--"
// is a parameter, so that a name that looks like an option can still be given first.
struct CommandLine {
    QStringList parameters;
    int port = proto::kDefaultPort;
    QString error; // set when an option is unknown or malformed
    Request request = Request::Run;
    bool findGames = false; // --find-games: print the games on the local network and stop

    enum class Mode { Solo, Host, Join, Waiting, Invite };
    // No parameters: a solo game; three or more: host when the third is exactly "true", else
    // join; a game's invite link alone ("vrel://HOST:PORT"): join that game; otherwise one or
    // two: nothing happens but the loading line.
    Mode mode() const;
};

// `arguments` without the program's own name.
CommandLine parseCommandLine(const QStringList &arguments);

// vrel-host's command line: the port option, --open-port, --help and --version; anything else is
// an error.
struct HostCommandLine {
    int port = proto::kDefaultPort;
    bool openPort = false; // --open-port: ask the router to forward the port
    QString error; // set when an option is unknown or malformed
    Request request = Request::Run;
};

// `arguments` without the program's own name.
HostCommandLine parseHostCommandLine(const QStringList &arguments);

// The arguments of main() after the program's name, in the locale's encoding; usable before the
// application object exists.
QStringList argumentsOf(int argc, char **argv);

// Prints the help (to stdout) or "PROGRAM VERSION" for a Help or Version request. Returns the
// exit status, 0.
int answerRequest(Request request, const char *program, const char *help);

// Prints "PROGRAM: ERROR" and where to find the usage on stderr. Returns the exit status for a
// command line that cannot be used, 2.
int refuseCommandLine(const char *program, const QString &error);

// A command line that is answered without running: its help or version printed, or its error
// refused. The exit status then, or nothing when the program runs.
template <class Line>
std::optional<int> answeredWithoutRunning(const Line &line, const char *program, const char *help)
{
    if (line.request != Request::Run)
        return answerRequest(line.request, program, help);
    if (!line.error.isEmpty())
        return refuseCommandLine(program, line.error);
    return std::nullopt;
}
