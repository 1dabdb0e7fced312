#pragma once

#include "compress/tlzrw1.h"

#include <cstdint>
#include <filesystem>
#include <string>

// Inputs, files and one-call packing shared by the compression tests.
namespace testdata {

std::string randomBytes(std::size_t n, std::uint32_t seed);
// Words and punctuation, the way a tally or a word list looks.
std::string text(std::size_t n, std::uint32_t seed);
// Runs of equal bytes of many lengths, 1 to 5000.
std::string runs(std::size_t n, std::uint32_t seed);
std::string bytes(std::initializer_list<int> values);

std::string readFile(const std::filesystem::path &path);
void writeFile(const std::filesystem::path &path, const std::string &data);

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempDir
{
public:
    TempDir();
    ~TempDir();
    std::filesystem::path operator/(const std::string &name) const { return path_ / name; }
    const std::filesystem::path &path() const { return path_; }

private:
    std::filesystem::path path_;
};

// Stream-mode Compress and Decompress on strings.
std::string pack(const std::string &data, TCompressMode mode);
std::string unpack(const std::string &container);

} // namespace testdata

// Expects statement to throw exactly ExceptionType with message text.
#define EXPECT_THROW_TEXT(statement, ExceptionType, text)                                        \
    do {                                                                                         \
        try {                                                                                    \
            statement;                                                                           \
            ADD_FAILURE() << "no exception, expected: " << (text);                               \
        } catch (const ExceptionType &e) {                                                       \
            EXPECT_EQ(std::string(e.what()), std::string(text));                                 \
        }                                                                                        \
    } while (false)
