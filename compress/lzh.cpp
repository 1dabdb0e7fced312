#include "compress/lzh.h"

#include "compress/errors.h"
#include "compress/lzh_huffman.h"
#include "compress/lzh_matcher.h"
#include "compress/lzh_position.h"

#include <algorithm>
#include <memory>
#include <new>

using namespace packing;
using namespace packing::lzh;

namespace {

// Symbols 256 and up stand for match lengths Threshold + 1 and up.
constexpr unsigned FirstLengthSymbol = 256 - (Threshold + 1); // symbol = this + match length
constexpr int RingMask = RingSize - 1;

template<typename Tables>
std::unique_ptr<Tables> allocateTables()
{
    std::unique_ptr<Tables> tables(new (std::nothrow) Tables());
    if (!tables)
        throw ElzhException(NoLzhMemoryText);
    return tables;
}

struct EncoderTables
{
    AdaptiveHuffman huffman;
    LzssMatcher matcher;
};

struct DecoderTables
{
    AdaptiveHuffman huffman;
    std::array<std::uint8_t, RingSize> ring{};
};

} // namespace

void TLZH::Encode(ByteSource &source, std::uint64_t length, BitWriter &out)
{
    longestCode_ = 0;
    if (length == 0)
        return;
    const auto tables = allocateTables<EncoderTables>();
    AdaptiveHuffman &huffman = tables->huffman;
    LzssMatcher &matcher = tables->matcher;
    std::uint8_t *ring = matcher.ring();

    int s = 0;              // the oldest place, overwritten by the next input byte
    int r = FirstPosition;  // the place being coded
    int ahead = 0;          // bytes in the look-ahead
    for (int c; ahead < LookAhead && (c = source.next()) >= 0; ++ahead)
        ring[r + ahead] = std::uint8_t(c);
    for (int i = 1; i <= LookAhead; ++i)
        matcher.insert(r - i);
    matcher.insert(r);

    do {
        int taken = std::min(matcher.matchLength(), ahead);
        if (taken <= Threshold) {
            taken = 1;
            longestCode_ = std::max(longestCode_, huffman.encode(out, ring[r]));
        } else {
            longestCode_ = std::max(longestCode_,
                                    huffman.encode(out, FirstLengthSymbol + unsigned(taken)));
            encodePosition(out, unsigned(matcher.matchPosition()));
        }
        int i = 0;
        for (int c; i < taken && (c = source.next()) >= 0; ++i) {
            matcher.remove(s);
            matcher.store(s, std::uint8_t(c));
            s = (s + 1) & RingMask;
            r = (r + 1) & RingMask;
            matcher.insert(r);
        }
        // The input has ended: the look-ahead shrinks instead of being refilled.
        for (; i < taken; ++i) {
            matcher.remove(s);
            s = (s + 1) & RingMask;
            r = (r + 1) & RingMask;
            if (--ahead)
                matcher.insert(r);
        }
    } while (ahead > 0);
    out.flush();
}

void TLZH::Decode(BitReader &in, std::uint64_t size, ByteSink &sink)
{
    if (size == 0)
        return;
    const auto tables = allocateTables<DecoderTables>();
    AdaptiveHuffman &huffman = tables->huffman;
    std::array<std::uint8_t, RingSize> &ring = tables->ring;
    std::fill_n(ring.begin(), FirstPosition, std::uint8_t(' '));

    int r = FirstPosition;
    std::uint64_t produced = 0;
    while (produced < size) {
        const unsigned symbol = huffman.decode(in);
        if (symbol < 256) {
            sink.put(std::uint8_t(symbol));
            ring[r] = std::uint8_t(symbol);
            r = (r + 1) & RingMask;
            ++produced;
            continue;
        }
        const int from = (r - int(decodePosition(in)) - 1) & RingMask;
        const unsigned count = symbol - FirstLengthSymbol;
        if (count > size - produced)
            throw ELzrw1Exception(LzhSizeMismatchText);
        for (unsigned k = 0; k < count; ++k) {
            const std::uint8_t byte = ring[(from + int(k)) & RingMask];
            sink.put(byte);
            ring[r] = byte;
            r = (r + 1) & RingMask;
        }
        produced += count;
    }
    // The coder writes nothing after the last code but padding: more bytes mean the size field
    // is smaller than the data.
    if (!in.atEnd())
        throw ELzrw1Exception(LzhSizeMismatchText);
}
