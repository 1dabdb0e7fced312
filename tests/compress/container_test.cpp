// The container: its layout, round trips in file and stream mode, choosing a method, and what
// the user reads when something goes wrong.

#include "compress/errors.h"
#include "compress/tlzrw1.h"

#include "support.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace testdata;
namespace fs = std::filesystem;

namespace {

Tlzrw1 onFiles(const fs::path &in, const fs::path &out, TCompressMode mode = TCompressMode::Fast)
{
    Tlzrw1 c;
    c.InputFile = in.string();
    c.OutputFile = out.string();
    c.CompressMode = mode;
    return c;
}

Tlzrw1 onStreams(std::istream *in, std::ostream *out)
{
    Tlzrw1 c;
    c.UseStream = true;
    c.InputStream = in;
    c.OutputStream = out;
    return c;
}

std::uint16_t chunkLengthAt(const std::string &container, std::size_t offset)
{
    return std::uint16_t(std::uint8_t(container[offset]) | std::uint8_t(container[offset + 1]) << 8);
}

} // namespace

TEST(Container, FastLayout)
{
    EXPECT_EQ(pack("", TCompressMode::Fast), "WRZL" + bytes({0, 0, 0, 0, 1, 0, 0x80}));

    // A full block is followed by a chunk for the empty block after it.
    const std::string packed = pack(text(32768, 1), TCompressMode::Fast);
    ASSERT_EQ(packed.substr(0, 8), "WRZL" + bytes({0x00, 0x80, 0, 0}));
    const std::size_t first = chunkLengthAt(packed, 8);
    EXPECT_LT(first, 32768u);
    EXPECT_EQ(packed.substr(10 + first), bytes({1, 0, 0x80}));
}

TEST(Container, RoundTripsInStreamMode)
{
    const std::size_t sizes[] = {0, 1, 2, 3, 17, 4096, 32767, 32768, 32769, 65536, 100000, 300000};
    for (const std::size_t n : sizes) {
        const std::string inputs[] = {randomBytes(n, 4), text(n, 5), runs(n, 6)};
        for (const std::string &input : inputs) {
            for (const TCompressMode mode : {TCompressMode::Fast, TCompressMode::Good}) {
                SCOPED_TRACE(testing::Message() << n << " bytes, mode " << int(mode));
                const std::string packed = pack(input, mode);
                EXPECT_EQ(packed.substr(0, 4), mode == TCompressMode::Fast ? "WRZL" : "!HZL");
                EXPECT_TRUE(unpack(packed) == input);
            }
        }
    }
}

TEST(Container, RoundTripsInFileModeAndReportsBytesWritten)
{
    TempDir dir;
    for (const std::size_t n : {0, 1, 32767, 32768, 32769, 100000}) {
        for (const TCompressMode mode : {TCompressMode::Fast, TCompressMode::Good}) {
            SCOPED_TRACE(testing::Message() << n << " bytes, mode " << int(mode));
            const std::string input = text(n - n / 4, 7) + randomBytes(n / 4, 8);
            writeFile(dir / "in", input);
            Tlzrw1 packer = onFiles(dir / "in", dir / "packed", mode);
            const std::uint64_t written = packer.Compress();
            EXPECT_EQ(written, fs::file_size(dir / "packed"));
            Tlzrw1 unpacker = onFiles(dir / "packed", dir / "out");
            EXPECT_EQ(unpacker.Decompress(), input.size());
            EXPECT_TRUE(readFile(dir / "out") == input);
        }
    }
    // Packing a file onto itself works: the result replaces the input only when complete.
    writeFile(dir / "self", text(50000, 9));
    onFiles(dir / "self", dir / "self").Compress();
    onFiles(dir / "self", dir / "self").Decompress();
    EXPECT_EQ(readFile(dir / "self"), text(50000, 9));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 4);
}

TEST(Container, AdviseSamplesTheBlocksAtOneAndTwoThirds)
{
    const auto advise = [](const std::string &input, int threshold = 40) {
        std::istringstream in(input);
        in.seekg(3);
        Tlzrw1 c = onStreams(&in, nullptr);
        c.Threshold = threshold;
        const TCompressMode mode = c.Advise();
        EXPECT_EQ(in.tellg(), 3); // the stream is left where it was
        return mode;
    };
    const std::string block = std::string(32768, 'r');
    const std::string noise = randomBytes(32768, 10);
    // Up to 98303 bytes (counted from the stream's position): always Good.
    EXPECT_EQ(advise("abc" + std::string(98303, 'a')), TCompressMode::Good);
    // Six blocks: the samples are blocks 2 and 4 (counted from 0).
    EXPECT_EQ(advise("abc" + noise + noise + block + noise + block + noise), TCompressMode::Fast);
    EXPECT_EQ(advise("abc" + block + block + noise + block + noise + block), TCompressMode::Good);
    EXPECT_EQ(advise("abc" + text(300000, 11), 0), TCompressMode::Good);

    // Auto packs with what Advise chose.
    EXPECT_EQ(pack(std::string(200000, 'r'), TCompressMode::Auto).substr(0, 4), "WRZL");
    EXPECT_EQ(pack(randomBytes(200000, 12), TCompressMode::Auto).substr(0, 4), "!HZL");
}

TEST(Container, FileFailuresLeaveNoOutput)
{
    TempDir dir;
    const std::string in = (dir / "in").string(), out = (dir / "out").string();
    const auto decompress = [&] { onFiles(in, out).Decompress(); };

    writeFile(in, "WRZM" + pack("hello", TCompressMode::Fast).substr(4));
    EXPECT_THROW_TEXT(decompress(), ELzrw1Exception,
                      in + " : Lzrw1 decompression : this file has no valid header !");
    EXPECT_FALSE(fs::exists(out));

    // Size fields that disagree with the data: the output is removed, and an earlier file of
    // that name survives untouched.
    writeFile(out, "earlier");
    std::string wrongSize = pack(text(70000, 13), TCompressMode::Fast);
    wrongSize[4] ^= 1;
    writeFile(in, wrongSize);
    EXPECT_THROW_TEXT(decompress(), ELzrw1Exception,
                      "Lzrw1 (decompression LZRW1/KH) : Original and compressed sizes do not match !");
    // LZH: a size too large runs the stream dry (a read error), one too small leaves data over.
    wrongSize = pack(text(70000, 13), TCompressMode::Good);
    wrongSize[4] = char(wrongSize[4] - 1);
    writeFile(in, wrongSize);
    EXPECT_THROW_TEXT(decompress(), ELzrw1Exception,
                      "Lzrw1 (LZH decompression) : Original and compressed sizes do not match !");
    EXPECT_EQ(readFile(out), "earlier");
    fs::remove(out);

    const std::string truncated = pack(text(70000, 14), TCompressMode::Fast);
    for (const std::size_t keep : {std::size_t(2), std::size_t(6), std::size_t(9), truncated.size() - 1}) {
        writeFile(in, truncated.substr(0, keep));
        EXPECT_THROW_TEXT(decompress(), ELzrw1Exception, "Lzrw1 : Error reading from input file : " + in);
    }
    EXPECT_THROW_TEXT(onFiles(dir.path(), out).Decompress(), ELzrw1Exception,
                      "Lzrw1 : Error reading from input file : " + dir.path().string());

    const std::string missing = (dir / "missing").string();
    EXPECT_THROW_TEXT(onFiles(missing, out).Compress(), ELzrw1Exception,
                      "Lzrw1 compression : Failed to obtain the size of : " + missing);
    EXPECT_THROW_TEXT(onFiles(missing, out).Decompress(), ELzrw1Exception,
                      "Lzrw1 (de)compression : Failed to open input file : " + missing);
    const std::string nowhere = (dir / "no-folder" / "out").string();
    EXPECT_THROW_TEXT(onFiles(in, nowhere).Compress(), ELzrw1Exception,
                      "Lzrw1 (de)compression : Failed to open output file : " + nowhere);
    // The size field has 32 bits: a larger input is refused before anything is written.
    fs::resize_file(in, 0x100000000);
    EXPECT_THROW_TEXT(onFiles(in, out).Compress(), ELzrw1Exception,
                      "Lzrw1 compression : Failed to obtain the size of : " + in);
    writeFile(in, text(100000, 15));
    EXPECT_THROW_TEXT(onFiles(in, "/dev/full").Compress(), ELzrw1Exception,
                      "Lzrw1 : Error writing to output file : /dev/full");
    EXPECT_FALSE(fs::exists(out));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
}

namespace {

// A stream buffer that cannot seek (a pipe) or that refuses to take bytes (a full disk).
struct PipeBuffer : std::stringbuf
{
    using std::stringbuf::stringbuf;
    pos_type seekoff(off_type, std::ios::seekdir, std::ios::openmode) override { return -1; }
};
struct FullDiskBuffer : std::streambuf
{
    int_type overflow(int_type) override { return traits_type::eof(); }
};

} // namespace

TEST(Container, StreamFailuresUseTheStreamTexts)
{
    std::istringstream in("data");
    std::ostringstream out;
    EXPECT_THROW_TEXT(onStreams(nullptr, &out).Compress(), ELzrw1Exception,
                      "Lzrw1 (de)compression : Failed to initialize input stream !");
    EXPECT_THROW_TEXT(onStreams(&in, nullptr).Decompress(), ELzrw1Exception,
                      "Lzrw1 (de)compression : Failed to initialize output stream !");

    PipeBuffer pipe("data");
    std::istream pipeIn(&pipe);
    EXPECT_THROW_TEXT(onStreams(&pipeIn, &out).Compress(), ELzrw1Exception,
                      "Lzrw1 compression : Failed to obtain the size of the input stream !");

    FullDiskBuffer full;
    std::ostream fullOut(&full);
    EXPECT_THROW_TEXT(onStreams(&in, &fullOut).Compress(), ELzrw1Exception,
                      "Lzrw1 : Error writing to output stream !");

    std::istringstream wrongTag("LZRW\0\0\0\0");
    EXPECT_THROW_TEXT(onStreams(&wrongTag, &out).Decompress(), ELzrw1Exception,
                      "Lzrw1 decompression : input stream contains no valid header !");
    std::istringstream cut(pack(text(1000, 16), TCompressMode::Good).substr(0, 20));
    EXPECT_THROW_TEXT(onStreams(&cut, &out).Decompress(), ELzrw1Exception,
                      "Lzrw1 : Error reading from input stream !");
}

TEST(Container, LetsTheInterfaceRunAfterEveryBlockEvenIntoANestedCall)
{
    TempDir dir;
    const std::string outer = text(100000, 17), inner = runs(40000, 18);
    writeFile(dir / "outer", outer);
    writeFile(dir / "inner", inner);
    Tlzrw1 c = onFiles(dir / "outer", dir / "outer.packed");
    int calls = 0;
    c.ProcessMessages = [&] {
        // The first call packs another file with the same component, as a user could by
        // clicking while the first one runs.
        if (++calls == 1) {
            Tlzrw1 &same = c;
            same.InputFile = (dir / "inner").string();
            same.OutputFile = (dir / "inner.packed").string();
            same.Compress();
        }
    };
    c.Compress();
    // Four blocks read and four chunks written for the outer file, two and two for the inner.
    EXPECT_GE(calls, 12);
    for (const std::string name : {"outer", "inner"}) {
        Tlzrw1 d = onFiles(dir / (name + ".packed"), dir / (name + ".out"));
        d.Decompress();
        EXPECT_TRUE(readFile(dir / (name + ".out")) == readFile(dir / name));
    }
}
