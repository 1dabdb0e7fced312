#pragma once

#include <functional>

class QObject;

// Turns SIGINT and SIGTERM into a call of `onSignal` from the event loop of `context`'s thread:
// the signal handler only writes a byte into a socket pair, which a notifier reads, so the
// program ends the way it ends on its own (files saved, connections closed). Set up once per
// process; false when the socket pair cannot be made (the signals then keep their default).
bool watchTerminationSignals(QObject *context, std::function<void()> onSignal);
