#pragma once

#include "compress/bit_io.h"

#include <array>
#include <cstdint>

namespace packing::lzh {

inline constexpr int Threshold = 2;         // matches are longer than this
inline constexpr int LookAhead = 60;        // the longest match
inline constexpr int Symbols = 256 - Threshold + LookAhead; // bytes, then lengths 3 to 60

// The adaptive Huffman code of the LZHUF stream: 314 symbols, all counted once at the start;
// after each symbol its count goes up and the tree is reordered, and when the total reaches
// 0x8000 every count is halved and the tree rebuilt. Coder and decoder stay in step because both
// update after every symbol.
class AdaptiveHuffman
{
public:
    AdaptiveHuffman();

    // Returns the length of the code written, in bits.
    int encode(BitWriter &out, unsigned symbol);
    unsigned decode(BitReader &in);
    // The current code length of a symbol, in bits.
    int codeLength(unsigned symbol) const;

private:
    static constexpr int Nodes = Symbols * 2 - 1;
    static constexpr int Root = Nodes - 1;
    static constexpr std::uint32_t MaxFrequency = 0x8000;

    void update(unsigned symbol);
    void rebuild();

    // freq_[Nodes] is a sentinel larger than any count.
    std::array<std::uint32_t, Nodes + 1> freq_;
    // parent_[node] for nodes; parent_[Nodes + symbol] is the node of a symbol's leaf.
    std::array<int, Nodes + Symbols> parent_;
    // son_[node]: the first of two children (the other is son_ + 1), or Nodes + symbol for a leaf.
    std::array<int, Nodes> son_;
};

} // namespace packing::lzh
