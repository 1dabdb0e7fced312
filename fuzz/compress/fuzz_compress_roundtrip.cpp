// Arbitrary data packed with LZRW1/KH or LZH and unpacked again must come back unchanged.
// The first byte picks the method and how often the rest is repeated (with a twist each time),
// so that small fuzz inputs also reach many blocks and the LZH tree's rebuilding.

#include "compress/tlzrw1.h"

#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    const TCompressMode mode = data[0] & 1 ? TCompressMode::Good : TCompressMode::Fast;
    const int repeats = 1 + (data[0] >> 1 & 0x1F);
    const std::string payload(reinterpret_cast<const char *>(data + 1), size - 1);
    std::string input;
    for (int r = 0; r < repeats; ++r) {
        for (const char byte : payload)
            input += char(byte ^ (r & data[0] >> 6 ? r : 0));
    }

    std::istringstream plain(input);
    std::stringstream packed;
    Tlzrw1 c;
    c.UseStream = true;
    c.CompressMode = mode;
    c.InputStream = &plain;
    c.OutputStream = &packed;
    c.Compress();

    std::stringstream unpacked;
    c.InputStream = &packed;
    c.OutputStream = &unpacked;
    c.Decompress();
    if (unpacked.str() != input)
        std::abort();
    return 0;
}
