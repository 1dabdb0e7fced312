#include "sound/pcm_sound.h"

#include "sound/mpeg_layer3.h"
#include "sound/riff_wave.h"

#include <QtEndian>

namespace sound {

namespace {

// WAVE samples are little-endian; the audio device takes the host's order.
QByteArray hostOrderSamples16(QByteArrayView data)
{
    QByteArray samples(data.data(), data.size());
    if constexpr (QSysInfo::ByteOrder == QSysInfo::BigEndian) {
        auto *s = reinterpret_cast<qint16 *>(samples.data());
        for (qsizetype i = 0; i < samples.size() / 2; ++i)
            s[i] = qFromLittleEndian(s[i]);
    }
    return samples;
}

} // namespace

std::optional<PcmSound> decodeWave(QByteArrayView file)
{
    const std::optional<RiffWave> wave = readRiffWave(file);
    if (!wave)
        return std::nullopt;
    PcmSound sound;
    sound.format.setSampleRate(int(wave->format.sampleRate));
    sound.format.setChannelCount(wave->format.channels);
    if (wave->format.tag == kFormatMpegLayer3) {
        std::optional<QByteArray> pcm =
            decodeMpegLayer3(wave->data, int(wave->format.sampleRate), wave->format.channels);
        if (!pcm)
            return std::nullopt;
        sound.format.setSampleFormat(QAudioFormat::Int16);
        sound.samples = std::move(*pcm);
    } else if (wave->format.bitsPerSample == 8) {
        sound.format.setSampleFormat(QAudioFormat::UInt8);
        sound.samples = wave->data.toByteArray();
    } else {
        sound.format.setSampleFormat(QAudioFormat::Int16);
        sound.samples = hostOrderSamples16(wave->data);
    }
    return sound;
}

} // namespace sound
