#pragma once

#include <QtGlobal>

#include <functional>

class QObject;

// The orderly end of a TCP connection. A socket closed while bytes from its peer wait unread
// ends with a reset instead of an end, and a reset is what peers (and every relay, tunnel and
// router on the way) take for a broken connection. So the end (FIN) goes out after everything
// sent, and the descriptor stays open, reading and dropping whatever the peer still sends, until
// the peer ends too or kLingerMs have passed; only then is it closed.
namespace orderlyend {

constexpr int kLingerMs = 5000;
// A peer that sends on beyond this after the end is not ending: its connection is closed then.
constexpr qint64 kMaxDroppedBytes = 1024 * 1024;

// Ends the connection on `fd` and takes the descriptor over. Without an event loop on this
// thread it is closed at once.
void close(int fd);

// Connections that are still ending.
int pending();

// Calls `done` from `context`'s event loop once every connection has ended, or after `maxMs` at
// the most: a program that quits lets its last ends go out first.
void whenEnded(QObject *context, int maxMs, std::function<void()> done);

} // namespace orderlyend
