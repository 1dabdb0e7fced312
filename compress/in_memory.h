#pragma once

#include "compress/tlzrw1.h"

#include <cstdint>
#include <string>

// The container for bytes held in memory, through the component's stream mode. Errors are the
// component's own exceptions.
namespace lzrw1 {

std::string packBytes(const std::string &data, TCompressMode mode);
std::string unpackBytes(const std::string &container);
// The data held in the container file at `path`, decoded into memory. Failures carry the texts
// that name the file; a container announcing more than `largest` bytes is refused with the
// read-error text before anything is decoded.
std::string unpackFile(const std::string &path, std::uint64_t largest);

} // namespace lzrw1
