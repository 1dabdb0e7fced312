// Compression speed (MB/s of uncompressed data) and ratio of the component's two methods beside
// LZ4 and zlib on the same inputs, with every speed also given as a share of LZ4's.
//
// LZRW1/KH is timed twice: its block coder alone (32768-byte blocks in memory), and the whole
// container through in-memory streams. LZH is timed through the container. LZ4 and zlib code
// each input in one piece, as they are normally used.

#include "compress/in_memory.h"
#include "compress/lzrw1kh.h"
#include "compress/tlzrw1.h"
#include "inputs.h"

#include <lz4.h>
#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <sstream>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// Seconds per run of fn: best of several rounds, each long enough to time well.
double secondsPerRun(const std::function<void()> &fn)
{
    double best = 1e9;
    for (int round = 0; round < 3; ++round) {
        int runs = 0;
        const auto start = Clock::now();
        double elapsed = 0;
        do {
            fn();
            ++runs;
            elapsed = std::chrono::duration<double>(Clock::now() - start).count();
        } while (elapsed < 0.2);
        best = std::min(best, elapsed / runs);
    }
    return best;
}

void check(bool ok, const char *what)
{
    if (!ok) {
        std::fprintf(stderr, "round trip failed: %s\n", what);
        std::exit(1);
    }
}

struct Result
{
    const char *method;
    double ratio;
    double packMBs;
    double unpackMBs;
};

// One method: pack and unpack functions over strings.
Result measure(const char *method, const std::string &input,
               const std::function<std::string(const std::string &)> &packFn,
               const std::function<std::string(const std::string &)> &unpackFn)
{
    const std::string packed = packFn(input);
    check(unpackFn(packed) == input, method);
    const double mb = double(input.size()) / 1e6;
    return {method, double(packed.size()) / double(input.size()),
            mb / secondsPerRun([&] { packFn(input); }),
            mb / secondsPerRun([&] { unpackFn(packed); })};
}

std::string lzrwBlocksPack(const std::string &input)
{
    static TLZR coder;
    std::string out;
    std::vector<std::uint8_t> chunk(TLZR::MaxBlock + 16);
    const auto *src = reinterpret_cast<const std::uint8_t *>(input.data());
    for (std::size_t at = 0;; at += TLZR::MaxBlock) {
        const std::size_t n = std::min(TLZR::MaxBlock, input.size() - at);
        const std::size_t length = coder.Compress(src + at, n, chunk.data());
        out += char(length & 0xFF);
        out += char(length >> 8);
        out.append(reinterpret_cast<const char *>(chunk.data()), length);
        if (n < TLZR::MaxBlock)
            return out;
    }
}

std::string lzrwBlocksUnpack(const std::string &packed)
{
    std::string out;
    std::vector<std::uint8_t> block(TLZR::MaxBlock);
    const auto *p = reinterpret_cast<const std::uint8_t *>(packed.data());
    for (std::size_t at = 0; at + 2 <= packed.size();) {
        const std::size_t length = p[at] | p[at + 1] << 8;
        const auto n = TLZR::Decompress(p + at + 2, length, block.data());
        out.append(reinterpret_cast<const char *>(block.data()), *n);
        at += 2 + length;
    }
    return out;
}

std::string containerPack(const std::string &input, TCompressMode mode)
{
    return lzrw1::packBytes(input, mode);
}

std::string containerUnpack(const std::string &packed)
{
    return lzrw1::unpackBytes(packed);
}

std::string lz4Pack(const std::string &input)
{
    std::string out(std::size_t(LZ4_compressBound(int(input.size()))), '\0');
    const int n = LZ4_compress_default(input.data(), out.data(), int(input.size()), int(out.size()));
    out.resize(std::size_t(n));
    return out;
}

std::string zlibPack(const std::string &input, int level)
{
    uLongf n = compressBound(uLong(input.size()));
    std::string out(n, '\0');
    compress2(reinterpret_cast<Bytef *>(out.data()), &n,
              reinterpret_cast<const Bytef *>(input.data()), uLong(input.size()), level);
    out.resize(n);
    return out;
}

void printTable(const std::string &name, std::size_t size, const std::vector<Result> &results)
{
    const Result &lz4 = results.back();
    std::printf("\n%s, %zu bytes\n", name.c_str(), size);
    std::printf("  %-22s %7s %11s %13s %10s %12s\n", "method", "ratio", "pack MB/s",
                "unpack MB/s", "pack/LZ4", "unpack/LZ4");
    for (const Result &r : results) {
        std::printf("  %-22s %6.1f%% %11.1f %13.1f %9.0f%% %11.0f%%\n", r.method, 100 * r.ratio,
                    r.packMBs, r.unpackMBs, 100 * r.packMBs / lz4.packMBs,
                    100 * r.unpackMBs / lz4.unpackMBs);
    }
}

} // namespace

int main()
{
    std::printf("ratio = packed size / input size; speeds in MB/s of input (1 MB = 10^6 bytes)\n");
    for (const BenchInput &input : benchInputs()) {
        const std::string &data = input.data;
        std::vector<Result> results;
        results.push_back(measure("LZRW1/KH blocks", data, lzrwBlocksPack, lzrwBlocksUnpack));
        results.push_back(measure("LZRW1/KH container", data,
                                  [](const std::string &s) { return containerPack(s, TCompressMode::Fast); },
                                  containerUnpack));
        results.push_back(measure("LZH container", data,
                                  [](const std::string &s) { return containerPack(s, TCompressMode::Good); },
                                  containerUnpack));
        for (const int level : {1, 6}) {
            const std::size_t size = data.size();
            results.push_back(measure(level == 1 ? "zlib level 1" : "zlib level 6", data,
                                      [level](const std::string &s) { return zlibPack(s, level); },
                                      [size](const std::string &packed) {
                                          std::string out(size, '\0');
                                          uLongf n = uLongf(size);
                                          uncompress(reinterpret_cast<Bytef *>(out.data()), &n,
                                                     reinterpret_cast<const Bytef *>(packed.data()),
                                                     uLong(packed.size()));
                                          out.resize(n);
                                          return out;
                                      }));
        }
        const std::size_t size = data.size();
        results.push_back(measure("LZ4 (default)", data, lz4Pack, [size](const std::string &packed) {
            std::string out(size, '\0');
            const int n = LZ4_decompress_safe(packed.data(), out.data(), int(packed.size()), int(size));
            out.resize(std::size_t(std::max(n, 0)));
            return out;
        }));
        printTable(input.name, data.size(), results);
    }
    return 0;
}
