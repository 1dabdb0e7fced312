#include "inputs.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <set>

namespace fs = std::filesystem;

namespace {

std::string readAll(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string prose()
{
    std::string text;
    std::error_code ec;
    for (const auto &entry : fs::directory_iterator("/usr/share/common-licenses", ec)) {
        if (entry.is_regular_file() && !entry.is_symlink())
            text += readAll(entry.path());
    }
    return text;
}

// The records the program carries, or records made the same way (0x1E, the word in capitals
// padded to 14 with blanks, sorted) from the system's word list when they are not built yet.
std::string dictionaryRecords()
{
    const std::string carried = readAll(fs::path(VREL_SOURCE_DIR) / "resources/dictionary/English.records");
    if (!carried.empty())
        return carried;
    std::set<std::string> words;
    std::ifstream in("/usr/share/dict/words");
    for (std::string line; std::getline(in, line);) {
        if (line.size() < 2 || !std::all_of(line.begin(), line.end(), [](unsigned char c) { return std::isalpha(c); }))
            continue;
        std::string word;
        for (const unsigned char c : line.substr(0, 14))
            word += char(std::toupper(c));
        words.insert(word);
    }
    std::string records;
    for (const std::string &word : words)
        records += '\x1E' + word + std::string(14 - word.size(), ' ');
    return records;
}

} // namespace

std::vector<BenchInput> benchInputs()
{
    std::mt19937 rng(1);
    std::string random(1 << 20, '\0');
    for (char &c : random)
        c = char(rng());
    return {
        {"text (licence texts)", prose()},
        {"dictionary records", dictionaryRecords()},
        {"random bytes", random},
        {"long run", std::string(1 << 20, 'a')},
    };
}
