#pragma once

#include "compress/bit_io.h"

// Match positions (0-4095) in the LZHUF stream: the upper 6 bits through a fixed prefix code of
// 3 to 8 bits, then the lower 6 bits as they are.
namespace packing::lzh {

void encodePosition(BitWriter &out, unsigned position);
unsigned decodePosition(BitReader &in);

} // namespace packing::lzh
