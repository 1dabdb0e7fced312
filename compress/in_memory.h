#pragma once

#include "compress/tlzrw1.h"

#include <string>

// The container for bytes held in memory, through the component's stream mode. Errors are the
// component's own exceptions.
namespace lzrw1 {

std::string packBytes(const std::string &data, TCompressMode mode);
std::string unpackBytes(const std::string &container);

} // namespace lzrw1
