#pragma once

#include "compress/errors.h"
#include "compress/replacing_file.h"

#include <cstdint>
#include <fstream>
#include <iosfwd>
#include <memory>
#include <string>

// Where an operation reads from and writes to: a named file or a stream the caller supplies.
namespace packing {

// The container's size field is 32 bits wide.
inline constexpr std::uint64_t LargestInput = 0xFFFFFFFFu;

class InputEndpoint
{
public:
    enum class Measure { No, Yes };

    // With Measure::Yes the file's size is taken first (an input too large for the container's
    // size field counts as a size that cannot be had); then the file is opened.
    static InputEndpoint openFile(const std::string &path, const ContainerTexts &texts,
                                  Measure measure);
    // With Measure::Yes the size is what lies between the stream's position and its end.
    static InputEndpoint useStream(std::istream *in, const ContainerTexts &texts, Measure measure);

    std::istream &stream() { return *in_; }
    std::uint64_t size() const { return size_; }

private:
    std::unique_ptr<std::ifstream> file_;
    std::istream *in_ = nullptr;
    std::uint64_t size_ = 0;
};

class OutputEndpoint
{
public:
    static OutputEndpoint createFile(const std::string &path, const ContainerTexts &texts);
    static OutputEndpoint useStream(std::ostream *out, const ContainerTexts &texts);

    std::ostream &stream() { return *out_; }
    // Flushes and, for a file, puts it in place. Without a commit a file output disappears.
    void commit(const ContainerTexts &texts);

private:
    std::unique_ptr<ReplacingFile> file_;
    std::ostream *out_ = nullptr;
};

} // namespace packing
