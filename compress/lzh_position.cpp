#include "compress/lzh_position.h"

#include <array>
#include <cstdint>

namespace packing::lzh {

namespace {

// Code lengths and codes (left-aligned in a byte) for the upper 6 bits of a position.
constexpr std::array<std::uint8_t, 64> CodeLength = {
    3, 4, 4, 4, 5, 5, 5, 5, 5, 5, 5, 5, 6, 6, 6, 6,
    6, 6, 6, 6, 6, 6, 6, 6, 7, 7, 7, 7, 7, 7, 7, 7,
    7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7,
    8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8,
};
constexpr std::array<std::uint8_t, 64> Code = {
    0x00, 0x20, 0x30, 0x40, 0x50, 0x58, 0x60, 0x68,
    0x70, 0x78, 0x80, 0x88, 0x90, 0x94, 0x98, 0x9C,
    0xA0, 0xA4, 0xA8, 0xAC, 0xB0, 0xB4, 0xB8, 0xBC,
    0xC0, 0xC2, 0xC4, 0xC6, 0xC8, 0xCA, 0xCC, 0xCE,
    0xD0, 0xD2, 0xD4, 0xD6, 0xD8, 0xDA, 0xDC, 0xDE,
    0xE0, 0xE2, 0xE4, 0xE6, 0xE8, 0xEA, 0xEC, 0xEE,
    0xF0, 0xF1, 0xF2, 0xF3, 0xF4, 0xF5, 0xF6, 0xF7,
    0xF8, 0xF9, 0xFA, 0xFB, 0xFC, 0xFD, 0xFE, 0xFF,
};

// For every value of the next 8 bits of the stream: which upper 6 bits it starts with, and how
// long that code is. The code is prefix-free and complete, so every byte value has one entry.
struct DecodeTable
{
    std::array<std::uint8_t, 256> upper{};
    std::array<std::uint8_t, 256> length{};
};

constexpr DecodeTable makeDecodeTable()
{
    DecodeTable table;
    for (unsigned upper = 0; upper < 64; ++upper) {
        const unsigned span = 1u << (8 - CodeLength[upper]);
        for (unsigned b = Code[upper]; b < Code[upper] + span; ++b) {
            table.upper[b] = std::uint8_t(upper);
            table.length[b] = CodeLength[upper];
        }
    }
    return table;
}

constexpr DecodeTable Decode = makeDecodeTable();

} // namespace

void encodePosition(BitWriter &out, unsigned position)
{
    const unsigned upper = (position >> 6) & 0x3F;
    out.put(Code[upper] >> (8 - CodeLength[upper]), CodeLength[upper]);
    out.put(position & 0x3F, 6);
}

unsigned decodePosition(BitReader &in)
{
    const unsigned first = in.bits(8);
    const unsigned length = Decode.length[first];
    // Eight bits are in hand; the code plus the 6 plain bits make length + 6.
    const unsigned rest = in.bits(int(length) - 2);
    const unsigned low = ((first << (length - 2)) | rest) & 0x3F;
    return unsigned(Decode.upper[first]) << 6 | low;
}

} // namespace packing::lzh
