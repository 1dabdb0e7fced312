#pragma once

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <string>

enum class TCompressMode { Good = 0, Fast = 1, Auto = 2 };

// The compressed container: the method tag "WRZL" (LZRW1/KH) or "!HZL" (LZH), the uncompressed
// size as a little-endian 32-bit number, then the method's coded data.
//
// Set the properties, then call Compress or Decompress. Failures throw ELzrw1Exception (or, when a
// coder cannot get its memory, ELzrw1KHCompressor / ElzhException) with the text for the user.
// Each call works in fixed memory, block by block, and keeps its own state, so a call started
// from inside ProcessMessages does not disturb the one that is running.
class Tlzrw1
{
public:
    std::string InputFile;
    std::string OutputFile;
    TCompressMode CompressMode = TCompressMode::Good;
    // false: work on InputFile and OutputFile; true: on InputStream and OutputStream.
    bool UseStream = false;
    std::istream *InputStream = nullptr;
    std::ostream *OutputStream = nullptr;
    // Percentage for Auto: Fast is chosen when sample blocks shrink below it.
    int Threshold = 40;
    // A container announcing more uncompressed bytes than this is refused with the read-error
    // text before anything is decoded, so a caller that keeps the data in memory bounds it.
    std::uint64_t LargestOutput = 0xFFFFFFFFu;
    // Called after every block read or written, so that a user interface stays responsive.
    std::function<void()> ProcessMessages;

    // Writes the container for the input in CompressMode (Auto asks Advise first); returns the
    // bytes written, header included. In file mode the output appears only when complete.
    std::uint64_t Compress();
    // Writes the data held in the container (the header names the method); returns the bytes
    // written. In file mode the output appears only when complete.
    std::uint64_t Decompress();
    // Decompress, with the data going to `out` whatever the mode; in file mode the texts name
    // InputFile.
    std::uint64_t DecompressTo(std::ostream &out);
    // Fast or Good for the current input, writing nothing.
    TCompressMode Advise();
};
