#pragma once

#include "compress/byte_io.h"

#include <cstdint>

// Bit streams packed from the most significant bit of each byte down.
namespace packing {

class BitWriter
{
public:
    explicit BitWriter(ByteSink &sink) : sink_(sink) {}

    // Appends the lowest count bits of value, the highest of them first; count is 0 to 32.
    void put(std::uint32_t value, int count)
    {
        acc_ = (acc_ << count) | (value & ((std::uint64_t(1) << count) - 1));
        pending_ += count;
        while (pending_ >= 8) {
            pending_ -= 8;
            sink_.put(std::uint8_t(acc_ >> pending_));
        }
        acc_ &= (std::uint64_t(1) << pending_) - 1;
    }
    // Writes out a last partial byte, padded with zero bits; no marker follows.
    void flush();

private:
    ByteSink &sink_;
    std::uint64_t acc_ = 0;
    int pending_ = 0;
};

class BitReader
{
public:
    // A bit asked for past the end of the input fails with the source reader's error text: a
    // complete stream never needs one, so the stream was cut short or is corrupt.
    explicit BitReader(ByteSource &source) : source_(source) {}

    int bit()
    {
        if (available_ == 0)
            refill();
        --available_;
        return int((acc_ >> available_) & 1);
    }
    // count bits (0 to 24), the first read the most significant.
    std::uint32_t bits(int count)
    {
        while (available_ < count)
            refill();
        available_ -= count;
        return std::uint32_t(acc_ >> available_) & ((std::uint32_t(1) << count) - 1);
    }

    // True when the input holds nothing past the byte being read (whose unread bits are padding).
    bool atEnd() { return source_.next() < 0; }

private:
    void refill();

    ByteSource &source_;
    // Never 8 or more bits once a read is done: a whole unread byte stays in the source.
    std::uint32_t acc_ = 0;
    int available_ = 0;
};

} // namespace packing
