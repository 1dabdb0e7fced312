#pragma once

#include "sound/pcm_sound.h"

#include <cmath>
#include <cstdint>
#include <vector>

namespace testing_support {

// The samples of a decoded sound as values from -1 to 1: every `step`-th one (1 for all
// channels interleaved, the channel count for the first channel alone).
inline std::vector<double> sampleValues(const sound::PcmSound &s, int step = 1)
{
    std::vector<double> v;
    if (s.format.sampleFormat() == QAudioFormat::UInt8) {
        for (qsizetype i = 0; i < s.samples.size(); i += step)
            v.push_back((std::uint8_t(s.samples[i]) - 128) / 128.0);
    } else {
        const auto *p = reinterpret_cast<const qint16 *>(s.samples.constData());
        for (qsizetype i = 0; i < s.samples.size() / 2; i += step)
            v.push_back(p[i] / 32768.0);
    }
    return v;
}

inline std::vector<double> firstChannel(const sound::PcmSound &s)
{
    return sampleValues(s, s.format.channelCount());
}

// Where a run of samples is audible: from the first to the last sample louder than the
// threshold (-34 dBFS, above the noise of 8-bit samples), in seconds; 0 when it is silent.
struct AudibleSpan
{
    double start = 0;
    double length = 0;
};

inline AudibleSpan audibleSpan(const std::vector<double> &samples, int rate, double threshold = 0.02)
{
    qsizetype first = -1, last = -1;
    for (qsizetype i = 0; i < qsizetype(samples.size()); ++i) {
        if (std::abs(samples[size_t(i)]) > threshold) {
            if (first < 0)
                first = i;
            last = i;
        }
    }
    if (first < 0)
        return {};
    return {double(first) / rate, double(last - first + 1) / rate};
}

} // namespace testing_support
