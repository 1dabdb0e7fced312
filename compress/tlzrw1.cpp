#include "compress/tlzrw1.h"

#include "compress/byte_io.h"
#include "compress/endpoints.h"
#include "compress/errors.h"
#include "compress/lzh.h"
#include "compress/lzrw1kh.h"

#include <algorithm>
#include <array>
#include <istream>

using namespace packing;

namespace {

using Tag = std::array<std::uint8_t, 4>;
constexpr Tag Lzrw1Tag = {'W', 'R', 'Z', 'L'};
constexpr Tag LzhTag = {'!', 'H', 'Z', 'L'};

// Inputs up to this size are always packed with LZH: too small for sampling to say much.
constexpr std::uint64_t LargestForGoodOnly = 3 * BlockSize - 1;

void putLittleEndian(std::uint8_t *dst, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        dst[i] = std::uint8_t(value >> (8 * i));
}

std::uint32_t getLittleEndian(const std::uint8_t *src, int bytes)
{
    std::uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; --i)
        value = value << 8 | src[i];
    return value;
}

ContainerTexts textsFor(const Tlzrw1 &c)
{
    return c.UseStream ? ContainerTexts::forStreams()
                       : ContainerTexts::forFiles(c.InputFile, c.OutputFile);
}

InputEndpoint openInput(const Tlzrw1 &c, const ContainerTexts &texts, InputEndpoint::Measure m)
{
    return c.UseStream ? InputEndpoint::useStream(c.InputStream, texts, m)
                       : InputEndpoint::openFile(c.InputFile, texts, m);
}

OutputEndpoint openOutput(const Tlzrw1 &c, const ContainerTexts &texts)
{
    return c.UseStream ? OutputEndpoint::useStream(c.OutputStream, texts)
                       : OutputEndpoint::createFile(c.OutputFile, texts);
}

void writeHeader(BlockWriter &writer, const Tag &tag, std::uint64_t size)
{
    std::uint8_t header[8];
    std::copy(tag.begin(), tag.end(), header);
    putLittleEndian(header + 4, std::uint32_t(size), 4);
    writer.write(header, sizeof header);
}

void compressLzrw1(BlockReader &reader, BlockWriter &writer, IoBuffers &buffers, std::uint64_t size)
{
    TLZR coder;
    std::uint64_t remaining = size;
    std::size_t blockLength;
    // Every full block is followed by another chunk, so the last chunk is always short (maybe
    // empty) and tells the reader where the data ends.
    do {
        blockLength = std::size_t(std::min<std::uint64_t>(remaining, BlockSize));
        if (reader.readBlock(buffers.input.get(), blockLength) != blockLength)
            reader.fail();
        remaining -= blockLength;
        const std::size_t chunkLength = coder.Compress(buffers.input.get(), blockLength,
                                                       buffers.output.get());
        std::uint8_t lengthField[2];
        putLittleEndian(lengthField, std::uint32_t(chunkLength), 2);
        writer.write(lengthField, 2);
        writer.writeBlock(buffers.output.get(), chunkLength);
    } while (blockLength == BlockSize);
}

void compressLzh(BlockReader &reader, BlockWriter &writer, IoBuffers &buffers, std::uint64_t size)
{
    ByteSource source(reader, buffers.input.get(), size);
    ByteSink sink(writer, buffers.output.get());
    BitWriter bits(sink);
    TLZH().Encode(source, size, bits);
    sink.flush();
}

void decompressLzrw1(BlockReader &reader, BlockWriter &writer, IoBuffers &buffers,
                     std::uint64_t size)
{
    std::uint64_t produced = 0;
    std::size_t blockLength;
    do {
        std::uint8_t lengthField[2];
        reader.readExactly(lengthField, 2);
        const std::size_t chunkLength = getLittleEndian(lengthField, 2);
        if (chunkLength > TLZR::MaxChunk)
            throw ELzrw1Exception(Lzrw1SizeMismatchText);
        if (reader.readBlock(buffers.input.get(), chunkLength) != chunkLength)
            reader.fail();
        const auto decoded = TLZR::Decompress(buffers.input.get(), chunkLength, buffers.output.get());
        // A malformed chunk, or more data than the header announced: stop before writing it.
        if (!decoded || *decoded > size - produced)
            throw ELzrw1Exception(Lzrw1SizeMismatchText);
        blockLength = *decoded;
        writer.writeBlock(buffers.output.get(), blockLength);
        produced += blockLength;
    } while (blockLength == BlockSize);
    if (produced != size)
        throw ELzrw1Exception(Lzrw1SizeMismatchText);
}

void decompressLzh(BlockReader &reader, BlockWriter &writer, IoBuffers &buffers,
                   std::uint64_t size)
{
    ByteSource source(reader, buffers.input.get(), ByteSource::Unlimited);
    BitReader bits(source);
    ByteSink sink(writer, buffers.output.get());
    TLZH().Decode(bits, size, sink);
    sink.flush();
}

// Decodes the job's input into its output, or into `callersOutput` when one is given. The job is
// a copy: later changes to the properties do not reach a running call.
std::uint64_t decompressJob(const Tlzrw1 job, std::ostream *callersOutput)
{
    const ContainerTexts texts = textsFor(job);
    IoBuffers buffers = IoBuffers::allocate();
    InputEndpoint input = openInput(job, texts, InputEndpoint::Measure::No);
    OutputEndpoint output = callersOutput ? OutputEndpoint::useStream(callersOutput, texts)
                                          : openOutput(job, texts);

    BlockReader reader(input.stream(), texts.readError, job.ProcessMessages);
    BlockWriter writer(output.stream(), texts.writeError, job.ProcessMessages);
    Tag tag;
    reader.readExactly(tag.data(), tag.size());
    if (tag != Lzrw1Tag && tag != LzhTag)
        throw ELzrw1Exception(texts.noValidHeader);
    std::uint8_t sizeField[4];
    reader.readExactly(sizeField, 4);
    const std::uint64_t size = getLittleEndian(sizeField, 4);
    if (size > job.LargestOutput)
        reader.fail();

    if (tag == Lzrw1Tag)
        decompressLzrw1(reader, writer, buffers, size);
    else
        decompressLzh(reader, writer, buffers, size);
    output.commit(texts);
    return writer.bytesWritten();
}

} // namespace

std::uint64_t Tlzrw1::Compress()
{
    const Tlzrw1 job = *this; // later changes to the properties do not reach a running call
    const ContainerTexts texts = textsFor(job);
    const TCompressMode mode = job.CompressMode == TCompressMode::Auto ? Advise()
                                                                       : job.CompressMode;
    IoBuffers buffers = IoBuffers::allocate();
    InputEndpoint input = openInput(job, texts, InputEndpoint::Measure::Yes);
    OutputEndpoint output = openOutput(job, texts);

    const bool fast = mode == TCompressMode::Fast;
    BlockReader reader(input.stream(), fast ? texts.readBlockError : texts.readError,
                       job.ProcessMessages);
    BlockWriter writer(output.stream(), texts.writeError, job.ProcessMessages);
    writeHeader(writer, fast ? Lzrw1Tag : LzhTag, input.size());
    if (fast)
        compressLzrw1(reader, writer, buffers, input.size());
    else
        compressLzh(reader, writer, buffers, input.size());
    // The header already holds the size: an input that grew meanwhile must not be cut silently.
    if (!reader.atEnd())
        reader.fail();
    output.commit(texts);
    return writer.bytesWritten();
}

std::uint64_t Tlzrw1::Decompress()
{
    return decompressJob(*this, nullptr);
}

std::uint64_t Tlzrw1::DecompressTo(std::ostream &out)
{
    return decompressJob(*this, &out);
}

TCompressMode Tlzrw1::Advise()
{
    const Tlzrw1 job = *this;
    const ContainerTexts texts = textsFor(job);
    InputEndpoint input = openInput(job, texts, InputEndpoint::Measure::Yes);
    const std::uint64_t size = input.size();
    if (size <= LargestForGoodOnly)
        return TCompressMode::Good;

    IoBuffers buffers = IoBuffers::allocate();
    TLZR coder;
    std::istream &in = input.stream();
    const std::streampos start = in.tellg();
    BlockReader reader(in, texts.readBlockError, job.ProcessMessages);
    std::uint64_t coded = 0;
    for (const std::uint64_t third : {size / 3, size / 3 * 2}) {
        const std::uint64_t offset = third / BlockSize * BlockSize;
        if (!in.seekg(start + std::streamoff(offset)))
            reader.fail();
        if (reader.readBlock(buffers.input.get(), BlockSize) != BlockSize)
            reader.fail();
        coded += coder.Compress(buffers.input.get(), BlockSize, buffers.output.get());
    }
    in.clear();
    if (!in.seekg(start))
        reader.fail();
    const std::int64_t sampled = 2 * std::int64_t(BlockSize);
    const bool shrinksEnough = std::int64_t(coded) * 100 < std::int64_t(job.Threshold) * sampled;
    return shrinksEnough ? TCompressMode::Fast : TCompressMode::Good;
}
