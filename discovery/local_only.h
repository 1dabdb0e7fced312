#pragma once

#include <QtGlobal>

// VREL_LOCAL_ONLY=1 keeps a copy to this computer: its hosted games are not published on the
// local network, the router is never asked for a port, and no games are looked for. The tests
// set it (outside their own network namespace), so that nothing they run reaches a real network.
inline bool keepsToThisComputer()
{
    return qEnvironmentVariable("VREL_LOCAL_ONLY") == QLatin1String("1");
}
