#include "compress/bit_io.h"

namespace packing {

void BitWriter::flush()
{
    if (pending_ > 0)
        sink_.put(std::uint8_t(acc_ << (8 - pending_)));
    acc_ = 0;
    pending_ = 0;
}

void BitReader::refill()
{
    const int byte = source_.next();
    if (byte < 0)
        source_.reader().fail();
    acc_ = (acc_ << 8) | std::uint32_t(byte);
    available_ += 8;
}

} // namespace packing
