#include "compress/in_memory.h"

#include <sstream>

namespace lzrw1 {

namespace {

std::string run(const std::string &input, TCompressMode mode, bool packing)
{
    std::istringstream in(input);
    std::ostringstream out;
    Tlzrw1 component;
    component.UseStream = true;
    component.CompressMode = mode;
    component.InputStream = &in;
    component.OutputStream = &out;
    if (packing)
        component.Compress();
    else
        component.Decompress();
    return out.str();
}

} // namespace

std::string packBytes(const std::string &data, TCompressMode mode)
{
    return run(data, mode, true);
}

std::string unpackBytes(const std::string &container)
{
    return run(container, TCompressMode::Good, false);
}

std::string unpackFile(const std::string &path, std::uint64_t largest)
{
    std::ostringstream out;
    Tlzrw1 component;
    component.InputFile = path;
    component.LargestOutput = largest;
    component.DecompressTo(out);
    return out.str();
}

} // namespace lzrw1
