#include "compress/endpoints.h"

#include <filesystem>
#include <istream>
#include <ostream>

namespace packing {

InputEndpoint InputEndpoint::openFile(const std::string &path, const ContainerTexts &texts,
                                      Measure measure)
{
    InputEndpoint input;
    if (measure == Measure::Yes) {
        std::error_code ec;
        const std::uintmax_t size = std::filesystem::file_size(path, ec);
        if (ec || size > LargestInput)
            throw ELzrw1Exception(texts.sizeUnknown);
        input.size_ = size;
    }
    input.file_ = std::make_unique<std::ifstream>(path, std::ios::binary | std::ios::in);
    if (!*input.file_)
        throw ELzrw1Exception(texts.openInput);
    input.in_ = input.file_.get();
    return input;
}

InputEndpoint InputEndpoint::useStream(std::istream *in, const ContainerTexts &texts,
                                       Measure measure)
{
    if (!in || !in->good())
        throw ELzrw1Exception(texts.openInput);
    InputEndpoint input;
    input.in_ = in;
    if (measure == Measure::Yes) {
        const std::streampos start = in->tellg();
        const bool atEnd = start != std::streampos(-1) && in->seekg(0, std::ios::end).good();
        const std::streampos end = atEnd ? in->tellg() : std::streampos(-1);
        if (start == std::streampos(-1) || end == std::streampos(-1) || end < start
            || !in->seekg(start).good())
            throw ELzrw1Exception(texts.sizeUnknown);
        const std::uint64_t size = std::uint64_t(end - start);
        if (size > LargestInput)
            throw ELzrw1Exception(texts.sizeUnknown);
        input.size_ = size;
    }
    return input;
}

OutputEndpoint OutputEndpoint::createFile(const std::string &path, const ContainerTexts &texts)
{
    OutputEndpoint output;
    output.file_ = std::make_unique<ReplacingFile>(path, texts.openOutput);
    output.out_ = &output.file_->stream();
    return output;
}

OutputEndpoint OutputEndpoint::useStream(std::ostream *out, const ContainerTexts &texts)
{
    if (!out || !out->good())
        throw ELzrw1Exception(texts.openOutput);
    OutputEndpoint output;
    output.out_ = out;
    return output;
}

void OutputEndpoint::commit(const ContainerTexts &texts)
{
    if (!out_->flush())
        throw ELzrw1Exception(texts.writeError);
    if (file_)
        file_->commit(texts.writeError);
}

} // namespace packing
