#include "compress/errors.h"

namespace packing {

ContainerTexts ContainerTexts::forFiles(const std::string &inputPath, const std::string &outputPath)
{
    ContainerTexts t;
    t.sizeUnknown = "Lzrw1 compression : Failed to obtain the size of : " + inputPath;
    t.openInput = "Lzrw1 (de)compression : Failed to open input file : " + inputPath;
    t.openOutput = "Lzrw1 (de)compression : Failed to open output file : " + outputPath;
    t.readError = "Lzrw1 : Error reading from input file : " + inputPath;
    t.readBlockError = t.readError + " (LZRW1/KH)";
    t.writeError = "Lzrw1 : Error writing to output file : " + outputPath;
    t.noValidHeader = inputPath + " : Lzrw1 decompression : this file has no valid header !";
    return t;
}

ContainerTexts ContainerTexts::forStreams()
{
    ContainerTexts t;
    t.sizeUnknown = "Lzrw1 compression : Failed to obtain the size of the input stream !";
    t.openInput = "Lzrw1 (de)compression : Failed to initialize input stream !";
    t.openOutput = "Lzrw1 (de)compression : Failed to initialize output stream !";
    t.readError = "Lzrw1 : Error reading from input stream !";
    t.readBlockError = t.readError;
    t.writeError = "Lzrw1 : Error writing to output stream !";
    t.noValidHeader = "Lzrw1 decompression : input stream contains no valid header !";
    return t;
}

} // namespace packing
