#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>

// LZRW1/KH: one block of up to 32768 bytes in, one chunk out.
//
// A chunk starts with a flag byte. 0x80: the block's bytes follow as they are. 0x40: groups of a
// 16-bit control word (high byte first, one bit per item from the top, 1 = copy or run) and up
// to 16 items: a literal byte; a copy B0 B1 reaching offset B0*16 + B1>>4 (1-4095) bytes back
// for (B1 & 15) + 3 bytes; a run 00 H L V of V repeated H*256 + L + 16 times.
class TLZR
{
public:
    static constexpr std::size_t MaxBlock = 32768;
    // The longest chunk: a stored full block and its flag.
    static constexpr std::size_t MaxChunk = MaxBlock + 1;

    // Allocates the hash table; throws ELzrw1KHCompressor when it cannot.
    TLZR();

    // Codes src[0, n), n <= MaxBlock, into dst, which must hold n + 16 bytes; returns the chunk
    // length (at most n + 1).
    std::size_t Compress(const std::uint8_t *src, std::size_t n, std::uint8_t *dst);

    // Decodes a chunk into dst, which holds MaxBlock bytes; returns the block length, or nothing
    // when the chunk is malformed (an item cut off, a copy reaching before the block, or more than
    // MaxBlock bytes of output).
    static std::optional<std::size_t> Decompress(const std::uint8_t *chunk, std::size_t length,
                                                 std::uint8_t *dst);

private:
    std::unique_ptr<std::uint16_t[]> hash_;
};
