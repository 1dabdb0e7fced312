#pragma once

#include <QString>
#include <QStringList>

// The invite links of a game hosted on this computer: "vrel://ADDRESS:PORT" for every address of
// its network interfaces that are up. Loopback addresses are left out (nobody else reaches them),
// and so are IPv6 link-local ones (they need the joining computer's own interface name). IPv4
// addresses come first, each address once.
QStringList machineInviteLinks(int port);
