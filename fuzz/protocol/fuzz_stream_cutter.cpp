// A byte stream cut into messages, in reads of one size, by both kinds of cutter; then each
// message's fields read by a field reader in an order the message itself picks.
//
// Byte 0 picks the read size, byte 1 how often the rest is repeated (so that a small input can
// make messages past the length limit). What the cutters give must equal the stream split at
// every terminator:
// - the host's cutter (overlong messages dropped) gives every complete message within the limit,
//   counts the others, and keeps only a remainder within the limit;
// - the client's cutter gives every complete message until its remainder outgrows the limit.

#include "protocol/fields.h"
#include "protocol/wire.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace {

using proto::StreamCutter;

constexpr int kReadSizes[16] = {1, 2, 3, 5, 8, 13, 64, 255, 1000, 4096, 32768, 65535, 65536, 65537, 100000, 1 << 30};

void require(bool condition)
{
    if (!condition)
        std::abort();
}

// The fields of a message read in the order its verb's bytes pick: the reader must never read
// outside the data, and once it failed it stays failed.
void readFields(const QByteArray &line)
{
    const proto::VerbAndData message = proto::splitVerb(line);
    proto::FieldReader reader(message.data);
    int n = 0;
    QByteArray text;
    std::optional<int> number;
    std::optional<QByteArray> optionalText;
    for (const char op : message.verb) {
        switch (std::uint8_t(op) % 9) {
        case 0: reader.seat(n); break;
        case 1: reader.number(n); break;
        case 2: reader.text(text); break;
        case 3: reader.rest(text); break;
        case 4: reader.restBeforeEnd(text); break;
        case 5: reader.ignored(0); break;
        case 6: reader.optional(number); break;
        case 7: reader.optional(optionalText); break;
        default: reader.end(); break;
        }
    }
    if (!reader.complete()) {
        reader.rest(text);
        reader.end();
        require(!reader.complete());
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 2)
        return 0;
    const int repeats = 1 + data[1];
    const QByteArray body(reinterpret_cast<const char *>(data + 2), qsizetype(size - 2));
    const QByteArray stream = body.repeated(repeats);
    // Tiny reads of a long stream would only make the run slow.
    const qsizetype readSize = std::max<qsizetype>(kReadSizes[data[0] % 16], stream.size() / 2000);

    QList<QByteArray> parts = stream.split(proto::kTerminator);
    const QByteArray remainder = parts.takeLast();
    QList<QByteArray> withinLimit;
    int overlong = 0;
    for (const QByteArray &part : parts) {
        if (part.size() > StreamCutter::kMaxPending)
            ++overlong;
        else
            withinLimit << part;
    }
    const bool remainderOverlong = remainder.size() > StreamCutter::kMaxPending;

    StreamCutter host(StreamCutter::Overlong::Dropped);
    StreamCutter client;
    QList<QByteArray> fromHost;
    QList<QByteArray> fromClient;
    for (qsizetype at = 0; at < stream.size(); at += readSize) {
        const QByteArray read = stream.mid(at, readSize);
        fromHost += host.feed(read);
        if (!client.overflowed())
            fromClient += client.feed(read);
    }

    require(fromHost == withinLimit);
    require(host.droppedMessages() == overlong + (remainderOverlong ? 1 : 0));
    require(host.pendingBytes() == (remainderOverlong ? 0 : remainder.size()));
    require(!host.overflowed());
    require(fromClient == parts.mid(0, fromClient.size()));
    if (!client.overflowed()) {
        require(fromClient == parts);
        require(client.pendingBytes() == remainder.size());
    }

    for (const QByteArray &line : fromHost.mid(0, 64))
        readFields(line);
    return 0;
}
