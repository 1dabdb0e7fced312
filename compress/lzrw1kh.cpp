#include "compress/lzrw1kh.h"

#include "compress/errors.h"

#include <algorithm>
#include <bit>
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

// How many bytes a and b have in common from the start, at most limit. Eight at a time where it
// can, without reading past limit.
std::size_t commonPrefix(const std::uint8_t *a, const std::uint8_t *b, std::size_t limit)
{
    std::size_t count = 0;
    if constexpr (std::endian::native == std::endian::little) {
        for (; count + 8 <= limit; count += 8) {
            std::uint64_t x, y;
            std::memcpy(&x, a + count, 8);
            std::memcpy(&y, b + count, 8);
            if (x != y)
                return count + std::size_t(std::countr_zero(x ^ y) / 8);
        }
    }
    while (count < limit && a[count] == b[count])
        ++count;
    return count;
}

std::size_t runLength(const std::uint8_t *src, std::size_t pos, std::size_t n)
{
    const std::size_t limit = std::min(n - pos, MaxRun);
    if (limit < 2 || src[pos + 1] != src[pos])
        return 1;
    // Each byte equal to the one before it, compared as a shifted copy.
    return 1 + commonPrefix(src + pos + 1, src + pos, limit - 1);
}

std::size_t matchLength(const std::uint8_t *src, std::size_t candidate, std::size_t pos,
                        std::size_t n)
{
    return commonPrefix(src + candidate, src + pos, std::min(n - pos, MaxCopy));
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
    while (in < length) {
        if (length - in < 2)
            return std::nullopt;
        // The group's control word, its first item's bit on top; a chunk may end right after it.
        std::uint16_t bits = std::uint16_t(chunk[in] << 8 | chunk[in + 1]);
        in += 2;
        for (int item = 0; item < ItemsPerGroup && in < length;) {
            if ((bits & 0x8000) == 0) {
                // The literals up to the next copy or run (or the chunk's end) in one move.
                const std::size_t literals = std::min<std::size_t>(
                    std::min(std::countl_zero(bits), ItemsPerGroup - item), length - in);
                if (literals > MaxBlock - out)
                    return std::nullopt;
                if (length - in >= 16 && MaxBlock - out >= 16)
                    std::memcpy(dst + out, chunk + in, 16); // bytes past the literals are overwritten later
                else
                    std::memcpy(dst + out, chunk + in, literals);
                out += literals;
                in += literals;
                item += int(literals);
                bits = std::uint16_t(bits << literals);
                continue;
            }
            ++item;
            bits = std::uint16_t(bits << 1);
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
            const std::uint8_t *from = dst + out - offset;
            std::uint8_t *to = dst + out;
            if (offset >= 8 && MaxBlock - out >= 24) {
                // Eight at a time: each piece's source lies wholly before it. The last piece may
                // write a few bytes past the copy, into room the next items overwrite.
                std::memcpy(to, from, 8);
                std::memcpy(to + 8, from + 8, 8);
                if (count > 16)
                    std::memcpy(to + 16, from + 16, 8);
            } else {
                // Byte by byte: the source may overlap the bytes being produced.
                for (std::size_t k = 0; k < count; ++k)
                    to[k] = from[k];
            }
            out += count;
            in += 2;
        }
    }
    return out;
}
