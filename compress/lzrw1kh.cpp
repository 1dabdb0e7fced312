#include "compress/lzrw1kh.h"

#include "compress/errors.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {

constexpr std::uint8_t FlagCompressed = 0x40;
constexpr std::uint8_t FlagStored = 0x80;
constexpr std::size_t HashSize = 4096;
constexpr std::uint16_t NoPosition = 0xFFFF;
constexpr std::size_t MinRun = 16;
constexpr std::size_t MaxRun = 4095;
constexpr std::size_t MinCopy = 3;
constexpr std::size_t MaxCopy = 18;
constexpr std::size_t Window = 4096;
constexpr int ItemsPerGroup = 16;

std::size_t hashOf(const std::uint8_t *p)
{
    const std::uint32_t key = ((std::uint32_t(p[0]) << 4 ^ p[1]) << 4) ^ p[2];
    return ((key * 40543u) >> 4) & (HashSize - 1);
}

std::size_t runLength(const std::uint8_t *src, std::size_t pos, std::size_t n)
{
    const std::size_t limit = std::min(n - pos, MaxRun);
    std::size_t count = 1;
    while (count < limit && src[pos + count] == src[pos])
        ++count;
    return count;
}

std::size_t matchLength(const std::uint8_t *src, std::size_t candidate, std::size_t pos,
                        std::size_t n)
{
    const std::size_t limit = std::min(n - pos, MaxCopy);
    std::size_t count = 0;
    while (count < limit && src[candidate + count] == src[pos + count])
        ++count;
    return count;
}

} // namespace

TLZR::TLZR() : hash_(new (std::nothrow) std::uint16_t[HashSize])
{
    if (!hash_)
        throw ELzrw1KHCompressor(packing::NoHashMemoryText);
}

std::size_t TLZR::Compress(const std::uint8_t *src, std::size_t n, std::uint8_t *dst)
{
    std::fill_n(hash_.get(), HashSize, NoPosition);
    dst[0] = FlagCompressed;
    std::size_t control = 1; // where the current control word goes
    std::size_t out = 3;
    std::uint32_t bits = 0;
    int items = 0;
    std::size_t pos = 0;

    while (pos < n && out <= n) {
        if (items == ItemsPerGroup) {
            dst[control] = std::uint8_t(bits >> 8);
            dst[control + 1] = std::uint8_t(bits);
            control = out;
            out += 2;
            bits = 0;
            items = 0;
        }
        ++items;
        bits <<= 1;

        if (const std::size_t run = runLength(src, pos, n); run >= MinRun) {
            const std::size_t stored = run - MinRun;
            dst[out] = 0;
            dst[out + 1] = std::uint8_t(stored >> 8);
            dst[out + 2] = std::uint8_t(stored);
            dst[out + 3] = src[pos];
            out += 4;
            pos += run;
            bits |= 1;
            continue;
        }
        // Fewer than three bytes left cannot make a copy; the hash would only read past the block.
        if (n - pos >= MinCopy) {
            std::uint16_t &slot = hash_[hashOf(src + pos)];
            const std::uint16_t candidate = slot;
            slot = std::uint16_t(pos);
            if (candidate != NoPosition && pos - candidate < Window) {
                if (const std::size_t length = matchLength(src, candidate, pos, n);
                    length >= MinCopy) {
                    const std::size_t key = (pos - candidate) << 4 | (length - MinCopy);
                    dst[out] = std::uint8_t(key >> 8);
                    dst[out + 1] = std::uint8_t(key);
                    out += 2;
                    pos += length;
                    bits |= 1;
                    continue;
                }
            }
        }
        dst[out++] = src[pos++];
    }
    bits <<= ItemsPerGroup - items;
    dst[control] = std::uint8_t(bits >> 8);
    dst[control + 1] = std::uint8_t(bits);

    if (out > n) {
        dst[0] = FlagStored;
        std::memcpy(dst + 1, src, n);
        out = n + 1;
    }
    return out;
}

std::optional<std::size_t> TLZR::Decompress(const std::uint8_t *chunk, std::size_t length,
                                            std::uint8_t *dst)
{
    if (length < 2)
        return 0;
    if (length > MaxChunk)
        return std::nullopt;
    if (chunk[0] == FlagStored) {
        std::memcpy(dst, chunk + 1, length - 1);
        return length - 1;
    }

    std::size_t in = 1;
    std::size_t out = 0;
    std::uint32_t bits = 0;
    int items = 0;
    while (in < length) {
        if (items == 0) {
            if (length - in < 2)
                return std::nullopt;
            bits = std::uint32_t(chunk[in]) << 8 | chunk[in + 1];
            in += 2;
            items = ItemsPerGroup;
            // A chunk may end right after a control word: that group holds no items.
            if (in == length)
                break;
        }
        const bool isLiteral = (bits & 0x8000) == 0;
        bits <<= 1;
        --items;

        if (isLiteral) {
            if (out == MaxBlock)
                return std::nullopt;
            dst[out++] = chunk[in++];
            continue;
        }
        if (length - in < 2)
            return std::nullopt;
        const std::size_t offset = std::size_t(chunk[in]) << 4 | chunk[in + 1] >> 4;
        if (offset == 0) {
            if (length - in < 4)
                return std::nullopt;
            const std::size_t count = (std::size_t(chunk[in + 1] & 0x0F) << 8 | chunk[in + 2]) + MinRun;
            if (count > MaxBlock - out)
                return std::nullopt;
            std::memset(dst + out, chunk[in + 3], count);
            out += count;
            in += 4;
            continue;
        }
        const std::size_t count = (chunk[in + 1] & 0x0F) + MinCopy;
        if (offset > out || count > MaxBlock - out)
            return std::nullopt;
        // Byte by byte: the source may overlap the bytes being produced.
        const std::uint8_t *from = dst + out - offset;
        for (std::size_t k = 0; k < count; ++k)
            dst[out + k] = from[k];
        out += count;
        in += 2;
    }
    return out;
}
