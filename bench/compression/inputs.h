#pragma once

#include <string>
#include <vector>

struct BenchInput
{
    std::string name;
    std::string data;
};

// Prose (Debian's licence texts), the dictionary's 15-byte records, random bytes, one long run.
std::vector<BenchInput> benchInputs();
