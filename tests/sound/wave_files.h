#pragma once

#include "sound/riff_wave.h"

#include <QByteArray>
#include <QtEndian>

#include <cstdint>

namespace testing_support {

// Builds RIFF WAVE files byte by byte, so that tests can damage any field.
inline QByteArray waveChunk(const QByteArray &id, const QByteArray &body, bool pad = true)
{
    QByteArray c = id;
    char size[4];
    qToLittleEndian<std::uint32_t>(std::uint32_t(body.size()), size);
    c.append(size, 4).append(body);
    if (pad && body.size() % 2)
        c.append('\0');
    return c;
}

inline QByteArray riffFile(const QByteArray &chunks)
{
    QByteArray f("RIFF");
    char size[4];
    qToLittleEndian<std::uint32_t>(std::uint32_t(chunks.size() + 4), size);
    return f.append(size, 4).append("WAVE").append(chunks);
}

// 16-bit mono PCM at 8000 samples per second.
inline constexpr sound::WaveFormat kPcm16Mono{sound::kFormatPcm, 1, 8000, 16000, 2, 16};

inline QByteArray formatBody(const sound::WaveFormat &f = kPcm16Mono)
{
    QByteArray b(16, '\0');
    qToLittleEndian<std::uint16_t>(f.tag, b.data());
    qToLittleEndian<std::uint16_t>(f.channels, b.data() + 2);
    qToLittleEndian<std::uint32_t>(f.sampleRate, b.data() + 4);
    qToLittleEndian<std::uint32_t>(f.bytesPerSecond, b.data() + 8);
    qToLittleEndian<std::uint16_t>(f.blockAlign, b.data() + 12);
    qToLittleEndian<std::uint16_t>(f.bitsPerSample, b.data() + 14);
    return b;
}

// Overwrites a little-endian field of a file.
template <typename T>
QByteArray withField(QByteArray file, qsizetype at, T value)
{
    qToLittleEndian<T>(value, file.data() + at);
    return file;
}

// Where a chunk's header starts in a well-formed file; -1 when it has none.
inline qsizetype chunkAt(const QByteArray &file, const char *id)
{
    qsizetype at = 12;
    while (at + 8 <= file.size()) {
        if (file.mid(at, 4) == id)
            return at;
        const auto size = qFromLittleEndian<std::uint32_t>(file.constData() + at + 4);
        at += 8 + qsizetype(size) + qsizetype(size & 1);
    }
    return -1;
}

} // namespace testing_support
