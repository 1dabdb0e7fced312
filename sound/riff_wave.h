#pragma once

#include <QByteArrayView>

#include <cstdint>
#include <optional>

namespace sound {

// The format tags the player knows.
inline constexpr std::uint16_t kFormatPcm = 0x0001;
inline constexpr std::uint16_t kFormatMpegLayer3 = 0x0055;

// The fields of a "fmt " chunk that every format has.
struct WaveFormat
{
    std::uint16_t tag = 0;
    std::uint16_t channels = 0;
    std::uint32_t sampleRate = 0;
    std::uint32_t bytesPerSecond = 0;
    std::uint16_t blockAlign = 0;
    std::uint16_t bitsPerSample = 0;
};

// A RIFF WAVE file whose chunks all fit and whose format the player can play: its format and
// its "data" chunk (a view into the bytes given to readRiffWave).
struct RiffWave
{
    WaveFormat format;
    QByteArrayView data;
};

// Reads a RIFF WAVE file held in memory. Every chunk size is checked against what is left of
// the file, the "fmt " chunk against its format's rules (PCM: 8 or 16 bits, one or two
// channels, a block and byte rate that agree; MPEG Layer-3: one or two channels and its
// extra fields), and the data against the block size. Anything damaged, lying or of another
// format gives nothing.
std::optional<RiffWave> readRiffWave(QByteArrayView file);

} // namespace sound
