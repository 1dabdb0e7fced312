#pragma once

#include "compress/lzh_huffman.h"

#include <array>
#include <cstdint>

namespace packing::lzh {

inline constexpr int RingSize = 4096;
// Where the first input byte goes; the places before it start as blanks.
inline constexpr int FirstPosition = RingSize - LookAhead;

// The coder's window: a ring of 4096 bytes and, for every place in it, a node in one of 256
// binary search trees (one per first byte) that finds the longest earlier string matching the
// look-ahead. The ring is followed by a copy of its first LookAhead - 1 bytes so that a string
// may be compared across the wrap without masking.
//
// What stands in the ring decides which of several equal matches is found, so its contents
// follow the published coder exactly: blanks before FirstPosition and zeros after it at the
// start, the copy written only while a byte goes to one of the first LookAhead - 1 places, and
// nothing written once the input has ended (comparisons then see whatever stayed behind).
class LzssMatcher
{
public:
    LzssMatcher();

    std::uint8_t *ring() { return ring_.data(); }
    // Stores an input byte at position (keeping the copy past the ring's end).
    void store(int position, std::uint8_t byte)
    {
        ring_[position] = byte;
        if (position < LookAhead - 1)
            ring_[position + RingSize] = byte;
    }
    // Adds the string at position to its tree and finds the longest match for it.
    void insert(int position);
    // Takes the string at position out of its tree.
    void remove(int position);

    int matchLength() const { return matchLength_; }
    // Distance back to the match, less one (0 means the byte just before).
    int matchPosition() const { return matchPosition_; }

private:
    static constexpr int Nil = RingSize;

    std::array<std::uint8_t, RingSize + LookAhead - 1> ring_{};
    std::array<int, RingSize + 1> left_;
    std::array<int, RingSize + 257> right_; // RingSize + 1 + b is the root for first byte b
    std::array<int, RingSize + 1> parent_;
    int matchLength_ = 0;
    int matchPosition_ = 0;
};

} // namespace packing::lzh
