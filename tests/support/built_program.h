#pragma once

#include <cstdlib>
#include <string>

namespace testing_support {

// The path of a program the build made: the build names its folder in the compile definition
// VREL_BIN_DIR; the environment variable of that name overrides it.
inline std::string builtProgramPath(const std::string &name)
{
    const char *overridden = std::getenv("VREL_BIN_DIR");
    return std::string(overridden ? overridden : VREL_BIN_DIR) + '/' + name;
}

} // namespace testing_support
