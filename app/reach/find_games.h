#pragma once

#include <QStringList>

// vrel --find-games: the games on the local network, one a line (name, address, port, players
// and state, separated by tabs), on stdout. Waits until the network has told what it knows, two
// seconds at most, or up to ten on a network so crowded that it is still being heard then.
// Returns the exit status: 0, or 1 when games on the network cannot be found (said on stderr).
int printFoundGames(int argc, char **argv);
