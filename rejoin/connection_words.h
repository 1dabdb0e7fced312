#pragma once

#include <QString>

// What a player is told when a connection fails, in plain words.
namespace connectionwords {

// The reason for a Windows Sockets code, as a player says it: "connection refused".
QString reason(int wsaCode);

// "Could not connect: 10.0.0.5:7772, connection refused."
QString couldNotConnect(const QString &addressText, int wsaCode);

// Hosting on a port that another program holds; `suggestion` is a port that was free a moment
// ago, 0 when none was found.
QString portInUse(int port, int suggestion);
// The same for a game hosted from the command line, with the option that asks for the port.
QString portInUseOnCommandLine(int port, int suggestion);

// A port near `port` that can be listened on now, 0 when none of the next few is free.
int freePortNear(int port);

} // namespace connectionwords
