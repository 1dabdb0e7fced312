#include "sound/riff_wave.h"

namespace sound {

namespace {

// Sample rates a sound of the game may have; anything outside is a damaged header.
constexpr std::uint32_t kMinRate = 4000;
constexpr std::uint32_t kMaxRate = 96000;
constexpr qsizetype kChunkHeader = 8;
constexpr qsizetype kPcmFormatSize = 16;
// MPEGLAYER3WAVEFORMAT: the common fields, cbSize and twelve bytes of its own.
constexpr qsizetype kMpegFormatSize = 30;
constexpr std::uint16_t kMpegExtraSize = 12;

std::uint16_t le16(QByteArrayView b, qsizetype at)
{
    return std::uint16_t(std::uint8_t(b[at]) | std::uint8_t(b[at + 1]) << 8);
}

std::uint32_t le32(QByteArrayView b, qsizetype at)
{
    return std::uint32_t(le16(b, at)) | std::uint32_t(le16(b, at + 2)) << 16;
}

bool plausibleChannelsAndRate(const WaveFormat &f)
{
    return (f.channels == 1 || f.channels == 2) && f.sampleRate >= kMinRate && f.sampleRate <= kMaxRate;
}

std::optional<WaveFormat> readFormat(QByteArrayView body)
{
    if (body.size() < kPcmFormatSize)
        return std::nullopt;
    WaveFormat f;
    f.tag = le16(body, 0);
    f.channels = le16(body, 2);
    f.sampleRate = le32(body, 4);
    f.bytesPerSecond = le32(body, 8);
    f.blockAlign = le16(body, 12);
    f.bitsPerSample = le16(body, 14);
    if (!plausibleChannelsAndRate(f))
        return std::nullopt;
    if (f.tag == kFormatPcm) {
        if (f.bitsPerSample != 8 && f.bitsPerSample != 16)
            return std::nullopt;
        if (f.blockAlign != f.channels * f.bitsPerSample / 8 || f.bytesPerSecond != f.sampleRate * f.blockAlign)
            return std::nullopt;
        // A PCM header may carry cbSize; if it does, its extra bytes must be there.
        if (body.size() >= kPcmFormatSize + 2 && body.size() < kPcmFormatSize + 2 + le16(body, kPcmFormatSize))
            return std::nullopt;
        return f;
    }
    if (f.tag == kFormatMpegLayer3) {
        if (body.size() < kMpegFormatSize || le16(body, kPcmFormatSize) < kMpegExtraSize)
            return std::nullopt;
        if (f.blockAlign == 0 || f.bytesPerSecond == 0)
            return std::nullopt;
        return f;
    }
    return std::nullopt;
}

} // namespace

std::optional<RiffWave> readRiffWave(QByteArrayView file)
{
    if (file.size() < 12 || file.first(4) != "RIFF" || file.sliced(8, 4) != "WAVE")
        return std::nullopt;
    const std::uint32_t riffSize = le32(file, 4);
    if (riffSize < 4 || riffSize > std::uint64_t(file.size() - 8))
        return std::nullopt;
    // Only what the RIFF header announces belongs to the file; bytes after it are not read.
    const QByteArrayView riff = file.first(qsizetype(riffSize) + 8);

    std::optional<WaveFormat> format;
    qsizetype at = 12;
    while (at < riff.size()) {
        if (riff.size() - at < kChunkHeader)
            return std::nullopt;
        const QByteArrayView id = riff.sliced(at, 4);
        const std::uint32_t size = le32(riff, at + 4);
        const qsizetype bodyAt = at + kChunkHeader;
        if (size > std::uint64_t(riff.size() - bodyAt))
            return std::nullopt;
        const QByteArrayView body = riff.sliced(bodyAt, qsizetype(size));
        if (id == "fmt ") {
            if (format)
                return std::nullopt;
            format = readFormat(body);
            if (!format)
                return std::nullopt;
        } else if (id == "data") {
            if (!format || body.isEmpty())
                return std::nullopt;
            if (format->tag == kFormatPcm && body.size() % format->blockAlign != 0)
                return std::nullopt;
            return RiffWave{*format, body};
        }
        // Chunks are padded to an even size; the last one's pad byte may be missing.
        at = bodyAt + qsizetype(size) + qsizetype(size & 1);
    }
    return std::nullopt;
}

} // namespace sound
