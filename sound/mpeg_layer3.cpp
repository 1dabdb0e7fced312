#include "sound/mpeg_layer3.h"

#include <mpg123.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>

namespace sound {

namespace {

constexpr qint64 kLongestSeconds = 60;
constexpr qint64 kBytesPerSample = 2;

// The frames as a file that libmpg123 reads and seeks through.
struct MemoryFile
{
    QByteArrayView bytes;
    qsizetype at = 0;
};

ssize_t readMemory(void *handle, void *buffer, size_t count)
{
    auto *file = static_cast<MemoryFile *>(handle);
    const size_t n = std::min(count, size_t(file->bytes.size() - file->at));
    std::memcpy(buffer, file->bytes.data() + file->at, n);
    file->at += qsizetype(n);
    return ssize_t(n);
}

off_t seekMemory(void *handle, off_t offset, int whence)
{
    auto *file = static_cast<MemoryFile *>(handle);
    const qint64 base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? file->at : file->bytes.size();
    const qint64 to = base + qint64(offset);
    if (to < 0 || to > file->bytes.size())
        return -1;
    file->at = qsizetype(to);
    return off_t(to);
}

struct HandleDeleter
{
    void operator()(mpg123_handle *h) const
    {
        mpg123_close(h);
        mpg123_delete(h);
    }
};
using Handle = std::unique_ptr<mpg123_handle, HandleDeleter>;

Handle openDecoder(MemoryFile &file)
{
    static std::once_flag initialised;
    std::call_once(initialised, [] { mpg123_init(); });
    int error = MPG123_OK;
    Handle h(mpg123_new(nullptr, &error));
    if (!h)
        return nullptr;
    // No messages on the terminal. Every rate comes out as it is in the frames (no resampling),
    // as 16-bit samples; what the frames hold is checked against the container afterwards.
    mpg123_param(h.get(), MPG123_ADD_FLAGS, MPG123_QUIET, 0);
    mpg123_param(h.get(), MPG123_REMOVE_FLAGS, MPG123_AUTO_RESAMPLE, 0);
    if (mpg123_format_none(h.get()) != MPG123_OK)
        return nullptr;
    const long *rates = nullptr;
    size_t count = 0;
    mpg123_rates(&rates, &count);
    for (size_t i = 0; i < count; ++i)
        mpg123_format(h.get(), rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
    if (mpg123_replace_reader_handle(h.get(), readMemory, seekMemory, nullptr) != MPG123_OK
        || mpg123_open_handle(h.get(), &file) != MPG123_OK)
        return nullptr;
    return h;
}

// The frames are Layer-3 at the rate and with as many channels as the container announced.
bool framesMatch(mpg123_handle *h, int sampleRate, int channels)
{
    mpg123_frameinfo info{};
    long rate = 0;
    int outChannels = 0, encoding = 0;
    return mpg123_info(h, &info) == MPG123_OK && info.layer == 3
        && mpg123_getformat(h, &rate, &outChannels, &encoding) == MPG123_OK && rate == sampleRate
        && outChannels == channels && encoding == MPG123_ENC_SIGNED_16;
}

} // namespace

std::optional<QByteArray> decodeMpegLayer3(QByteArrayView frames, int sampleRate, int channels)
{
    MemoryFile file{frames};
    const Handle h = openDecoder(file);
    if (!h)
        return std::nullopt;
    const qint64 limit = kLongestSeconds * sampleRate * channels * kBytesPerSample;
    QByteArray pcm;
    std::array<unsigned char, 16384> buffer;
    for (;;) {
        size_t done = 0;
        const int result = mpg123_read(h.get(), buffer.data(), buffer.size(), &done);
        if (result == MPG123_NEW_FORMAT) {
            if (!framesMatch(h.get(), sampleRate, channels))
                return std::nullopt;
        } else if (result == MPG123_DONE) {
            break;
        } else if (result != MPG123_OK) {
            return std::nullopt;
        }
        pcm.append(reinterpret_cast<const char *>(buffer.data()), qsizetype(done));
        if (pcm.size() > limit)
            return std::nullopt;
    }
    if (pcm.isEmpty())
        return std::nullopt;
    return pcm;
}

} // namespace sound
