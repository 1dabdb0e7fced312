#include "compress/in_memory.h"
#include "support.h"

#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <stdexcept>
#include <stdlib.h>

namespace testdata {

std::string randomBytes(std::size_t n, std::uint32_t seed)
{
    std::mt19937 rng(seed);
    std::string s(n, '\0');
    for (char &c : s)
        c = char(rng());
    return s;
}

std::string text(std::size_t n, std::uint32_t seed)
{
    static const char *const words[] = {"alpha", "brave", "cider", "delta", "eagle", "fable",
                                        "giant", "house", "ivory", "joker", "knife", "lemon",
                                        "You", "won", "lost", "games", "round", "score"};
    static const char *const gaps[] = {" ", " ", " ", ", ", ".\r\n", "\t", " - "};
    std::mt19937 rng(seed);
    std::string s;
    while (s.size() < n) {
        s += words[rng() % std::size(words)];
        s += gaps[rng() % std::size(gaps)];
        if (rng() % 9 == 0)
            s += std::to_string(rng() % 1000);
    }
    s.resize(n);
    return s;
}

std::string runs(std::size_t n, std::uint32_t seed)
{
    std::mt19937 rng(seed);
    std::string s;
    while (s.size() < n)
        s.append(1 + rng() % 5000, char(rng() % 4));
    s.resize(n);
    return s;
}

std::string bytes(std::initializer_list<int> values)
{
    std::string s;
    for (int v : values)
        s += char(v);
    return s;
}

std::string readFile(const std::filesystem::path &path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path.string());
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void writeFile(const std::filesystem::path &path, const std::string &data)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(data.data(), std::streamsize(data.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path.string());
}

TempDir::TempDir()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "vrel-compress-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempDir::~TempDir()
{
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

std::string pack(const std::string &data, TCompressMode mode)
{
    return lzrw1::packBytes(data, mode);
}

std::string unpack(const std::string &container)
{
    return lzrw1::unpackBytes(container);
}

} // namespace testdata
