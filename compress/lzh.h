#pragma once

#include "compress/bit_io.h"
#include "compress/byte_io.h"

#include <cstdint>

// LZH: the LZHUF coding (LZSS over a 4096-byte window, adaptive Huffman codes for bytes and match
// lengths, fixed codes for match positions) of a whole input as one bit stream. The stream
// carries no length of its own; the container's size field tells the decoder when to stop.
// Each operation gets its tables when it starts and gives them back when it ends.
class TLZH
{
public:
    // Codes exactly length bytes from source. An empty input gives no bits at all; otherwise the
    // last partial byte is padded with zero bits.
    void Encode(packing::ByteSource &source, std::uint64_t length, packing::BitWriter &out);

    // Decodes size bytes into sink. A stream that runs out first fails with the input's read
    // error text; a match running past size, or stream bytes left over after it, fail with the
    // LZH size-mismatch text.
    void Decode(packing::BitReader &in, std::uint64_t size, packing::ByteSink &sink);

    // The longest Huffman code the last Encode wrote, in bits. Rare symbols after long skewed
    // inputs get codes of more than 16 bits.
    int LongestCode() const { return longestCode_; }

private:
    int longestCode_ = 0;
};
