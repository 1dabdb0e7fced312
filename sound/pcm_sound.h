#pragma once

#include <QAudioFormat>
#include <QByteArray>
#include <QByteArrayView>

#include <optional>

namespace sound {

// A sound ready for the audio device: its format and its samples.
struct PcmSound
{
    QAudioFormat format;
    QByteArray samples;

    qint64 durationUs() const { return format.durationForBytes(qint32(samples.size())); }
};

// Decodes a RIFF WAVE file, PCM or MPEG Layer-3, to samples; a damaged one gives nothing.
std::optional<PcmSound> decodeWave(QByteArrayView file);

} // namespace sound
