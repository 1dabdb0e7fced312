#include "compress/byte_io.h"

#include "compress/errors.h"

#include <istream>
#include <new>
#include <ostream>

namespace packing {

IoBuffers IoBuffers::allocate()
{
    IoBuffers buffers;
    buffers.input.reset(new (std::nothrow) std::uint8_t[BufferSize]());
    buffers.output.reset(new (std::nothrow) std::uint8_t[BufferSize]());
    if (!buffers.input || !buffers.output)
        throw ELzrw1Exception(NoBufferMemoryText);
    return buffers;
}

BlockReader::BlockReader(std::istream &in, std::string errorText, BlockHook afterBlock)
    : in_(in), errorText_(std::move(errorText)), afterBlock_(std::move(afterBlock))
{
}

void BlockReader::fail() const
{
    throw ELzrw1Exception(errorText_);
}

std::size_t BlockReader::readUpTo(std::uint8_t *dst, std::size_t n)
{
    if (n == 0)
        return 0;
    in_.read(reinterpret_cast<char *>(dst), std::streamsize(n));
    // A stream that merely ran out sets eof and fail; bad means the device itself failed.
    if (in_.bad())
        fail();
    return std::size_t(in_.gcount());
}

void BlockReader::readExactly(std::uint8_t *dst, std::size_t n)
{
    if (readUpTo(dst, n) != n)
        fail();
}

std::size_t BlockReader::readBlock(std::uint8_t *dst, std::size_t n)
{
    const std::size_t got = readUpTo(dst, n);
    if (afterBlock_)
        afterBlock_();
    return got;
}

bool BlockReader::atEnd()
{
    if (!in_.good())
        return true;
    const bool end = in_.peek() == std::istream::traits_type::eof();
    if (in_.bad())
        fail();
    return end;
}

BlockWriter::BlockWriter(std::ostream &out, std::string errorText, BlockHook afterBlock)
    : out_(out), errorText_(std::move(errorText)), afterBlock_(std::move(afterBlock))
{
}

void BlockWriter::write(const std::uint8_t *src, std::size_t n)
{
    if (n == 0)
        return;
    out_.write(reinterpret_cast<const char *>(src), std::streamsize(n));
    if (!out_)
        throw ELzrw1Exception(errorText_);
    written_ += n;
}

void BlockWriter::writeBlock(const std::uint8_t *src, std::size_t n)
{
    write(src, n);
    if (afterBlock_)
        afterBlock_();
}

void BlockWriter::flush()
{
    if (!out_.flush())
        throw ELzrw1Exception(errorText_);
}

ByteSource::ByteSource(BlockReader &reader, std::uint8_t *buffer, std::uint64_t length)
    : reader_(reader), buffer_(buffer), remaining_(length), exact_(length != Unlimited)
{
}

bool ByteSource::refill()
{
    const std::size_t want = remaining_ < BlockSize ? std::size_t(remaining_) : BlockSize;
    if (want == 0)
        return false;
    const std::size_t got = reader_.readBlock(buffer_, want);
    if (exact_) {
        if (got < want)
            reader_.fail();
        remaining_ -= got;
    } else if (got < want) {
        remaining_ = 0;
    }
    pos_ = 0;
    end_ = got;
    return got > 0;
}

ByteSink::ByteSink(BlockWriter &writer, std::uint8_t *buffer) : writer_(writer), buffer_(buffer) {}

void ByteSink::flush()
{
    if (fill_ == 0)
        return;
    writer_.writeBlock(buffer_, fill_);
    fill_ = 0;
}

} // namespace packing
