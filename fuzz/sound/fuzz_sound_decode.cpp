// Any bytes at all, read as a RIFF WAVE file and decoded (MPEG Layer-3 data through libmpg123):
// either nothing comes out, or a sound whose format the device takes and whose samples are whole
// frames. Anything else (a crash, a sanitizer report, a hang, a runaway allocation) is a finding.

#include "sound/pcm_sound.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::optional<sound::PcmSound> sound =
        sound::decodeWave(QByteArrayView(reinterpret_cast<const char *>(data), qsizetype(size)));
    if (!sound)
        return 0;
    const QAudioFormat &f = sound->format;
    const bool formatOk = f.isValid() && (f.channelCount() == 1 || f.channelCount() == 2)
        && (f.sampleFormat() == QAudioFormat::UInt8 || f.sampleFormat() == QAudioFormat::Int16);
    if (!formatOk || sound->samples.isEmpty() || sound->samples.size() % f.bytesPerFrame() != 0)
        std::abort();
    return 0;
}
