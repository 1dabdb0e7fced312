#include "compress/replacing_file.h"

#include "compress/errors.h"

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace packing {

namespace {

std::atomic<unsigned> partCounter{0};

bool syncToDisk(const fs::path &path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool synced = ::fsync(fd) == 0;
    ::close(fd);
    return synced;
}

} // namespace

ReplacingFile::ReplacingFile(const std::string &path, const std::string &openErrorText)
{
    const auto fail = [&] { throw ELzrw1Exception(openErrorText); };
    if (path.empty())
        fail();
    std::error_code ec;
    target_ = path;
    const fs::file_status status = fs::status(target_, ec);
    const bool exists = fs::exists(status);
    if (exists && fs::is_symlink(fs::symlink_status(target_, ec))) {
        // Replace the file the link points at, not the link.
        target_ = fs::canonical(target_, ec);
        if (ec)
            fail();
    }
    if (exists && !fs::is_regular_file(status)) {
        mode_ = Mode::Device;
        written_ = target_;
    } else if (exists && ::access(target_.c_str(), W_OK) != 0) {
        fail(); // a write-protected file is not silently replaced
    } else if (createBeside(target_)) {
        mode_ = Mode::Replace;
        if (exists)
            fs::permissions(written_, status.permissions(), ec);
    } else {
        mode_ = Mode::InPlace;
        written_ = target_;
    }
    out_.open(written_, std::ios::binary | std::ios::out | std::ios::trunc);
    if (!out_) {
        if (mode_ == Mode::Replace)
            fs::remove(written_, ec);
        fail();
    }
}

bool ReplacingFile::createBeside(const fs::path &target)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        fs::path candidate = target;
        candidate += ".part" + std::to_string(::getpid()) + "-" + std::to_string(partCounter++);
        const int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            ::close(fd);
            written_ = candidate;
            return true;
        }
        if (errno != EEXIST)
            return false;
    }
    return false;
}

void ReplacingFile::commit(const std::string &writeErrorText)
{
    out_.close();
    if (out_.fail())
        throw ELzrw1Exception(writeErrorText);
    if (mode_ == Mode::Replace) {
        std::error_code ec;
        if (!syncToDisk(written_))
            throw ELzrw1Exception(writeErrorText);
        fs::rename(written_, target_, ec);
        if (ec)
            throw ELzrw1Exception(writeErrorText);
    }
    committed_ = true;
}

ReplacingFile::~ReplacingFile()
{
    if (committed_)
        return;
    out_.close();
    std::error_code ec;
    if (mode_ != Mode::Device)
        fs::remove(written_, ec);
}

} // namespace packing
