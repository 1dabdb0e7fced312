// Arbitrary data packed with LZRW1/KH or LZH and unpacked again must come back unchanged.
// The first byte picks the method (bit 0), how often the rest is repeated (bits 1-5), and
// whether each repetition is scrambled with its own noise (bit 7) so that a small fuzz input can
// also stand for a large, hardly compressible one: many blocks, and enough LZH codes for the
// code tree to be rebuilt.

#include "compress/in_memory.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    const TCompressMode mode = data[0] & 1 ? TCompressMode::Good : TCompressMode::Fast;
    const int repeats = 1 + (data[0] >> 1 & 0x1F);
    const bool scrambled = data[0] & 0x80;
    std::string input;
    for (int r = 0; r < repeats; ++r) {
        std::uint32_t noise = std::uint32_t(r) * 2654435761u + 1;
        for (std::size_t i = 1; i < size; ++i) {
            noise = noise * 1664525u + 1013904223u;
            input += char(data[i] ^ (scrambled ? noise >> 24 : 0));
        }
    }

    if (lzrw1::unpackBytes(lzrw1::packBytes(input, mode)) != input)
        std::abort();
    return 0;
}
