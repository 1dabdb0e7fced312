#pragma once

#include <QList>

// Socket activation: the sockets a service manager opened for this process and handed over
// (LISTEN_FDS descriptors from 3 on, LISTEN_PID naming this process), so that the service starts on
// its first connection and no connection is lost while it restarts. The variables are removed
// from the environment, as they are meant for this process alone. Empty when nothing was handed
// over.
QList<int> takeActivatedSockets();
