// Containers that anyone could have damaged or crafted: every one ends in one of the
// component's texts, without reading or writing out of bounds and without output beyond the
// size the header announces.

#include "compress/errors.h"
#include "compress/in_memory.h"
#include "compress/tlzrw1.h"

#include "support.h"

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <sstream>

using namespace testdata;

namespace {

const std::string ReadError = "Lzrw1 : Error reading from input stream !";
const std::string Lzrw1Mismatch =
    "Lzrw1 (decompression LZRW1/KH) : Original and compressed sizes do not match !";
const std::string LzhMismatch =
    "Lzrw1 (LZH decompression) : Original and compressed sizes do not match !";
const std::string NoHeader = "Lzrw1 decompression : input stream contains no valid header !";

struct Outcome
{
    std::string error; // empty: decoded
    std::size_t written = 0;
};

Outcome tryUnpack(const std::string &container)
{
    std::istringstream in(container);
    std::ostringstream out;
    Tlzrw1 c;
    c.UseStream = true;
    c.InputStream = &in;
    c.OutputStream = &out;
    Outcome outcome;
    try {
        c.Decompress();
    } catch (const ELzrw1Exception &e) {
        outcome.error = e.what();
    }
    outcome.written = out.str().size();
    return outcome;
}

std::string header(const char *tag, std::uint32_t size)
{
    return tag + bytes({int(size & 0xFF), int(size >> 8 & 0xFF), int(size >> 16 & 0xFF), int(size >> 24)});
}

} // namespace

TEST(HostileInput, CraftedContainersEndInTheComponentsTexts)
{
    // LZH claiming 4 GB with a stream of two bytes: the stream runs dry long before.
    Outcome o = tryUnpack(header("!HZL", 0xFFFFFFFF) + bytes({0xE6, 0x80}));
    EXPECT_EQ(o.error, ReadError);
    EXPECT_LT(o.written, 100u);
    // An LZH match running past the announced size (60 blanks announced as 59).
    EXPECT_EQ(tryUnpack(header("!HZL", 59) + bytes({0xC5, 0x1D, 0x80})).error, LzhMismatch);

    // A chunk longer than any block can code to.
    EXPECT_EQ(tryUnpack(header("WRZL", 5) + bytes({0xFF, 0xFF}) + std::string(65535, 'a')).error,
              Lzrw1Mismatch);
    // A malformed chunk.
    EXPECT_EQ(tryUnpack(header("WRZL", 19) + bytes({6, 0, 0x40, 0x40, 0x00, 'a', 0x00, 0x2F})).error,
              Lzrw1Mismatch);
    // A chunk decoding to more than the header announced is not written at all.
    o = tryUnpack(header("WRZL", 10) + bytes({7, 0, 0x40, 0x80, 0x00, 0, 0, 0x18, 'x'}));
    EXPECT_EQ(o.error, Lzrw1Mismatch);
    EXPECT_EQ(o.written, 0u);
    // 4 GB announced, one full block of runs, then nothing.
    std::string runsChunk = bytes({0x40, 0xFF, 0x00});
    for (int i = 0; i < 8; ++i)
        runsChunk += bytes({0, 0x0F, 0xF0, 'z'});
    o = tryUnpack(header("WRZL", 0xFFFFFFFF) + bytes({int(runsChunk.size()), 0}) + runsChunk);
    EXPECT_EQ(o.error, ReadError);
    EXPECT_EQ(o.written, 32768u);
    // Data after the last (short) chunk is not part of the container.
    EXPECT_EQ(tryUnpack(pack("abc", TCompressMode::Fast) + "junk").error, "");
}

TEST(HostileInput, DamagedContainersNeverCrashOrOverrun)
{
    const std::set<std::string> allowed = {"", ReadError, Lzrw1Mismatch, LzhMismatch, NoHeader};
    std::vector<std::string> originals;
    for (const TCompressMode mode : {TCompressMode::Fast, TCompressMode::Good}) {
        originals.push_back(pack(text(40000, 21), mode));
        originals.push_back(pack(runs(70000, 22), mode));
        originals.push_back(pack(randomBytes(300, 23), mode));
    }
    std::mt19937 rng(24);
    for (int round = 0; round < 1500; ++round) {
        std::string damaged = originals[rng() % originals.size()];
        const int edits = 1 + int(rng() % 4);
        for (int e = 0; e < edits; ++e) {
            const std::size_t at = rng() % damaged.size();
            switch (rng() % 4) {
            case 0: damaged[at] = char(rng()); break;
            case 1: damaged.resize(at); break;
            case 2: damaged.insert(at, randomBytes(1 + rng() % 8, rng())); break;
            default: damaged[4 + rng() % 4] = char(rng()); break; // the size field
            }
            if (damaged.empty())
                break;
        }
        SCOPED_TRACE(round);
        const Outcome o = tryUnpack(damaged);
        EXPECT_TRUE(allowed.count(o.error)) << o.error;
        if (damaged.size() >= 8) {
            const std::uint32_t size = std::uint8_t(damaged[4]) | std::uint8_t(damaged[5]) << 8
                | std::uint8_t(damaged[6]) << 16 | std::uint32_t(std::uint8_t(damaged[7])) << 24;
            EXPECT_LE(o.written, size);
        }
    }
}

TEST(HostileInput, AContainerAnnouncingMoreThanTheCallerTakesIsRefusedBeforeDecoding)
{
    TempDir dir;
    const std::string path = (dir / "big.tld").string();
    const std::string readError = "Lzrw1 : Error reading from input file : " + path;
    // 4 GB announced; the chunks behind the header really decode to 64 full blocks of runs.
    std::string runsChunk = bytes({0x40, 0xFF, 0x00});
    for (int i = 0; i < 8; ++i)
        runsChunk += bytes({0, 0x0F, 0xF0, 'z'});
    std::string container = header("WRZL", 0xFFFFFFFF);
    for (int block = 0; block < 64; ++block)
        container += bytes({int(runsChunk.size()), 0}) + runsChunk;
    writeFile(dir / "big.tld", container);
    try {
        lzrw1::unpackFile(path, 1 << 20);
        ADD_FAILURE() << "a 4 GB container was taken";
    } catch (const ELzrw1Exception &e) {
        EXPECT_EQ(e.what(), readError);
    }

    // Up to the limit the container is decoded, and its failures name the file.
    writeFile(dir / "ok.tld", pack(std::string(1000, 'q'), TCompressMode::Fast));
    EXPECT_EQ(lzrw1::unpackFile((dir / "ok.tld").string(), 1000), std::string(1000, 'q'));
    EXPECT_THROW(lzrw1::unpackFile((dir / "ok.tld").string(), 999), ELzrw1Exception);
    writeFile(dir / "cut.tld", pack(text(5000, 3), TCompressMode::Fast).substr(0, 300));
    try {
        lzrw1::unpackFile((dir / "cut.tld").string(), 1 << 20);
        ADD_FAILURE() << "a truncated container was taken";
    } catch (const ELzrw1Exception &e) {
        EXPECT_EQ(e.what(), "Lzrw1 : Error reading from input file : " + (dir / "cut.tld").string());
    }
}
