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

// Cuts a connection's byte stream at the terminator. Bytes after the last terminator are kept
// for the next read, so a message split across reads arrives whole; a remainder that grows past
// the limit without a terminator marks the stream as overflowing (the connection is hostile or
// broken and is closed by its owner).
class StreamCutter
{
public:
    static constexpr int kMaxPending = 64 * 1024;

    QList<QByteArray> feed(const QByteArray &bytes);
    bool overflowed() const { return pending_.size() > kMaxPending; }
    int pendingBytes() const { return int(pending_.size()); }

private:
    QByteArray pending_;
};

} // namespace proto
