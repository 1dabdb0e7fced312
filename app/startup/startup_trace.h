#pragma once

class ClientSession;
class Tchat;

// With VREL_STARTUP_TRACE set (to anything but empty), the game tells on stderr when its window
// is first shown and when its login is complete, so that a benchmark can time its start. Without
// it nothing is connected and nothing is printed.
void traceStartupWhenAsked(Tchat &window, ClientSession &session);
