#pragma once

#include <QString>
#include <QStringList>

// The game's command line: up to three positional parameters (player name, host address, and
// "true" to host) and the option --port N (also --port=N), which is not a parameter.
struct CommandLine {
    static constexpr int kDefaultPort = 7772;

    QStringList parameters;
    int port = kDefaultPort;
    QString error; // set when an option is malformed

    enum class Mode { Solo, Host, Join, Waiting };
    // No parameters: a solo game; three or more: host when the third is exactly "true", else
    // join; one or two: nothing happens but the loading line.
    Mode mode() const;
};

// `arguments` without the program's own name.
CommandLine parseCommandLine(const QStringList &arguments);
