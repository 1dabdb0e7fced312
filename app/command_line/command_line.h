#pragma once

#include "protocol/constants.h"

#include <QString>
#include <QStringList>

// The command lines of the game and of the headless host. Both take the option --port N (also
// --port=N), read by one reader; a port is a number from 0 to 65535, 0 letting the system pick.

// The game's command line: up to three positional parameters (player name, host address, and
// "true" to host) and the port option, which is not a parameter.
struct CommandLine {
    QStringList parameters;
    int port = proto::kDefaultPort;
    QString error; // set when an option is malformed

    enum class Mode { Solo, Host, Join, Waiting };
    // No parameters: a solo game; three or more: host when the third is exactly "true", else
    // join; one or two: nothing happens but the loading line.
    Mode mode() const;
};

// `arguments` without the program's own name.
CommandLine parseCommandLine(const QStringList &arguments);

// vrel-host's command line: the port option and --help (or -h); anything else is an error.
struct HostCommandLine {
    int port = proto::kDefaultPort;
    bool help = false; // asked for anywhere, it wins over everything else
    QString error;     // set when an option is unknown or malformed
};

// `arguments` without the program's own name.
HostCommandLine parseHostCommandLine(const QStringList &arguments);
