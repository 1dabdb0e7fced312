#pragma once

#include <filesystem>
#include <fstream>
#include <string>

namespace packing {

// An output file that is either complete or not there. The bytes go to a new file beside the
// target, which takes the target's name only when everything has been written, so a failure
// half-way leaves no partial output and does not destroy an earlier good file of that name.
//
// A target that is a device or a pipe is written in place (there is nothing to replace). When no
// file can be made beside the target (a folder the program may not write to) but the target
// itself may be written, it is written in place and removed again on failure.
class ReplacingFile
{
public:
    // Throws ELzrw1Exception(openErrorText) when the output cannot be created.
    ReplacingFile(const std::string &path, const std::string &openErrorText);
    ~ReplacingFile();
    ReplacingFile(const ReplacingFile &) = delete;
    ReplacingFile &operator=(const ReplacingFile &) = delete;

    std::ostream &stream() { return out_; }
    // Closes the file and puts it in place; throws ELzrw1Exception(writeErrorText) on failure.
    void commit(const std::string &writeErrorText);

private:
    enum class Mode { Replace, InPlace, Device };

    bool createBeside(const std::filesystem::path &target);

    std::filesystem::path target_;
    std::filesystem::path written_;
    std::ofstream out_;
    Mode mode_ = Mode::Replace;
    bool committed_ = false;
};

} // namespace packing
