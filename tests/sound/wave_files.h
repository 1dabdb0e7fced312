#pragma once

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

struct PcmFields
{
    std::uint16_t tag = 1;
    std::uint16_t channels = 1;
    std::uint32_t rate = 8000;
    std::uint32_t bytesPerSecond = 16000;
    std::uint16_t blockAlign = 2;
    std::uint16_t bits = 16;
};

inline QByteArray formatBody(const PcmFields &f)
{
    QByteArray b(16, '\0');
    qToLittleEndian<std::uint16_t>(f.tag, b.data());
    qToLittleEndian<std::uint16_t>(f.channels, b.data() + 2);
    qToLittleEndian<std::uint32_t>(f.rate, b.data() + 4);
    qToLittleEndian<std::uint32_t>(f.bytesPerSecond, b.data() + 8);
    qToLittleEndian<std::uint16_t>(f.blockAlign, b.data() + 12);
    qToLittleEndian<std::uint16_t>(f.bits, b.data() + 14);
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
