// Any bytes at all, unpacked as a container: either the data comes out at exactly the size the
// header announces, or the component fails with one of its own texts. Anything else (another
// exception, a crash, a sanitizer report, a hang) is a finding.

#include "compress/errors.h"
#include "compress/tlzrw1.h"

#include <cstdint>
#include <cstdlib>
#include <set>
#include <sstream>
#include <string>

namespace {

// Counts what is written and keeps none of it.
struct CountingBuffer : std::streambuf
{
    std::uint64_t count = 0;
    std::streamsize xsputn(const char *, std::streamsize n) override
    {
        count += std::uint64_t(n);
        return n;
    }
    int_type overflow(int_type c) override
    {
        ++count;
        return traits_type::not_eof(c);
    }
};

const std::set<std::string> &expectedTexts()
{
    static const std::set<std::string> texts = {
        packing::Lzrw1SizeMismatchText,
        packing::LzhSizeMismatchText,
        packing::ContainerTexts::forStreams().readError,
        packing::ContainerTexts::forStreams().noValidHeader,
    };
    return texts;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    std::istringstream in(std::string(reinterpret_cast<const char *>(data), size));
    CountingBuffer counter;
    std::ostream out(&counter);
    Tlzrw1 c;
    c.UseStream = true;
    c.InputStream = &in;
    c.OutputStream = &out;
    try {
        const std::uint64_t written = c.Decompress();
        const std::uint64_t announced = std::uint64_t(data[4]) | std::uint64_t(data[5]) << 8
            | std::uint64_t(data[6]) << 16 | std::uint64_t(data[7]) << 24;
        if (written != counter.count || written != announced)
            std::abort();
    } catch (const ELzrw1Exception &e) {
        if (!expectedTexts().count(e.what()))
            std::abort();
    }
    return 0;
}
