#pragma once

#include <stdexcept>
#include <string>

// Failures of the container level: opening, reading, writing, headers, sizes.
class ELzrw1Exception : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// The LZRW1/KH coder could not get its hash table.
class ELzrw1KHCompressor : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// The LZH coder could not get (or give back) its dictionary tables.
class ElzhException : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

namespace packing {

inline constexpr const char *NoBufferMemoryText =
    "Lzrw1 (de)compression : Failed to get memory for I/O buffers !";
inline constexpr const char *Lzrw1SizeMismatchText =
    "Lzrw1 (decompression LZRW1/KH) : Original and compressed sizes do not match !";
inline constexpr const char *LzhSizeMismatchText =
    "Lzrw1 (LZH decompression) : Original and compressed sizes do not match !";
inline constexpr const char *NoHashMemoryText = "LZRW1KH : no memory for HASH table";
inline constexpr const char *NoLzhMemoryText = "LZH : Cannot get memory for dictionary tables";
// Giving memory back cannot fail in C++, so nothing raises this text; it stays listed with its
// siblings because it belongs to the component's set of messages.
inline constexpr const char *LzhFreeErrorText = "LZH : Error freeing memory for dictionary tables";

// The texts that depend on whether the component works on named files or on caller's streams.
struct ContainerTexts
{
    std::string sizeUnknown;     // the input's size cannot be determined
    std::string openInput;       // the input cannot be opened / the input stream is unusable
    std::string openOutput;      // the output cannot be created / the output stream is unusable
    std::string readError;       // a short read of a header field or a chunk, or a failing read
    std::string readBlockError;  // reading a block to be coded with LZRW1/KH fails
    std::string writeError;      // fewer bytes written than asked
    std::string noValidHeader;   // the container does not start with a known method tag

    static ContainerTexts forFiles(const std::string &inputPath, const std::string &outputPath);
    static ContainerTexts forStreams();
};

} // namespace packing
