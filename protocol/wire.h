#pragma once

#include "protocol/constants.h"

#include <QByteArray>
#include <QList>

#include <optional>

// The message format shared by host and clients: "CMD_" verb, "+", fields separated by "+",
// ended by the terminator byte 0xFF. Nothing is escaped.
namespace proto {

// Verb and data of a received line: the verb is the text before the first "+", the data
// everything after it. A line without "+" has an empty verb.
struct VerbAndData {
    QByteArray verb;
    QByteArray data;
};
VerbAndData splitVerb(const QByteArray &line);

// A decimal number as messages carry it: optional "-", digits, within 32 bits.
std::optional<int> toNumber(const QByteArray &text);

// The longest message a receiver takes, its terminator not counted. A host never sends a longer
// one.
constexpr int kMaxMessageBytes = 64 * 1024;

// Cuts a connection's byte stream at the terminator. Bytes after the last terminator are kept
// for the next read, so a message split across reads arrives whole. What happens to a message
// longer than the limit is the owner's choice:
// - EndsStream: a remainder that grows past the limit without a terminator marks the stream as
//   overflowing (the connection is hostile or broken and is closed by its owner);
// - Dropped: every message longer than the limit is skipped up to its terminator, whatever the
//   sizes of the reads it arrived in, and the stream goes on with the next one.
class StreamCutter
{
public:
    static constexpr int kMaxPending = kMaxMessageBytes;
    enum class Overlong { EndsStream, Dropped };

    explicit StreamCutter(Overlong overlong = Overlong::EndsStream)
        : overlong_(overlong)
    {
    }

    QList<QByteArray> feed(const QByteArray &bytes);
    bool overflowed() const { return pending_.size() > kMaxPending; }
    int pendingBytes() const { return int(pending_.size()); }
    // Messages skipped for their length so far (Overlong::Dropped).
    int droppedMessages() const { return dropped_; }

private:
    QList<QByteArray> feedDropping(const QByteArray &bytes);

    Overlong overlong_;
    QByteArray pending_;
    bool skipping_ = false; // inside a message that is being dropped
    int dropped_ = 0;
};

} // namespace proto
