#include "compress/lzh_huffman.h"

#include <algorithm>

namespace packing::lzh {

AdaptiveHuffman::AdaptiveHuffman()
{
    for (int i = 0; i < Symbols; ++i) {
        freq_[i] = 1;
        son_[i] = i + Nodes;
        parent_[i + Nodes] = i;
    }
    for (int i = 0, j = Symbols; j <= Root; i += 2, ++j) {
        freq_[j] = freq_[i] + freq_[i + 1];
        son_[j] = i;
        parent_[i] = parent_[i + 1] = j;
    }
    freq_[Nodes] = 0xFFFF;
    parent_[Root] = 0;
}

int AdaptiveHuffman::encode(BitWriter &out, unsigned symbol)
{
    // Walk from the leaf up to the root, then send the bits root first. A rarely seen symbol
    // can sit more than 16 levels deep, so the path is not squeezed into a 16-bit word.
    std::array<std::uint8_t, Nodes> path;
    int length = 0;
    for (int node = parent_[symbol + Nodes]; node != Root; node = parent_[node])
        path[length++] = std::uint8_t(node & 1);
    const int codeLength = length;
    while (length > 0) {
        const int chunk = std::min(length, 32);
        std::uint32_t bits = 0;
        for (int i = 0; i < chunk; ++i)
            bits = bits << 1 | path[--length];
        out.put(bits, chunk);
    }
    update(symbol);
    return codeLength;
}

unsigned AdaptiveHuffman::decode(BitReader &in)
{
    int node = son_[Root];
    while (node < Nodes)
        node = son_[node + in.bit()];
    const unsigned symbol = unsigned(node - Nodes);
    update(symbol);
    return symbol;
}

int AdaptiveHuffman::codeLength(unsigned symbol) const
{
    int length = 0;
    for (int node = parent_[symbol + Nodes]; node != Root; node = parent_[node])
        ++length;
    return length;
}

void AdaptiveHuffman::rebuild()
{
    // Gather the leaves at the front, halving their counts (rounding up, so none drops to 0).
    int leaves = 0;
    for (int i = 0; i < Nodes; ++i) {
        if (son_[i] >= Nodes) {
            freq_[leaves] = (freq_[i] + 1) / 2;
            son_[leaves] = son_[i];
            ++leaves;
        }
    }
    // Join the two lowest unjoined nodes into a new node, inserted where its count keeps the
    // table in ascending order.
    for (int i = 0, j = Symbols; j < Nodes; i += 2, ++j) {
        const std::uint32_t f = freq_[i] + freq_[i + 1];
        int k = j - 1;
        while (f < freq_[k])
            --k;
        ++k;
        std::copy_backward(freq_.begin() + k, freq_.begin() + j, freq_.begin() + j + 1);
        freq_[k] = f;
        std::copy_backward(son_.begin() + k, son_.begin() + j, son_.begin() + j + 1);
        son_[k] = i;
    }
    for (int i = 0; i < Nodes; ++i) {
        const int k = son_[i];
        if (k >= Nodes)
            parent_[k] = i;
        else
            parent_[k] = parent_[k + 1] = i;
    }
}

void AdaptiveHuffman::update(unsigned symbol)
{
    if (freq_[Root] == MaxFrequency)
        rebuild();
    int c = parent_[symbol + Nodes];
    do {
        const std::uint32_t k = ++freq_[c];
        // Keep counts ascending: move the node past every node it now outweighs.
        if (k > freq_[c + 1]) {
            int l = c + 1;
            while (k > freq_[l + 1])
                ++l;
            freq_[c] = freq_[l];
            freq_[l] = k;

            const int i = son_[c];
            parent_[i] = l;
            if (i < Nodes)
                parent_[i + 1] = l;

            const int j = son_[l];
            son_[l] = i;
            parent_[j] = c;
            if (j < Nodes)
                parent_[j + 1] = c;
            son_[c] = j;

            c = l;
        }
        c = parent_[c];
    } while (c != 0);
}

} // namespace packing::lzh
