// A damaged, truncated or lying RIFF WAVE file decodes to nothing, and nothing is read outside
// it; the harmless oddities of real files (extra chunks, a missing last pad byte, bytes after
// the RIFF) still play.

#include "sound/pcm_sound.h"
#include "sound/riff_wave.h"
#include "sound/sound_set.h"
#include "tests/sound/wave_files.h"

#include <gtest/gtest.h>

using namespace sound;
using namespace testing_support;

namespace {

QByteArray pcmFile(const QByteArray &samples = QByteArray(64, '\x10'), const QByteArray &before = {})
{
    return riffFile(waveChunk("fmt ", formatBody()) + before + waveChunk("data", samples));
}

} // namespace

TEST(DamagedWave, EveryTruncationOfAPcmAndAnMpegFileDecodesToNothing)
{
    const SoundSet set = SoundSet::builtIn();
    for (const char *name : {"tick", "wave16"}) {
        SCOPED_TRACE(name);
        const QByteArray whole = set.read(QString::fromLatin1(name));
        ASSERT_TRUE(decodeWave(whole));
        // Only the last chunk's pad byte may go missing.
        const qsizetype dataEnd = chunkAt(whole, "data") + 8
            + qsizetype(qFromLittleEndian<std::uint32_t>(whole.constData() + chunkAt(whole, "data") + 4));
        ASSERT_LE(dataEnd, whole.size());
        const qsizetype step = whole.size() > 2000 ? 7 : 1;
        for (qsizetype n = 0; n < dataEnd; n += (n < 200 ? 1 : step)) {
            // A copy of exactly n bytes, so that the sanitizers see any read beyond it.
            const QByteArray cut(whole.constData(), n);
            EXPECT_FALSE(decodeWave(cut)) << "cut at " << n;
        }
    }
}

TEST(DamagedWave, LyingHeadersDecodeToNothing)
{
    const QByteArray good = pcmFile();
    ASSERT_TRUE(decodeWave(good));
    const qsizetype fmt = chunkAt(good, "fmt ") + 8;
    const qsizetype data = chunkAt(good, "data");
    const std::vector<std::pair<const char *, QByteArray>> lies = {
        {"RIFF size beyond the file", withField<std::uint32_t>(good, 4, std::uint32_t(good.size()))},
        {"RIFF size too small for WAVE", withField<std::uint32_t>(good, 4, 3)},
        {"RIFF size cuts the data", withField<std::uint32_t>(good, 4, std::uint32_t(good.size() - 9))},
        {"not RIFF", QByteArray(good).replace(0, 4, "RIFX")},
        {"not WAVE", QByteArray(good).replace(8, 4, "AVI ")},
        {"data size beyond the file", withField<std::uint32_t>(good, data + 4, 66)},
        {"data size at the 32-bit limit", withField<std::uint32_t>(good, data + 4, 0xFFFFFFFFu)},
        {"fmt size beyond the file", withField<std::uint32_t>(good, fmt - 4, 0xFFFFFFF8u)},
        {"fmt too short", riffFile(waveChunk("fmt ", formatBody().left(14)) + waveChunk("data", QByteArray(64, 1)))},
        {"no channels", withField<std::uint16_t>(good, fmt + 2, 0)},
        {"three channels", withField<std::uint16_t>(good, fmt + 2, 3)},
        {"rate zero", withField<std::uint32_t>(good, fmt + 4, 0)},
        {"rate absurd", withField<std::uint32_t>(good, fmt + 4, 4000000)},
        {"byte rate wrong", withField<std::uint32_t>(good, fmt + 8, 16001)},
        {"block align wrong", withField<std::uint16_t>(good, fmt + 12, 4)},
        {"12 bits", withField<std::uint16_t>(good, fmt + 14, 12)},
        {"floating point", withField<std::uint16_t>(good, fmt, 3)},
        {"extensible", withField<std::uint16_t>(good, fmt, 0xFFFE)},
        {"part of a frame", riffFile(waveChunk("fmt ", formatBody()) + waveChunk("data", QByteArray(63, 1)))},
        {"no data", riffFile(waveChunk("fmt ", formatBody()))},
        {"empty data", riffFile(waveChunk("fmt ", formatBody()) + waveChunk("data", {}))},
        {"data before fmt", riffFile(waveChunk("data", QByteArray(64, 1)) + waveChunk("fmt ", formatBody()))},
        {"two fmt chunks", riffFile(waveChunk("fmt ", formatBody()) + waveChunk("fmt ", formatBody())
                                    + waveChunk("data", QByteArray(64, 1)))},
        {"cbSize beyond fmt", riffFile(waveChunk("fmt ", formatBody() + QByteArray("\x08\x00", 2))
                                       + waveChunk("data", QByteArray(64, 1)))},
        {"a chunk header cut short", riffFile(waveChunk("fmt ", formatBody()) + "LIS")},
    };
    for (const auto &[what, file] : lies)
        EXPECT_FALSE(decodeWave(file)) << what;
}

TEST(DamagedWave, HarmlessOdditiesOfRealFilesStillDecode)
{
    // An odd-sized chunk with its pad byte before the data, bytes after the RIFF, and a last
    // chunk without its pad byte.
    const QByteArray withList = pcmFile(QByteArray(64, 1), waveChunk("LIST", "INFOabc"));
    const QByteArray trailing = pcmFile() + "junk after the file";
    const WaveFormat eightBit{kFormatPcm, 1, 8000, 8000, 1, 8};
    QByteArray unpadded = riffFile(waveChunk("fmt ", formatBody(eightBit)) + waveChunk("data", QByteArray(5, '\x80'), false));
    for (const QByteArray &file : {withList, trailing, unpadded}) {
        const std::optional<PcmSound> s = decodeWave(file);
        ASSERT_TRUE(s);
        EXPECT_GT(s->durationUs(), 0);
    }
    EXPECT_EQ(decodeWave(withList)->samples, QByteArray(64, 1));
    EXPECT_EQ(decodeWave(trailing)->samples.size(), 64);
    EXPECT_EQ(decodeWave(unpadded)->format.sampleFormat(), QAudioFormat::UInt8);
}

TEST(DamagedWave, MpegDataThatDoesNotMatchItsContainerDecodesToNothing)
{
    const QByteArray crying = SoundSet::builtIn().read(QStringLiteral("wave20")); // mono, 16000
    ASSERT_TRUE(decodeWave(crying));
    const qsizetype fmt = chunkAt(crying, "fmt ") + 8;
    const qsizetype data = chunkAt(crying, "data") + 8;
    const qsizetype dataSize = qsizetype(qFromLittleEndian<std::uint32_t>(crying.constData() + data - 4));

    QByteArray garbage = crying;
    for (qsizetype i = data; i < data + dataSize; ++i)
        garbage[i] = char('a' + i % 26); // text: no frame anywhere
    QByteArray silentZeros = crying;
    silentZeros.replace(data, dataSize, QByteArray(dataSize, '\0'));

    EXPECT_FALSE(decodeWave(withField<std::uint32_t>(crying, fmt + 4, 44100))) << "another rate";
    EXPECT_FALSE(decodeWave(withField<std::uint16_t>(crying, fmt + 2, 2))) << "stereo claimed";
    EXPECT_FALSE(decodeWave(garbage)) << "no frames";
    EXPECT_FALSE(decodeWave(silentZeros)) << "zeros";
    EXPECT_FALSE(decodeWave(withField<std::uint16_t>(crying, fmt + 16, 4))) << "extra fields cut";
}
