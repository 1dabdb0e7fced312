#pragma once

#include <QByteArray>
#include <QList>

#include <optional>

// The message format shared by host and clients: "CMD_" verb, "+", fields separated by "+",
// ended by the terminator byte 0xFF. Nothing is escaped.
namespace wire {

constexpr char kTerminator = '\xFF';
constexpr char kSeparator = '+';

// Verb and data of a received line: the verb is the text before the first "+", the data
// everything after it. A line without "+" has an empty verb.
struct VerbAndData {
    QByteArray verb;
    QByteArray data;
};
VerbAndData splitVerb(const QByteArray &line);

// A decimal number as the handlers read it: optional "-", digits, within 32 bits.
std::optional<int> toNumber(const QByteArray &text);

// Reads fields from the left of a message's data: a field is the text before the next "+",
// and everything up to and including that "+" is consumed. When no "+" is left the field is
// empty and nothing is consumed; a last field without a trailing "+" is read with rest().
class FieldReader
{
public:
    explicit FieldReader(QByteArray data)
        : data_(std::move(data))
    {
    }
    QByteArray next();
    std::optional<int> nextNumber() { return toNumber(next()); }
    const QByteArray &rest() const { return data_; }
    bool atEnd() const { return data_.isEmpty(); }

private:
    QByteArray data_;
};

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

} // namespace wire
