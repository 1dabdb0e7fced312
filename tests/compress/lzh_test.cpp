// The LZH method: containers written by the classic LZHUF program, streams worked out by hand
// from the coding rules, and codes longer than 16 bits.

#include "compress/lzh.h"

#include "support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <random>
#include <sstream>

using namespace testdata;

namespace {

const std::string LzhTag = "!HZL";

std::string lzhContainer(std::uint32_t size, const std::string &stream)
{
    return LzhTag + bytes({int(size & 0xFF), int(size >> 8 & 0xFF), int(size >> 16 & 0xFF),
                           int(size >> 24)})
        + stream;
}

} // namespace

TEST(Lzh, MatchesTheClassicProgramBothWays)
{
    int vectors = 0;
    for (const auto &entry : std::filesystem::directory_iterator(VREL_LZHUF_VECTORS)) {
        if (entry.path().extension() != ".bin")
            continue;
        SCOPED_TRACE(entry.path().filename().string());
        const std::string input = readFile(entry.path());
        const std::string classic = readFile(std::filesystem::path(entry.path()).replace_extension(".container"));
        EXPECT_EQ(pack(input, TCompressMode::Good), classic);
        EXPECT_EQ(unpack(classic), input);
        ++vectors;
    }
    EXPECT_GE(vectors, 4);
}

TEST(Lzh, WorkedOutStreams)
{
    // No input: the size and not a single stream byte.
    EXPECT_EQ(pack("", TCompressMode::Good), lzhContainer(0, ""));

    // "A" (symbol 65): in the starting tree the 314 leaves pair up in order, node 314 + i/2 over
    // leaves i and i+1, and so on up to the root 626. From the root down to leaf 65 the path
    // runs 625, 623, 619, 610, 592, 557, 487, 346, 65, taking the odd (1) or even (0) node:
    // 1 1 1 0 0 1 1 0 1, nine bits, padded with zeros: E6 80.
    EXPECT_EQ(pack("A", TCompressMode::Good), lzhContainer(1, bytes({0xE6, 0x80})));

    // 60 blanks match the blanks that fill the window. Each of the 60 strings entered before the
    // first byte equals its neighbour over the whole look-ahead, so it replaces it in the tree;
    // the one left is 60 places back: a match of length 60 at position 59.
    // Symbol 253 + 60 = 313 has the starting code 1 1 0 0 0 1 0 1; position 59 is upper bits 0
    // (code 0 0 0) and lower bits 1 1 1 0 1 1: C5 1D 80.
    EXPECT_EQ(pack(std::string(60, ' '), TCompressMode::Good),
              lzhContainer(60, bytes({0xC5, 0x1D, 0x80})));
    for (const std::string &input : {std::string("A"), std::string(60, ' ')})
        EXPECT_EQ(unpack(pack(input, TCompressMode::Good)), input);
}

namespace {

// Matches of lengths 3 to 11 with counts growing like the Fibonacci numbers make the code tree
// lopsided: once every byte of the opening literals has been halved back to a count of one, a
// byte never seen before sits 18 levels deep. Each match is made to be exactly as long as
// intended by never letting the bytes copied plus the next byte occur earlier in the window.
std::string inputWithDeepCodes()
{
    std::mt19937 rng(7);
    std::string d;
    for (int i = 0; i < 4000; ++i)
        d += char(rng() % 200);
    std::vector<int> lengths;
    long count = 240;
    for (int length = 3; length <= 11; ++length, count = count * 1618 / 1000)
        lengths.insert(lengths.end(), std::size_t(count), length);

    std::size_t previousStart = 0, previousLength = 0;
    int matches = 0, unseen = 0;
    for (int cycle = 0; cycle < 4; ++cycle) {
        std::shuffle(lengths.begin(), lengths.end(), rng);
        for (const int length : lengths) {
            std::size_t from;
            for (;;) {
                from = d.size() - 4000 + rng() % (4000 - length);
                if (previousLength == 0)
                    break;
                const std::string extended = d.substr(previousStart, previousLength) + d[from];
                const std::size_t windowStart = previousStart > 4095 ? previousStart - 4095 : 0;
                if (!memmem(d.data() + windowStart, d.size() - windowStart, extended.data(),
                            extended.size()))
                    break;
            }
            previousStart = d.size();
            previousLength = std::size_t(length);
            d += d.substr(from, std::size_t(length));
            if (++matches % 1000 == 0) {
                d += char(200 + unseen++ % 56); // a byte not in the window: a literal
                previousLength = 0;
            }
        }
    }
    return d;
}

} // namespace

TEST(Lzh, CodesLongerThan16BitsStayCorrect)
{
    const std::string input = inputWithDeepCodes();
    std::istringstream in(input);
    std::ostringstream coded;
    {
        std::vector<std::uint8_t> inBuffer(packing::BufferSize), outBuffer(packing::BufferSize);
        packing::BlockReader reader(in, "read", {});
        packing::BlockWriter writer(coded, "write", {});
        packing::ByteSource source(reader, inBuffer.data(), input.size());
        packing::ByteSink sink(writer, outBuffer.data());
        packing::BitWriter bits(sink);
        TLZH coder;
        coder.Encode(source, input.size(), bits);
        sink.flush();
        ASSERT_GT(coder.LongestCode(), 16);
    }
    EXPECT_TRUE(unpack(lzhContainer(std::uint32_t(input.size()), coded.str())) == input);
}
