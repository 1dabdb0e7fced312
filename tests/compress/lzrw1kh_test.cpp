// The LZRW1/KH block coder on its own: the exact chunks for hand-made blocks, round trips of
// blocks of every awkward size, and chunks that must be refused.

#include "compress/lzrw1kh.h"

#include "support.h"

#include <gtest/gtest.h>

#include <vector>

using testdata::bytes;

namespace {

std::string compressBlock(const std::string &block)
{
    TLZR coder;
    std::vector<std::uint8_t> out(block.size() + 16);
    const std::size_t n = coder.Compress(reinterpret_cast<const std::uint8_t *>(block.data()),
                                         block.size(), out.data());
    return std::string(out.begin(), out.begin() + std::ptrdiff_t(n));
}

std::optional<std::string> decompressChunk(const std::string &chunk)
{
    std::vector<std::uint8_t> out(TLZR::MaxBlock);
    const auto n = TLZR::Decompress(reinterpret_cast<const std::uint8_t *>(chunk.data()),
                                    chunk.size(), out.data());
    if (!n)
        return std::nullopt;
    return std::string(out.begin(), out.begin() + std::ptrdiff_t(*n));
}

} // namespace

TEST(Lzrw1khBlock, CodesHandMadeBlocksExactly)
{
    // An empty block is stored: the flag alone.
    EXPECT_EQ(compressBlock(""), bytes({0x80}));
    // Coding three bytes without repeats would grow them, so they are stored.
    EXPECT_EQ(compressBlock("abc"), bytes({0x80, 'a', 'b', 'c'}));
    // 40 equal bytes: one run item (count 40 - 16 = 0x18) under control word 0x8000.
    EXPECT_EQ(compressBlock(std::string(40, 'x')), bytes({0x40, 0x80, 0x00, 0, 0, 0x18, 'x'}));
    // The longest run is 4095 (stored as 0x0FEF); the byte left over is a literal.
    EXPECT_EQ(compressBlock(std::string(4096, 'a')),
              bytes({0x40, 0x80, 0x00, 0, 0x0F, 0xEF, 'a', 'a'}));
    // Eight literals, then a copy 8 back of length 8 (0x85): the ninth control bit is set.
    EXPECT_EQ(compressBlock("abcdefghabcdefgh"),
              bytes({0x40, 0x00, 0x80, 'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h', 0x00, 0x85}));
    // 17 literals overflow the first group: the second control word (literal, copy) is placed
    // where the 17th item would have gone; the copy is 17 back, length 17 (0x11E).
    const std::string seventeen = "ABCDEFGHIJKLMNOPQ";
    std::string expected = bytes({0x40, 0x00, 0x00}) + seventeen.substr(0, 16)
        + bytes({0x40, 0x00, 'Q', 0x01, 0x1E});
    EXPECT_EQ(compressBlock(seventeen + seventeen), expected);
}

TEST(Lzrw1khBlock, DecodesCopiesRunsAndStoredBlocks)
{
    // A copy one byte back of length 18 repeats the byte before it 18 times.
    EXPECT_EQ(decompressChunk(bytes({0x40, 0x40, 0x00, 'a', 0x00, 0x1F})), std::string(19, 'a'));
    EXPECT_EQ(decompressChunk(bytes({0x40, 0x80, 0x00, 0, 0, 0x18, 'x'})), std::string(40, 'x'));
    EXPECT_EQ(decompressChunk(bytes({0x80, 'a', 'b'})), "ab");
    // Chunks shorter than two bytes hold an empty block, whatever their byte.
    EXPECT_EQ(decompressChunk(""), "");
    EXPECT_EQ(decompressChunk(bytes({0x40})), "");
}

TEST(Lzrw1khBlock, RoundTripsBlocksOfEveryAwkwardSize)
{
    const std::size_t sizes[] = {1, 2, 3, 4, 15, 16, 17, 18, 19, 20, 4095, 4096, 4097, 4113,
                                 20000, 32767, 32768};
    for (const std::size_t n : sizes) {
        const std::string inputs[] = {testdata::randomBytes(n, 1), testdata::text(n, 2),
                                      testdata::runs(n, 3), std::string(n, '\0')};
        for (const std::string &block : inputs) {
            SCOPED_TRACE(n);
            const std::string chunk = compressBlock(block);
            ASSERT_LE(chunk.size(), n + 1);
            EXPECT_EQ(std::uint8_t(chunk[0]) == 0x80, chunk.size() == n + 1);
            EXPECT_EQ(decompressChunk(chunk), block);
        }
    }
}

TEST(Lzrw1khBlock, RefusesMalformedChunks)
{
    const std::string refused[] = {
        bytes({0x40, 0x00}),                        // control word cut off
        bytes({0x40, 0x40, 0x00, 'a', 0x00}),       // copy item cut off
        bytes({0x40, 0x80, 0x00, 0x00, 0x00, 0x01}), // run item cut off
        bytes({0x40, 0x40, 0x00, 'a', 0x00, 0x2F}), // copy reaching before the block
        bytes({0x40, 0x80, 0x00, 0x01, 0x00}),      // copy with nothing before it
    };
    for (const std::string &chunk : refused)
        EXPECT_EQ(decompressChunk(chunk), std::nullopt);

    // Nine runs of 4095 exceed a block: output is never written past 32768 bytes.
    std::string tooLong = bytes({0x40, 0xFF, 0x80});
    for (int i = 0; i < 9; ++i)
        tooLong += bytes({0, 0x0F, 0xEF, 'z'});
    EXPECT_EQ(decompressChunk(tooLong), std::nullopt);
    // A stored chunk longer than a block.
    EXPECT_EQ(decompressChunk(bytes({0x80}) + std::string(TLZR::MaxBlock + 1, 'a')), std::nullopt);
}
