#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <memory>
#include <string>

// Reading and writing the container's bytes in blocks, with a hook after every block so that a
// user interface can keep handling its messages while a long file is being coded.
namespace packing {

inline constexpr std::size_t BlockSize = 32768;
// A coded block may run a few bytes past the block size before the coder notices that storing
// the block is cheaper; the slack keeps those bytes inside the buffer.
inline constexpr std::size_t BufferSize = BlockSize + 16;

using BlockHook = std::function<void()>;

// The two working buffers of BufferSize bytes: one for input blocks, one for output blocks.
struct IoBuffers
{
    std::unique_ptr<std::uint8_t[]> input;
    std::unique_ptr<std::uint8_t[]> output;

    // Throws ELzrw1Exception with the no-memory text when the buffers cannot be had.
    static IoBuffers allocate();
};

class BlockReader
{
public:
    // errorText is raised for a failing stream and for every short exact read.
    BlockReader(std::istream &in, std::string errorText, BlockHook afterBlock);

    // Reads n bytes of a header field or a chunk; fewer fail.
    void readExactly(std::uint8_t *dst, std::size_t n);
    // Reads a block of up to n bytes (fewer only at the end of the input), then runs the hook.
    std::size_t readBlock(std::uint8_t *dst, std::size_t n);
    // True when no further byte can be read.
    bool atEnd();
    [[noreturn]] void fail() const;

private:
    std::size_t readUpTo(std::uint8_t *dst, std::size_t n);

    std::istream &in_;
    std::string errorText_;
    BlockHook afterBlock_;
};

class BlockWriter
{
public:
    BlockWriter(std::ostream &out, std::string errorText, BlockHook afterBlock);

    // Writes a header field.
    void write(const std::uint8_t *src, std::size_t n);
    // Writes a block, then runs the hook.
    void writeBlock(const std::uint8_t *src, std::size_t n);
    // Pushes everything out of the stream's own buffer, so that a late failure is seen here.
    void flush();
    std::uint64_t bytesWritten() const { return written_; }

private:
    std::ostream &out_;
    std::string errorText_;
    BlockHook afterBlock_;
    std::uint64_t written_ = 0;
};

// Byte-at-a-time input over a BlockReader, a block at a time underneath.
class ByteSource
{
public:
    static constexpr std::uint64_t Unlimited = ~std::uint64_t(0);

    // With a length, exactly that many bytes are expected: an input that ends sooner fails with
    // the reader's error text, and nothing past the length is read. Unlimited reads to the end.
    ByteSource(BlockReader &reader, std::uint8_t *buffer, std::uint64_t length);

    // The next byte, or -1 at the end.
    int next()
    {
        if (pos_ == end_ && !refill())
            return -1;
        return buffer_[pos_++];
    }
    BlockReader &reader() { return reader_; }

private:
    bool refill();

    BlockReader &reader_;
    std::uint8_t *buffer_;
    std::uint64_t remaining_;
    bool exact_;
    std::size_t pos_ = 0;
    std::size_t end_ = 0;
};

// Byte-at-a-time output over a BlockWriter, a block at a time underneath.
class ByteSink
{
public:
    ByteSink(BlockWriter &writer, std::uint8_t *buffer);

    void put(std::uint8_t byte)
    {
        if (fill_ == BlockSize)
            flush();
        buffer_[fill_++] = byte;
    }
    void flush();

private:
    BlockWriter &writer_;
    std::uint8_t *buffer_;
    std::size_t fill_ = 0;
};

} // namespace packing
