// When memory runs out, every operation ends in the component's own memory texts and classes,
// whichever of its allocations fails. This program replaces the global allocator so that the
// k-th allocation of a working-size block fails.

#include "compress/errors.h"
#include "compress/tlzrw1.h"

#include "support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <new>
#include <sstream>

namespace {

constexpr std::size_t WorkingSize = 4096; // the buffers and tables; not the small strings
bool armed = false;
int allocationsLeft = 0;

} // namespace

namespace {

void *allocate(std::size_t n) noexcept
{
    if (armed && n >= WorkingSize && allocationsLeft-- == 0)
        return nullptr;
    return std::malloc(n ? n : 1);
}

void *allocateOrThrow(std::size_t n)
{
    if (void *p = allocate(n))
        return p;
    throw std::bad_alloc();
}

} // namespace

// Every form of new and delete goes through malloc and free, so that a sanitizer sees them pair.
void *operator new(std::size_t n) { return allocateOrThrow(n); }
void *operator new[](std::size_t n) { return allocateOrThrow(n); }
void *operator new(std::size_t n, const std::nothrow_t &) noexcept { return allocate(n); }
void *operator new[](std::size_t n, const std::nothrow_t &) noexcept { return allocate(n); }
// The compiler cannot see that the replaced operator new above hands out malloc's memory.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wpragmas"
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void operator delete(void *p) noexcept { std::free(p); }
void operator delete[](void *p) noexcept { std::free(p); }
void operator delete(void *p, std::size_t) noexcept { std::free(p); }
void operator delete[](void *p, std::size_t) noexcept { std::free(p); }
void operator delete(void *p, const std::nothrow_t &) noexcept { std::free(p); }
void operator delete[](void *p, const std::nothrow_t &) noexcept { std::free(p); }
#pragma GCC diagnostic pop

namespace {

// Output into memory taken before the allocator is armed.
struct FixedBuffer : std::streambuf
{
    explicit FixedBuffer(std::string &storage) { setp(storage.data(), storage.data() + storage.size()); }
    std::size_t used() const { return std::size_t(pptr() - pbase()); }
};

// Runs the operation with the k-th working allocation failing, k = 0, 1, ... until it succeeds;
// returns "class: text" for each failure seen.
std::map<std::string, int> failuresOf(bool compress, TCompressMode mode, const std::string &input,
                                      const std::string &expected)
{
    std::map<std::string, int> seen;
    for (int k = 0;; ++k) {
        std::istringstream in(input);
        std::string storage(input.size() * 2 + 64000, '\0');
        FixedBuffer buffer(storage);
        std::ostream out(&buffer);
        Tlzrw1 c;
        c.UseStream = true;
        c.InputStream = &in;
        c.OutputStream = &out;
        c.CompressMode = mode;
        std::string failure;
        armed = true;
        allocationsLeft = k;
        try {
            compress ? c.Compress() : c.Decompress();
        } catch (const ELzrw1Exception &e) {
            failure = std::string("ELzrw1Exception: ") + e.what();
        } catch (const ELzrw1KHCompressor &e) {
            failure = std::string("ELzrw1KHCompressor: ") + e.what();
        } catch (const ElzhException &e) {
            failure = std::string("ElzhException: ") + e.what();
        } catch (const std::exception &e) {
            failure = std::string("other: ") + e.what();
        }
        armed = false;
        if (failure.empty()) {
            EXPECT_TRUE(storage.substr(0, buffer.used()) == expected);
            return seen;
        }
        ++seen[failure];
        if (k > 20) {
            ADD_FAILURE() << "never succeeds";
            return seen;
        }
    }
}

const std::string Buffers = std::string("ELzrw1Exception: ") + packing::NoBufferMemoryText;
const std::string Hash = std::string("ELzrw1KHCompressor: ") + packing::NoHashMemoryText;
const std::string Tables = std::string("ElzhException: ") + packing::NoLzhMemoryText;

} // namespace

TEST(MemoryFailure, EndsInTheComponentsTexts)
{
    const std::string data = testdata::text(50000, 31);
    const std::string fast = testdata::pack(data, TCompressMode::Fast);
    const std::string good = testdata::pack(data, TCompressMode::Good);
    using Seen = std::map<std::string, int>;
    EXPECT_EQ(failuresOf(true, TCompressMode::Fast, data, fast), (Seen{{Buffers, 2}, {Hash, 1}}));
    EXPECT_EQ(failuresOf(true, TCompressMode::Good, data, good), (Seen{{Buffers, 2}, {Tables, 1}}));
    EXPECT_EQ(failuresOf(false, TCompressMode::Fast, fast, data), (Seen{{Buffers, 2}}));
    EXPECT_EQ(failuresOf(false, TCompressMode::Fast, good, data), (Seen{{Buffers, 2}, {Tables, 1}}));
}
